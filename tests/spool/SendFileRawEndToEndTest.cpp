#include <gtest/gtest.h>

#include "platform/CupsPrintSpooler.h"
#include "platform/Error.h"
#include "spool/SendFileRaw.h"
#include "support/SandboxPrintServer.h"
#include "support/TempFolder.h"
#include "support/TestPaths.h"

namespace tavrin {
namespace {

using test::SandboxPrintServer;

bool Unfinished(const QueueJob& job) {
    return job.state == QueueJobState::Pending || job.state == QueueJobState::Held ||
           job.state == QueueJobState::Processing || job.state == QueueJobState::Stopped;
}

class SendFileRawEndToEnd : public ::testing::Test {
protected:
    void ExpectNothingLeftInQueue(const std::string& queue) {
        for (const auto& job : server.AllJobs(queue)) {
            EXPECT_FALSE(Unfinished(job)) << "job " << job.id << " " << job.documentName;
        }
    }

    SandboxPrintServer server;
    CupsPrintSpooler spooler;
    test::TempFolder folder;
};

TEST_F(SendFileRawEndToEnd, FilesOfEverySizeArriveByteForByteAsOneJobEach) {
    const std::vector<std::uintmax_t> sizes = {1, 16385, 16386, 50u * 1024 * 1024};
    std::vector<std::filesystem::path> files;
    for (auto size : sizes) {
        files.push_back(folder / ("plot-" + std::to_string(size) + ".plt"));
        test::WritePatternFile(files.back(), size, static_cast<std::uint32_t>(size));
        const SendResult result =
            SendFileRaw(spooler, SandboxPrintServer::kRawQueue, files.back().string());
        ASSERT_TRUE(result.accepted) << result.refusal;
        EXPECT_EQ(result.bytesSent, size);
    }
    const auto received = server.WaitForJobs(SandboxPrintServer::kRawQueue, files.size());
    ASSERT_EQ(received.size(), files.size());
    for (std::size_t i = 0; i < files.size(); ++i) {
        EXPECT_EQ(received[i].title, files[i].filename().string());
        EXPECT_EQ(received[i].size, sizes[i]);
        EXPECT_TRUE(test::SameContents(received[i].file, files[i])) << files[i];
    }
}

TEST_F(SendFileRawEndToEnd, RealPlotFilesReachThePlotterUnaltered) {
    const std::vector<std::filesystem::path> samples = {
        test::SamplesDir() / "jem-green-HPGL2/XANADU-PLT-test.plt",
        test::SamplesDir() / "hpgl-rendering/test.plt",
        test::SamplesDir() / "ghostpdl/gl-chars.pcl"};
    for (const auto& sample : samples) {
        ASSERT_TRUE(SendFileRaw(spooler, SandboxPrintServer::kHpglQueue, sample.string()));
    }
    const auto received = server.WaitForJobs(SandboxPrintServer::kHpglQueue, samples.size());
    for (std::size_t i = 0; i < samples.size(); ++i) {
        EXPECT_EQ(received[i].title, samples[i].filename().string());
        EXPECT_TRUE(test::SameContents(received[i].file, samples[i])) << samples[i];
    }
}

TEST_F(SendFileRawEndToEnd, AnEmptyFileIsARefusedSendThatLeavesNoJobHeld) {
    const auto empty = folder / "empty.plt";
    test::WriteFile(empty, "");
    const SendResult result = SendFileRaw(spooler, SandboxPrintServer::kRawQueue, empty.string());
    EXPECT_FALSE(result.accepted);
    EXPECT_NE(result.refusal.find("No file in print request"), std::string::npos) << result.refusal;
    ExpectNothingLeftInQueue(SandboxPrintServer::kRawQueue);

    // The queue goes on working.
    const auto next = folder / "next.plt";
    test::WriteFile(next, "IN;PG;");
    ASSERT_TRUE(SendFileRaw(spooler, SandboxPrintServer::kRawQueue, next.string()));
    const auto received = server.WaitForJobs(SandboxPrintServer::kRawQueue, 1);
    EXPECT_EQ(received[0].title, "next.plt");
}

TEST_F(SendFileRawEndToEnd, AnUnknownPrinterOrAStoppedServerSendsNothing) {
    const auto file = folder / "a.plt";
    test::WriteFile(file, "IN;PG;");
    SendResult result = SendFileRaw(spooler, "no-such-queue", file.string());
    EXPECT_FALSE(result.accepted);
    EXPECT_NE(result.refusal, "");
    for (const auto& queue : SandboxPrintServer::Queues()) {
        EXPECT_TRUE(server.AllJobs(queue).empty()) << queue;
    }
    server.Stop();
    result = SendFileRaw(spooler, SandboxPrintServer::kRawQueue, file.string());
    EXPECT_FALSE(result.accepted);
    EXPECT_NE(result.refusal.find("Cannot reach the print server"), std::string::npos)
        << result.refusal;
    EXPECT_TRUE(server.ReceivedFiles(SandboxPrintServer::kRawQueue).empty());
}

TEST_F(SendFileRawEndToEnd, FilesThatCannotBeReadLeaveNothingInTheQueue) {
    const std::string missing = (folder / "missing.plt").string();
    EXPECT_THROW(SendFileRaw(spooler, SandboxPrintServer::kRawQueue, missing), Error);
    EXPECT_THROW(SendFileRaw(spooler, SandboxPrintServer::kRawQueue, folder.path().string()),
                 Error);
    EXPECT_TRUE(server.AllJobs(SandboxPrintServer::kRawQueue).empty());
    // A read that fails after the job was made: the job is withdrawn.
    EXPECT_THROW(SendFileRaw(spooler, SandboxPrintServer::kRawQueue, "/proc/self/mem"), Error);
    ExpectNothingLeftInQueue(SandboxPrintServer::kRawQueue);
    EXPECT_TRUE(server.ReceivedFiles(SandboxPrintServer::kRawQueue).empty());
}

}  // namespace
}  // namespace tavrin
