// SPDX-License-Identifier: GPL-3.0-or-later
// What following 200 open jobs costs the print server: the requests the window's job watch makes
// in a minute, against `lpstat -o` run once a second for the same time (as a user or a script
// that wants to see the jobs through would do), both counted in the server's access log. The
// plotter queue is paused, so every job stays open and the watch keeps looking.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "BenchSize.h"
#include "WaitingJobs.h"
#include "printsystem/CupsPrintSpooler.h"
#include "spool/JobWatch.h"
#include "support/SandboxPrintServer.h"

namespace {

using Server = tavrin::test::SandboxPrintServer;

const int kJobs = BenchSize(200, 5);
const std::chrono::seconds kFollowed{BenchSize(60, 4)};

}  // namespace

int main() {
    Server server;
    tavrin::CupsPrintSpooler spooler;
    const std::string queue = Server::kHpglQueue;
    std::vector<tavrin::TrackedJob> jobs;
    for (const int id : PauseWithWaitingJobs(spooler, queue, kJobs)) {
        tavrin::TrackedJob job;
        job.printerName = queue;
        job.jobId = id;
        jobs.push_back(job);
    }

    const std::size_t before = server.RequestsAnswered();
    std::size_t open = 0;
    {
        tavrin::JobWatch watch([] { return std::make_unique<tavrin::CupsPrintSpooler>(); });
        watch.Follow(jobs);
        std::this_thread::sleep_for(kFollowed);
        open = watch.Jobs().open.size();
    }
    const std::size_t watchRequests = server.RequestsAnswered() - before;
    if (open != jobs.size()) {
        std::fprintf(stderr, "the watch lost jobs: %zu of %zu open\n", open, jobs.size());
        return 1;
    }

    const auto start = std::chrono::steady_clock::now();
    for (int second = 0; second < kFollowed.count(); ++second) {
        if (std::system(("lpstat -o " + queue + " > /dev/null").c_str()) != 0) {
            std::fprintf(stderr, "lpstat -o failed\n");
            return 1;
        }
        std::this_thread::sleep_until(start + std::chrono::seconds(second + 1));
    }
    const std::size_t lpstatRequests = server.RequestsAnswered() - before - watchRequests;

    std::printf("%d open jobs followed for %lld s, requests to the print server\n", kJobs,
                static_cast<long long>(kFollowed.count()));
    std::printf("%-44s %8zu\n", "tavrin job watch", watchRequests);
    std::printf("%-44s %8zu\n", "lpstat -o once a second", lpstatRequests);
    return TargetExitCode(watchRequests < lpstatRequests);
}
