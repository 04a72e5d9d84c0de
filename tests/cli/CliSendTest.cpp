#include <gtest/gtest.h>

#include "support/RunCli.h"
#include "support/SandboxPrintServer.h"
#include "support/TempFolder.h"
#include "support/TestPaths.h"

namespace tavrin {
namespace {

using CliRun = test::CliResult;
using test::SandboxPrintServer;

class CliTest : public ::testing::Test {
protected:
    CliRun Run(const std::string& arguments) {
        const auto errFile = folder / "stderr.txt";
        return test::RunCommand(
            "'" + test::CliPath().string() + "' " + arguments + " 2>'" + errFile.string() + "'",
            errFile);
    }

    std::string File(const std::string& name, const std::string& bytes) {
        test::WriteFile(folder / name, bytes);
        return (folder / name).string();
    }

    SandboxPrintServer server;
    test::TempFolder folder;
};

TEST_F(CliTest, PrintersListsIndexNamePortAndClassInCatalogueOrder) {
    const CliRun run = Run("printers");
    EXPECT_EQ(run.exitCode, 0) << run.err;
    std::istringstream lines(run.out);
    std::string line;
    std::vector<std::string> got;
    while (std::getline(lines, line))
        got.push_back(line);
    ASSERT_EQ(got.size(), 4u) << run.out;
    const std::vector<std::pair<std::string, std::string>> expected = {{"hpgl-plotter", "HPGL/2"},
                                                                       {"oce-9600", "Oce 9X00"},
                                                                       {"ps-printer", "POSTSCRIPT"},
                                                                       {"raw-printer", "Unknown"}};
    for (std::size_t i = 0; i < got.size(); ++i) {
        const std::string prefix =
            std::to_string(i) + "\t" + expected[i].first + "\tsocket://127.0.0.1:";
        EXPECT_EQ(got[i].rfind(prefix, 0), 0u) << got[i];
        const std::string suffix = "\t" + expected[i].second;
        EXPECT_EQ(got[i].substr(got[i].size() - suffix.size()), suffix) << got[i];
    }
}

TEST_F(CliTest, SendByNameOrIndexMakesOneUnalteredJobPerFile) {
    const std::string plot = (test::SamplesDir() / "hp2xx/pages.hp").string();
    const std::string other = File("second.plt", "IN;SP1;PG;");
    CliRun run = Run("send -p hpgl-plotter '" + plot + "' '" + other + "'");
    EXPECT_EQ(run.exitCode, 0) << run.err;
    run = Run("send -p 0 '" + other + "'");
    EXPECT_EQ(run.exitCode, 0) << run.err;
    const auto received = server.WaitForJobs(SandboxPrintServer::kHpglQueue, 3);
    EXPECT_EQ(received[0].title, "pages.hp");
    EXPECT_TRUE(test::SameContents(received[0].file, plot));
    EXPECT_EQ(received[1].title, "second.plt");
    EXPECT_EQ(test::ReadFile(received[2].file), "IN;SP1;PG;");
}

TEST_F(CliTest, ARefusedSendIsNamedAndTheOthersStillGo) {
    const std::string empty = File("empty.plt", "");
    const std::string good = File("good.plt", "IN;PG;");
    const CliRun run = Run("send -p raw-printer '" + empty + "' '" + good + "'");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find(empty), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("raw-printer"), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find(good), std::string::npos) << run.err;
    const auto received = server.WaitForJobs(SandboxPrintServer::kRawQueue, 1);
    EXPECT_EQ(received[0].title, "good.plt");
}

TEST_F(CliTest, AnUnknownPrinterSendsNothing) {
    const std::string good = File("good.plt", "IN;PG;");
    const CliRun run = Run("send -p no-such-queue '" + good + "'");
    EXPECT_NE(run.exitCode, 0);
    EXPECT_NE(run.err.find("no-such-queue"), std::string::npos) << run.err;
    for (const auto& queue : SandboxPrintServer::Queues()) {
        EXPECT_TRUE(server.AllJobs(queue).empty()) << queue;
    }
}

TEST_F(CliTest, AFileThatCannotBeOpenedStopsTheCommand) {
    const std::string good = File("good.plt", "IN;PG;");
    const std::string missing = (folder / "missing.plt").string();
    const CliRun run = Run("send -p raw-printer '" + good + "' '" + missing + "' '" + good + "'");
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.err, "Cannot open file " + missing + "\n");
    const auto received = server.WaitForJobs(SandboxPrintServer::kRawQueue, 1);
    EXPECT_EQ(received.size(), 1u);
}

TEST_F(CliTest, BadUsageExits64) {
    const std::string good = File("good.plt", "IN;PG;");
    EXPECT_EQ(Run("send -p raw-printer").exitCode, 64);
    EXPECT_EQ(Run("send -p").exitCode, 64);
    EXPECT_EQ(Run("send -x -p raw-printer '" + good + "'").exitCode, 64);
    EXPECT_EQ(Run("printers extra").exitCode, 64);
    EXPECT_TRUE(server.AllJobs(SandboxPrintServer::kRawQueue).empty());
}

TEST_F(CliTest, AStoppedServerIsAnErrorAndSendsNothing) {
    server.Stop();
    CliRun run = Run("printers");
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err.find("Cannot reach the print server"), std::string::npos) << run.err;
    run = Run("send -p raw-printer '" + File("good.plt", "IN;PG;") + "'");
    EXPECT_NE(run.exitCode, 0);
    EXPECT_NE(run.err, "");
    EXPECT_TRUE(server.ReceivedFiles(SandboxPrintServer::kRawQueue).empty());
}

}  // namespace
}  // namespace tavrin
