// SPDX-License-Identifier: GPL-3.0-or-later
// tavrin-cli watch killed (SIGKILL) at random moments while it prints a hot folder, and started
// again each time: every file prints exactly once, and none is left behind or lost.
#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "support/CliProcess.h"
#include "support/SandboxPrintServer.h"
#include "support/TempFolder.h"
#include "support/WaitUntil.h"

namespace tavrin {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Server = test::SandboxPrintServer;

std::size_t FileCount(const fs::path& folder) {
    std::size_t count = 0;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error))
        count += entry.is_regular_file() ? 1 : 0;
    return count;
}

TEST(CliWatchCrash, KilledAtRandomMomentsAndStartedAgainEveryFilePrintsExactlyOnce) {
    Server server;
    test::TempFolder folder;
    const fs::path hot = folder / "hot";
    fs::create_directories(hot);
    const std::string plot = test::ReadFile(test::SamplesDir() / "hp2xx/286x192.5_qh.hpg");
    constexpr int kFiles = 100;
    for (int i = 0; i < kFiles; ++i)
        test::WriteBytes(hot / ("plot-" + std::to_string(i) + ".plt"),
                         plot + "CO\"" + std::to_string(i) + "\";");
    const std::vector<std::string> watch = {"watch",           "--folder", hot.string(), "-p",
                                            Server::kRawQueue, "--settle", "1"};

    // The seed is printed so that a failing sequence of kills can be run again.
    const unsigned seed = std::random_device{}();
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> moment(0, 100);
    // Twenty starts each killed a moment after it took its first file (or, once all are
    // printed, after it started).
    for (int kill = 0; kill < 20; ++kill) {
        test::CliProcess process(folder.path(), watch);
        test::WaitUntil(
            [&] {
                return process.Out().find(" took ") != std::string::npos ||
                       FileCount(hot / "Printed") == kFiles;
            },
            30s, 5ms);
        std::this_thread::sleep_for(std::chrono::milliseconds(moment(random)));
        process.Signal(SIGKILL);
        ASSERT_EQ(process.Wait(30), -1);
    }
    EXPECT_LT(FileCount(hot / "Printed"), static_cast<std::size_t>(kFiles))
        << "every file was printed before the last kill: the kills came too late to test much";

    test::CliProcess last(folder.path(), watch);
    ASSERT_TRUE(test::WaitUntil(
        [&] {
            return FileCount(hot / "Printed") == kFiles && FileCount(hot) == 0 &&
                   FileCount(hot / "Sending") == 0;
        },
        300s, 100ms))
        << last.Out() << last.Err();
    EXPECT_EQ(FileCount(hot / "Failed"), 0u) << last.Out();

    const auto jobs = server.WaitForJobs(Server::kRawQueue, kFiles);
    std::map<std::string, int> printed;
    for (const test::ReceivedJob& job : jobs)
        ++printed[job.title];
    for (int i = 0; i < kFiles; ++i)
        EXPECT_EQ(printed["plot-" + std::to_string(i) + ".plt"], 1) << i;
    EXPECT_EQ(jobs.size(), static_cast<std::size_t>(kFiles));
}

}  // namespace
}  // namespace tavrin
