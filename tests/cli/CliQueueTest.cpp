// tavrin-cli pause, resume, purge and jobs against a private CUPS server.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "support/RunCli.h"
#include "support/SandboxPrintServer.h"
#include "support/ScratchFolder.h"
#include "support/TestPaths.h"

namespace tavrin {
namespace {

namespace fs = std::filesystem;
using Server = test::SandboxPrintServer;
using test::CliResult;

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    while (true) {
        const std::size_t tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab - start));
        if (tab == std::string::npos)
            return fields;
        start = tab + 1;
    }
}

class CliQueue : public ::testing::Test {
protected:
    // Runs tavrin-cli against the sandbox server (CUPS_SERVER is set in this process), with
    // its own home and configuration folders.
    CliResult Run(const std::string& arguments) { return test::RunCli(folder.path(), arguments); }

    Server server;
    test::ScratchFolder folder;
    const std::string plotter = Server::kHpglQueue;
    const fs::path plot = test::SamplesDir() / "hp2xx/inter.hp";
    const fs::path postscript = test::SamplesDir() / "cups/testfile.ps";
};

TEST_F(CliQueue, JobsListsThePausedJobsAndResumeDeliversThem) {
    ASSERT_EQ(Run("pause -p " + plotter).exitCode, 0);
    ASSERT_EQ(Run("send -p " + plotter + " '" + plot.string() + "' '" + postscript.string() + "'")
                  .exitCode,
              0);

    const CliResult jobs = Run("jobs -p " + plotter);
    EXPECT_EQ(jobs.exitCode, 0) << jobs.err;
    const auto lines = Lines(jobs.out);
    ASSERT_EQ(lines.size(), 2u) << jobs.out;
    const auto first = Fields(lines[0]);
    ASSERT_EQ(first.size(), 5u) << lines[0];
    EXPECT_GT(std::stoi(first[0]), 0);
    EXPECT_EQ(first[1], "inter.hp");
    EXPECT_EQ(first[2], "70 KB");  // 70977 bytes
    EXPECT_EQ(first[3], "Waiting");
    EXPECT_EQ(first[4].size(), 19u) << first[4];  // YYYY-MM-DD HH:MM:SS
    const auto second = Fields(lines[1]);
    ASSERT_EQ(second.size(), 5u) << lines[1];
    EXPECT_GT(std::stoi(second[0]), std::stoi(first[0]));
    EXPECT_EQ(second[1], "testfile.ps");
    EXPECT_TRUE(server.ReceivedFiles(plotter).empty());

    ASSERT_EQ(Run("resume -p " + plotter).exitCode, 0);
    const auto received = server.WaitForJobs(plotter, 2);
    EXPECT_EQ(test::ReadBytes(received.at(0).file), test::ReadBytes(plot));
    EXPECT_EQ(test::ReadBytes(received.at(1).file), test::ReadBytes(postscript));
    EXPECT_EQ(Run("jobs -p " + plotter).out, "");
}

TEST_F(CliQueue, PurgeEmptiesTheQueue) {
    ASSERT_EQ(Run("pause -p " + plotter).exitCode, 0);
    ASSERT_EQ(Run("send -p " + plotter + " '" + plot.string() + "'").exitCode, 0);
    ASSERT_EQ(Lines(Run("jobs -p " + plotter).out).size(), 1u);
    const CliResult purge = Run("purge -p " + plotter);
    EXPECT_EQ(purge.exitCode, 0) << purge.err;
    EXPECT_EQ(purge.out + purge.err, "");
    EXPECT_EQ(Run("jobs -p " + plotter).out, "");
}

TEST_F(CliQueue, APrinterMayBeGivenByItsIndex) {
    // The sandbox lists its queues by name, so index 0 is the HP-GL/2 plotter.
    ASSERT_EQ(Run("pause -p 0").exitCode, 0);
    ASSERT_EQ(Run("send -p " + plotter + " '" + plot.string() + "'").exitCode, 0);
    EXPECT_EQ(Lines(Run("jobs -p 0").out).size(), 1u);
    ASSERT_EQ(Run("purge -p 0").exitCode, 0);
    EXPECT_EQ(Run("jobs -p " + plotter).out, "");
}

TEST_F(CliQueue, AnUnknownPrinterExitsWithTwoAndSaysWhy) {
    for (const char* command : {"pause", "resume", "purge", "jobs"}) {
        const CliResult result = Run(std::string(command) + " -p no-such-queue");
        EXPECT_EQ(result.exitCode, 2) << command;
        EXPECT_EQ(result.out, "") << command;
        EXPECT_EQ(result.err.rfind("Cannot open printer no-such-queue: ", 0), 0u) << result.err;
    }
}

TEST_F(CliQueue, AStoppedPrintServerExitsWithTwo) {
    server.Stop();
    const CliResult result = Run("pause -p " + plotter);
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_NE(result.err.find("Cannot open printer hpgl-plotter: "), std::string::npos)
        << result.err;
}

TEST_F(CliQueue, WrongArgumentsAreUsageErrors) {
    for (const char* arguments : {"pause", "resume -p",
                                  "purge "
                                  "hpgl-plotter",
                                  "jobs -p a b", "pause -q hpgl-plotter"}) {
        const CliResult result = Run(arguments);
        EXPECT_EQ(result.exitCode, 64) << arguments;
        EXPECT_NE(result.err.find("usage: tavrin-cli "), std::string::npos) << result.err;
    }
}

TEST_F(CliQueue, ADocumentNameIsShownAsItIs) {
    const fs::path odd = folder / "plot f\xC3\xBCr \xC3\x84nne; 2.hp";
    fs::copy_file(plot, odd);
    ASSERT_EQ(Run("pause -p " + plotter).exitCode, 0);
    ASSERT_EQ(Run("send -p " + plotter + " '" + odd.string() + "'").exitCode, 0);
    const auto lines = Lines(Run("jobs -p " + plotter).out);
    ASSERT_EQ(lines.size(), 1u);
    const auto fields = Fields(lines[0]);
    ASSERT_EQ(fields.size(), 5u);
    EXPECT_EQ(fields[1], "plot f\xC3\xBCr \xC3\x84nne; 2.hp");
}

}  // namespace
}  // namespace tavrin
