// tavrin-cli printers, pause, resume, purge and jobs against a private CUPS server.
#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <string>

#include "support/SandboxPrintServer.h"
#include "support/TempFolder.h"
#include "support/TestPaths.h"

namespace tavrin {
namespace {

namespace fs = std::filesystem;
using Server = test::SandboxPrintServer;
using test::CliResult;

class CliQueue : public ::testing::Test {
protected:
    // CUPS_SERVER points this process, and so tavrin-cli, at the sandbox server.
    CliResult Run(const std::string& arguments) { return test::RunCli(folder.path(), arguments); }

    Server server;
    test::ScratchFolder folder;
    const fs::path plot = test::SamplesDir() / "hp2xx/inter.hp";
};

TEST_F(CliQueue, PrintersListsIndexNamePortAndClassInCatalogueOrder) {
    const CliResult run = Run("printers");
    EXPECT_EQ(run.exitCode, 0) << run.err;
    const std::string port = "\tsocket://127\\.0\\.0\\.1:[0-9]+\t";
    EXPECT_TRUE(
        std::regex_match(run.out, std::regex("0\thpgl-plotter" + port + "HPGL/2\n1\toce-9600" +
                                             port + "Oce 9X00\n2\tps-printer" + port +
                                             "POSTSCRIPT\n3\traw-printer" + port + "Unknown\n")))
        << run.out;
}

TEST_F(CliQueue, JobsListsThePausedJobsAndResumeDeliversThem) {
    // A document name is shown as it is.
    const fs::path odd = folder / "plot f\xC3\xBCr \xC3\x84nne; 2.hp";
    fs::copy_file(plot, odd);
    const fs::path page = test::SamplesDir() / "cups/testfile.ps";
    ASSERT_EQ(Run("pause -p hpgl-plotter").exitCode, 0);
    ASSERT_EQ(Run("send -p hpgl-plotter '" + odd.string() + "' '" + page.string() + "'").exitCode,
              0);

    // ID, name, size (inter.hp has 70977 bytes), state and "YYYY-MM-DD HH:MM:SS".
    const CliResult jobs = Run("jobs -p hpgl-plotter");
    EXPECT_EQ(jobs.exitCode, 0) << jobs.err;
    const std::string time = "\t[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}\n";
    std::smatch ids;
    ASSERT_TRUE(
        std::regex_match(jobs.out, ids,
                         std::regex("([0-9]+)\t" + odd.filename().string() + "\t70 KB\tWaiting" +
                                    time + "([0-9]+)\ttestfile.ps\t[0-9]+ KB\tWaiting" + time)))
        << jobs.out;
    EXPECT_LT(std::stoi(ids[1]), std::stoi(ids[2]));
    EXPECT_TRUE(server.ReceivedFiles(Server::kHpglQueue).empty());

    ASSERT_EQ(Run("resume -p hpgl-plotter").exitCode, 0);
    const auto received = server.WaitForJobs(Server::kHpglQueue, 2);
    EXPECT_EQ(test::ReadBytes(received.at(0).file), test::ReadBytes(plot));
    EXPECT_EQ(test::ReadBytes(received.at(1).file), test::ReadBytes(page));
    EXPECT_EQ(Run("jobs -p hpgl-plotter").out, "");
}

TEST_F(CliQueue, PurgeByIndexEmptiesTheQueue) {
    // The sandbox lists its queues by name, so index 0 is the HP-GL/2 plotter.
    ASSERT_EQ(Run("pause -p 0").exitCode, 0);
    ASSERT_EQ(Run("send -p hpgl-plotter '" + plot.string() + "'").exitCode, 0);
    const std::string jobs = Run("jobs -p 0").out;
    EXPECT_EQ(std::count(jobs.begin(), jobs.end(), '\n'), 1);
    const CliResult purge = Run("purge -p 0");
    EXPECT_EQ(purge.exitCode, 0) << purge.err;
    EXPECT_EQ(purge.out + purge.err, "");
    EXPECT_EQ(Run("jobs -p hpgl-plotter").out, "");
}

TEST_F(CliQueue, AnUnknownPrinterOrAStoppedServerExitsWithTwoAndSaysWhy) {
    for (const char* command : {"pause", "resume", "purge", "jobs"}) {
        const CliResult result = Run(std::string(command) + " -p no-such-queue");
        EXPECT_EQ(result.exitCode, 2) << command;
        EXPECT_EQ(result.out, "") << command;
        EXPECT_EQ(result.err.rfind("Cannot open printer no-such-queue: ", 0), 0u) << result.err;
    }
    server.Stop();
    CliResult result = Run("pause -p hpgl-plotter");
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_NE(result.err.find("Cannot open printer hpgl-plotter: "), std::string::npos)
        << result.err;
    result = Run("printers");
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_NE(result.err.find("Cannot reach the print server"), std::string::npos) << result.err;
    result = Run("send -p raw-printer '" + plot.string() + "'");
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_NE(result.err.find("Cannot reach the print server"), std::string::npos) << result.err;
    EXPECT_TRUE(server.ReceivedFiles(Server::kRawQueue).empty());
}

}  // namespace
}  // namespace tavrin
