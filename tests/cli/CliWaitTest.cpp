// tavrin-cli send --wait against a private print server with devices that fail as real ones do.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <future>
#include <tuple>
#include <vector>

#include "support/SandboxPrintServer.h"
#include "support/TempFolder.h"
#include "support/WaitUntil.h"

namespace tavrin {
namespace {

using Server = test::SandboxPrintServer;
using test::CliResult;

const std::string kSamples = test::SamplesDir().string() + "/";
const std::string kPlot = kSamples + "hp2xx/dt.plt";
const std::string kOff = kSamples + "hp2xx/pages.hp";
const std::string kCancelled = kSamples + "hp2xx/lo-slash.hp";

bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

TEST(CliWait, EachJobIsFollowedToItsEndAndOnlyAPrintedOneCountsAsPrinted) {
    Server server(true);
    test::TempFolder folder;
    // More than the socket buffers between the print server and the dropping device hold: the
    // server sees the drop. (A smaller file is "completed": the server has handed it over whole.)
    const std::string large = (folder / "large.plt").string();
    std::string plot = test::ReadFile(kSamples + "hp2xx/inter.hp");
    while (plot.size() < 8u << 20)
        plot += plot;
    test::WriteBytes(large, plot);
    const auto send = [&](const std::string& options, const std::string& file) {
        return std::async(std::launch::async, [&, options, file] {
            return test::RunCli(folder.path(), "send --wait -p " + options + " '" + file + "'");
        });
    };
    auto printed = send("hpgl-plotter", kPlot);
    auto off = send("dead-plotter --timeout 6", kOff);
    auto dropped = send("dropping-plotter --timeout 6", large);
    auto cancelled = send("dead-plotter --timeout 60", kCancelled);
    // An administrator cancels that job once it is queued.
    test::WaitUntil(
        [&] {
            for (const QueueJob& job : server.AllJobs(Server::kDeadQueue))
                if (job.documentName == "lo-slash.hp" &&
                    test::RunCommand("cancel dead-plotter-" + std::to_string(job.id)).exitCode == 0)
                    return true;
            return false;
        },
        std::chrono::seconds(10), std::chrono::milliseconds(100));

    // Each run's exit code and what it says (stdout, then stderr); only the first is printed. CUPS
    // holds a job whose device dropped the connection: never printed.
    const std::string unavailable =
        ": processing: The printer may not exist or is unavailable at this time.";
    const std::tuple<std::future<CliResult>*, int, std::vector<std::string>> ends[] = {
        {&printed, 0, {kPlot + "\thpgl-plotter-", "\tprinted\tcompleted\n"}},
        {&off, 3, {"Still open on dead-plotter:\n  " + kOff + unavailable}},
        {&cancelled, 1, {"Not printed on dead-plotter:\n  " + kCancelled + ": canceled"}},
        {&dropped, 3, {large + ": held: "}}};
    for (const auto& [run, exitCode, parts] : ends) {
        const CliResult result = run->get();
        EXPECT_EQ(result.exitCode, exitCode) << result.err;
        EXPECT_EQ(Has(result.out, "\tprinted"), exitCode == 0) << result.out;
        for (const std::string& part : parts)
            EXPECT_TRUE(Has(result.out + result.err, part)) << result.out << result.err;
    }

    // Jobs still open when the wait gave up stay queued; the ended ones are listed with --all.
    int open = 0;
    for (const QueueJob& job : server.AllJobs(Server::kDeadQueue))
        open += job.state != QueueJobState::Canceled;
    EXPECT_EQ(open, 1);
    const auto jobs = [&](const char* all) {
        const std::string out =
            test::RunCli(folder.path(), "jobs -p dead-plotter" + std::string(all)).out;
        return std::pair{Has(out, "\tpages.hp\t"), Has(out, "\tlo-slash.hp\t1 KB\tCancelled\t")};
    };
    EXPECT_EQ(jobs(""), std::pair(true, false));
    EXPECT_EQ(jobs(" --all"), std::pair(true, true));
}

// A print server that holds as many jobs as it takes (its queue paused) is waited for: every file
// arrives, in order and whole, once the queue goes on.
TEST(CliWait, AFullPrintServerIsWaitedForAndEveryFileArrivesInOrder) {
    Server server(false, 3);
    test::TempFolder folder;
    const std::vector<std::string> files = {"dt.plt",  "pages.hp", "lo-slash.hp", "inter.hp",
                                            "acad.hp", "win_1.hp", "spectrum.plt"};
    std::string named;
    for (const std::string& file : files)
        named += " '" + kSamples + "hp2xx/" + file + "'";
    ASSERT_EQ(test::RunCli(folder.path(), "pause -p hpgl-plotter").exitCode, 0);
    auto run = std::async(std::launch::async, [&] {
        return test::RunCli(folder.path(), "send -p hpgl-plotter" + named);
    });
    // Once tavrin-cli says it waits, the server has refused a job: it holds all it takes.
    const std::string waiting = "tavrin-cli: Waiting for hpgl-plotter to take more jobs\n";
    const auto saysItWaits = [&] {
        for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
            if (entry.path().filename().string().starts_with("stderr-") &&
                Has(test::ReadFile(entry.path()), waiting))
                return true;
        }
        return false;
    };
    // The queue goes on all the same, so that the run ends.
    EXPECT_TRUE(
        test::WaitUntil(saysItWaits, std::chrono::seconds(120), std::chrono::milliseconds(50)));
    EXPECT_EQ(server.AllJobs(Server::kHpglQueue).size(), 3u);
    ASSERT_EQ(test::RunCli(folder.path(), "resume -p hpgl-plotter").exitCode, 0);

    const CliResult result = run.get();
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "7 of 7 jobs sent to hpgl-plotter\n");
    // The server forgets ended jobs beyond its limit: what its device received tells.
    std::vector<std::filesystem::path> received;
    test::WaitUntil(
        [&] {
            received = server.ReceivedFiles(Server::kHpglQueue);
            return received.size() >= files.size();
        },
        std::chrono::seconds(30), std::chrono::milliseconds(100));
    ASSERT_EQ(received.size(), files.size());
    for (std::size_t i = 0; i < files.size(); ++i)
        EXPECT_EQ(test::ReadFile(received[i]), test::ReadFile(kSamples + "hp2xx/" + files[i]))
            << files[i];
}

}  // namespace
}  // namespace tavrin
