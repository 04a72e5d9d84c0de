// The cost of what the queue window and the queue commands ask of the print server, on a private
// print server whose plotter queue is paused with 100 jobs waiting:
//  - listing the queue in process, as the queue window does every 2 s, against `lpstat -o`;
//  - `tavrin-cli jobs` against `lpstat -o` (both a process per listing);
//  - pause + resume in process against `cupsdisable` + `cupsenable`.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "BenchSize.h"
#include "WaitingJobs.h"
#include "printers/QueueManagement.h"
#include "printsystem/CupsPrintSpooler.h"
#include "support/SandboxPrintServer.h"
#include "support/TempFolder.h"

namespace {

using Server = tavrin::test::SandboxPrintServer;
using Clock = std::chrono::steady_clock;

const int kWaitingJobs = BenchSize(100, 5);
const int kRounds = BenchSize(50, 2);

void Run(const std::string& command) {
    const int status = std::system((command + " > /dev/null").c_str());
    if (status != 0) {
        std::fprintf(stderr, "failed (%d): %s\n", status, command.c_str());
        std::exit(1);
    }
}

template <typename Work>
double MillisecondsPerRound(Work work) {
    const auto start = Clock::now();
    for (int i = 0; i < kRounds; ++i)
        work();
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count() / kRounds;
}

}  // namespace

int main() {
    Server server;
    tavrin::CupsPrintSpooler spooler;
    const std::string queue = Server::kHpglQueue;
    PauseWithWaitingJobs(spooler, queue, kWaitingJobs);
    const auto listed = spooler.Open(queue)->Jobs();
    if (!listed || listed->size() != static_cast<std::size_t>(kWaitingJobs)) {
        std::fprintf(stderr, "the queue does not list %d jobs\n", kWaitingJobs);
        return 1;
    }

    const std::string cli = "'" + tavrin::test::CliPath().string() + "'";
    const std::string lpstat = "lpstat -o " + queue;
    const double inProcess = MillisecondsPerRound([&] { spooler.Open(queue)->Jobs(); });
    const double lpstatList = MillisecondsPerRound([&] { Run(lpstat); });
    const double cliList = MillisecondsPerRound([&] { Run(cli + " jobs -p " + queue); });
    const double commands = MillisecondsPerRound([&] {
        tavrin::SendQueueCommand(spooler, queue, tavrin::QueueCommand::Resume);
        tavrin::SendQueueCommand(spooler, queue, tavrin::QueueCommand::Pause);
    });
    const double cupsCommands = MillisecondsPerRound([&] {
        Run("/usr/sbin/cupsenable " + queue);
        Run("/usr/sbin/cupsdisable " + queue);
    });

    std::printf("queue of %d waiting jobs, mean of %d rounds, ms per round\n", kWaitingJobs,
                kRounds);
    std::printf("%-44s %8.2f\n", "list in process (queue window refresh)", inProcess);
    std::printf("%-44s %8.2f\n", "tavrin-cli jobs", cliList);
    std::printf("%-44s %8.2f\n", "lpstat -o", lpstatList);
    std::printf("%-44s %8.2f\n", "resume + pause in process", commands);
    std::printf("%-44s %8.2f\n", "cupsenable + cupsdisable", cupsCommands);
    return 0;
}
