// SPDX-License-Identifier: GPL-3.0-or-later
// A hot folder on a local disk against a private print server: the time from a file's close to
// its job being sent (median of 50, target under 200 ms) next to one `lp -o raw` of the same
// file, and 1,000 small files dropped into the folder at once next to a shell loop of
// `lp -o raw` over the same files, each until the devices had every job.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "BenchSize.h"
#include "support/CliProcess.h"
#include "support/SandboxPrintServer.h"
#include "support/TempFolder.h"

namespace {

namespace fs = std::filesystem;
using Server = tavrin::test::SandboxPrintServer;
using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::duration duration) {
    return std::chrono::duration<double, std::milli>(duration).count();
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void Run(const std::string& command) {
    if (std::system(command.c_str()) != 0) {
        std::fprintf(stderr, "failed: %s\n", command.substr(0, 200).c_str());
        std::exit(1);
    }
}

// Waits until the watcher's output holds `text`; fails the benchmark after a minute.
void WaitForLine(const tavrin::test::CliProcess& watch, const std::string& text) {
    const auto deadline = Clock::now() + std::chrono::minutes(1);
    while (watch.Out().find(text) == std::string::npos) {
        if (Clock::now() > deadline) {
            std::fprintf(stderr, "no line '%s' from tavrin-cli watch:\n%s\n", text.c_str(),
                         watch.Out().c_str());
            std::exit(1);
        }
        std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
}

}  // namespace

int main() {
    Server server;
    tavrin::test::TempFolder folder;
    const fs::path hot = folder / "hot";
    fs::create_directories(hot);
    const std::string plot =
        tavrin::test::ReadFile(tavrin::test::SamplesDir() / "hp2xx/286x192.5_qh.hpg");
    tavrin::test::CliProcess watch(folder.path(),
                                   {"watch", "--folder", hot.string(), "-p", Server::kRawQueue});
    WaitForLine(watch, "watching");

    // Latency: written in a scratch place, then written into the folder and closed.
    const int latencyFiles = BenchSize(50, 3);
    std::vector<double> latency;
    for (int i = 0; i < latencyFiles; ++i) {
        const std::string name = "latency-" + std::to_string(i) + ".plt";
        const auto closed = [&] {
            tavrin::test::WriteBytes(hot / name, plot);
            return Clock::now();
        }();
        WaitForLine(watch, name + " sent to");
        latency.push_back(Milliseconds(Clock::now() - closed));
    }
    server.WaitForJobs(Server::kRawQueue, static_cast<std::size_t>(latencyFiles));
    const fs::path one = folder / "one.plt";
    tavrin::test::WriteBytes(one, plot);
    std::vector<double> lpLatency;
    for (int i = 0; i < std::min(latencyFiles, 10); ++i) {
        const auto start = Clock::now();
        Run("lp -d " + std::string(Server::kHpglQueue) + " -o raw '" + one.string() +
            "' >/dev/null");
        lpLatency.push_back(Milliseconds(Clock::now() - start));
    }

    // Throughput: small files copied into the folder in one go, against one lp each.
    const int many = BenchSize(1000, 20);
    const fs::path source = folder / "source";
    fs::create_directories(source);
    for (int i = 0; i < many; ++i)
        tavrin::test::WriteBytes(source / ("sheet-" + std::to_string(i) + ".plt"), plot);
    auto start = Clock::now();
    Run("cp '" + source.string() + "'/*.plt '" + hot.string() + "/'");
    server.WaitForJobs(Server::kRawQueue, static_cast<std::size_t>(latencyFiles + many),
                       std::chrono::seconds(900));
    const double hotSeconds = std::chrono::duration<double>(Clock::now() - start).count();
    const std::size_t lpBefore = server.AllJobs(Server::kHpglQueue).size();
    start = Clock::now();
    Run("for f in '" + source.string() + "'/*.plt; do lp -d " + Server::kHpglQueue +
        " -o raw \"$f\" >/dev/null || exit 1; done");
    server.WaitForJobs(Server::kHpglQueue, lpBefore + static_cast<std::size_t>(many),
                       std::chrono::seconds(900));
    const double lpSeconds = std::chrono::duration<double>(Clock::now() - start).count();

    const double median = Median(latency);
    std::printf("%-44s %12s %12s\n", "", "hot folder", "lp -o raw");
    std::printf("%-44s %9.1f ms %9.1f ms\n", "close to job sent, median (lp: one command)", median,
                Median(lpLatency));
    std::printf("%-44s %10.2f s %10.2f s\n",
                (std::to_string(many) + " small files until every job arrived").c_str(), hotSeconds,
                lpSeconds);
    std::printf("target: median latency under 200 ms: %s\n", median < 200 ? "met" : "MISSED");
    return TargetExitCode(median < 200);
}
