// Sends 200 files of 20 KB and one file of 200 MB as raw jobs to a private print server, once
// with tavrin-cli and once with `lp -o raw` (one lp per file, as a user sends separate jobs),
// and prints the time each took until the devices had every byte, and tavrin-cli's peak memory.
#include <sys/resource.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "BenchSize.h"
#include "support/SandboxPrintServer.h"
#include "support/TempFolder.h"

namespace {

using Server = tavrin::test::SandboxPrintServer;
using Clock = std::chrono::steady_clock;

std::string Quoted(const std::string& text) {
    return "'" + text + "'";
}

void Run(const std::string& command) {
    const int status = std::system(command.c_str());
    if (status != 0) {
        std::fprintf(stderr, "failed (%d): %s\n", status, command.substr(0, 200).c_str());
        std::exit(1);
    }
}

// Runs the commands and waits until `queue` has received `expected` jobs in all.
double TimeDelivery(Server& server, const std::string& queue,
                    const std::vector<std::string>& commands, std::size_t expected) {
    const auto start = Clock::now();
    for (const auto& command : commands)
        Run(command);
    server.WaitForJobs(queue, expected, std::chrono::seconds(600));
    return std::chrono::duration<double>(Clock::now() - start).count();
}

long PeakChildKilobytes() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return usage.ru_maxrss;
}

}  // namespace

int main() {
    Server server;
    tavrin::test::TempFolder folder;
    const std::string cli = Quoted(tavrin::test::CliPath().string());

    std::vector<std::string> small;
    std::string smallList;
    const int smallFiles = BenchSize(200, 5);
    for (int i = 0; i < smallFiles; ++i) {
        small.push_back((folder / ("sheet" + std::to_string(i) + ".plt")).string());
        tavrin::test::WritePatternFile(small.back(), 20 * 1024, static_cast<std::uint32_t>(i));
        smallList += " " + Quoted(small.back());
    }
    const std::string large = (folder / "large.plt").string();
    tavrin::test::WritePatternFile(large,
                                   BenchSize<std::uintmax_t>(200ull * 1024 * 1024, 1024 * 1024), 7);

    // tavrin-cli first, so that the peak memory of the children is its own.
    const std::string queueA = Server::kRawQueue;
    const double cliSmall = TimeDelivery(
        server, queueA, {cli + " send -p " + queueA + smallList + " >/dev/null"}, smallFiles);
    const double cliLarge = TimeDelivery(
        server, queueA, {cli + " send -p " + queueA + " " + Quoted(large) + " >/dev/null"},
        smallFiles + 1);
    const long cliPeak = PeakChildKilobytes();

    const std::string queueB = Server::kHpglQueue;
    std::vector<std::string> lpSmallCommands;
    for (const auto& file : small) {
        lpSmallCommands.push_back("lp -d " + queueB + " -o raw " + Quoted(file) + " >/dev/null");
    }
    const double lpSmall = TimeDelivery(server, queueB, lpSmallCommands, smallFiles);
    const double lpLarge = TimeDelivery(
        server, queueB, {"lp -d " + queueB + " -o raw " + Quoted(large) + " >/dev/null"},
        smallFiles + 1);

    std::printf("%-28s %12s %12s %8s\n", "raw send, until delivered", "tavrin-cli", "lp -o raw",
                "ratio");
    const std::string smallLabel = std::to_string(smallFiles) + " files of 20 KB";
    std::printf("%-28s %11.2fs %11.2fs %8.2f\n", smallLabel.c_str(), cliSmall, lpSmall,
                cliSmall / lpSmall);
    std::printf("%-28s %11.2fs %11.2fs %8.2f\n", "1 large file", cliLarge, lpLarge,
                cliLarge / lpLarge);
    std::printf("peak memory of tavrin-cli: %.1f MB (target: under 30 MB)\n", cliPeak / 1024.0);
    return 0;
}
