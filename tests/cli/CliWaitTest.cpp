// tavrin-cli send --wait against a private print server with devices that fail as real ones do.
#include <gtest/gtest.h>

#include <future>
#include <thread>

#include "support/SandboxPrintServer.h"
#include "support/TempFolder.h"

namespace tavrin {
namespace {

using Server = test::SandboxPrintServer;
using test::CliResult;

const std::string kSamples = test::SamplesDir().string() + "/";
const std::string kPlot = kSamples + "hp2xx/dt.plt";
const std::string kOff = kSamples + "hp2xx/pages.hp";
const std::string kCancelled = kSamples + "hp2xx/lo-slash.hp";

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
    const auto send = [&](const std::string& arguments) {
        return std::async(std::launch::async, [&, arguments] {
            return test::RunCli(folder.path(), "send " + arguments);
        });
    };
    auto printed = send("-p hpgl-plotter --wait '" + kPlot + "'");
    auto off = send("-p dead-plotter --wait --timeout 6 '" + kOff + "'");
    auto dropped = send("-p dropping-plotter --wait --timeout 6 '" + large + "'");
    auto cancelled = send("-p dead-plotter --wait --timeout 60 '" + kCancelled + "'");
    // An administrator cancels that job once it is queued.
    for (int i = 0; i < 100; ++i) {
        std::string id;
        for (const QueueJob& job : server.AllJobs(Server::kDeadQueue))
            if (job.documentName == "lo-slash.hp")
                id = std::to_string(job.id);
        if (!id.empty() && test::RunCommand("cancel dead-plotter-" + id).exitCode == 0)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }

    const CliResult ok = printed.get();
    EXPECT_EQ(ok.exitCode, 0) << ok.err;
    EXPECT_NE(ok.out.find(kPlot + "\thpgl-plotter-"), std::string::npos) << ok.out;
    EXPECT_NE(ok.out.find("\tprinted\tcompleted\n"), std::string::npos) << ok.out;

    const CliResult stuck = off.get();
    EXPECT_EQ(stuck.exitCode, 3) << stuck.err;
    EXPECT_NE(stuck.err.find("Still open on dead-plotter:\n  " + kOff +
                             ": processing: The printer "
                             "may not exist or is unavailable at this time."),
              std::string::npos)
        << stuck.err;
    const CliResult gone = cancelled.get();
    EXPECT_EQ(gone.exitCode, 1) << gone.err;
    EXPECT_NE(gone.err.find("Not printed on dead-plotter:\n  " + kCancelled + ": canceled"),
              std::string::npos)
        << gone.err;
    // CUPS holds a job whose device dropped the connection: never printed.
    const CliResult half = dropped.get();
    EXPECT_EQ(half.exitCode, 3) << half.err;
    EXPECT_EQ(half.out.find("\tprinted"), std::string::npos) << half.out;
    EXPECT_NE(half.err.find(large + ": held: "), std::string::npos) << half.err;

    // Jobs still open when the wait gave up stay queued.
    int open = 0;
    for (const QueueJob& job : server.AllJobs(Server::kDeadQueue))
        open += job.state != QueueJobState::Canceled;
    EXPECT_EQ(open, 1);
}

}  // namespace
}  // namespace tavrin
