#include "spool/SendFileRaw.h"

#include <gtest/gtest.h>

#include "platform/Error.h"
#include "support/FakePrintSpooler.h"
#include "support/TempFolder.h"
#include "support/TestPaths.h"

namespace tavrin {
namespace {

using test::FakePrintSpooler;

class SendFileRawTest : public ::testing::Test {
protected:
    SendFileRawTest() { spooler.printers = {"plotter"}; }

    std::string MakeFile(const std::string& name, std::uintmax_t size) {
        const auto path = folder / name;
        test::WritePatternFile(path, size, static_cast<std::uint32_t>(size));
        return path.string();
    }

    void ExpectEverythingClosed() {
        EXPECT_EQ(spooler.openHandles, 0);
        EXPECT_EQ(spooler.liveJobs, 0);
    }

    FakePrintSpooler spooler;
    test::TempFolder folder;
};

TEST_F(SendFileRawTest, TheDocumentIsNamedAfterTheFileWithoutItsFolder) {
    EXPECT_EQ(DocumentNameOf("/home/ann/plots/sheet1.plt"), "sheet1.plt");
    EXPECT_EQ(DocumentNameOf("sheet1.plt"), "sheet1.plt");
    EXPECT_EQ(DocumentNameOf("/var/cache/tavrin/temp.$$$"), "temp.$$$");
    EXPECT_EQ(DocumentNameOf("C:\\plots\\a.plt"), "C:\\plots\\a.plt");
    EXPECT_EQ(DocumentNameOf("/folder/"), "");
}

TEST_F(SendFileRawTest, FilesGoThroughTheBufferInPiecesOfAtMost16385Bytes) {
    const std::vector<std::pair<std::uintmax_t, std::vector<std::size_t>>> cases = {
        {1, {1}}, {16385, {16385}}, {16386, {16385, 1}}, {40000, {16385, 16385, 7230}}};
    for (const auto& [size, pieces] : cases) {
        const auto path = MakeFile("f" + std::to_string(size) + ".plt", size);
        const SendResult result = SendFileRaw(spooler, "plotter", path);
        EXPECT_TRUE(result.accepted) << result.refusal;
        EXPECT_EQ(result.bytesSent, size);
        const auto& job = spooler.jobs.back();
        EXPECT_EQ(job.offered, pieces) << size;
        EXPECT_EQ(job.bytes, test::ReadFile(path));
        EXPECT_EQ(job.documentName, "f" + std::to_string(size) + ".plt");
        EXPECT_TRUE(job.finished);
    }
    EXPECT_EQ(spooler.jobs.size(), cases.size());
    ExpectEverythingClosed();
}

TEST_F(SendFileRawTest, AnEmptyFileIsOneJobWithoutWritesAndTheSpoolerDecides) {
    const auto path = MakeFile("empty.plt", 0);
    EXPECT_TRUE(SendFileRaw(spooler, "plotter", path).accepted);
    ASSERT_EQ(spooler.jobs.size(), 1u);
    EXPECT_TRUE(spooler.jobs[0].offered.empty());

    spooler.refuseEmptyFinish = true;
    const SendResult refused = SendFileRaw(spooler, "plotter", path);
    EXPECT_FALSE(refused.accepted);
    EXPECT_EQ(refused.refusal, "No file in print request");
    EXPECT_TRUE(spooler.jobs[1].cancelled);
    ExpectEverythingClosed();
}

TEST_F(SendFileRawTest, RealPlotFilesArriveByteForByte) {
    for (const char* name : {"jem-green-HPGL2/XANADU-PLT-test.plt", "hp2xx/win_1.hp",
                             "hpgl-rendering/test.plt", "ghostpdl/gl-chars.pcl"}) {
        const auto path = (test::SamplesDir() / name).string();
        ASSERT_TRUE(SendFileRaw(spooler, "plotter", path).accepted);
        EXPECT_EQ(spooler.jobs.back().bytes, test::ReadFile(path)) << name;
        EXPECT_EQ(spooler.jobs.back().documentName, DocumentNameOf(path));
    }
    EXPECT_EQ(spooler.jobs[0].bytes.size(), 134688u);
}

TEST_F(SendFileRawTest, APartialWriteIsWrittenOnUntilTheSpoolerHasEveryByte) {
    spooler.maxTakenPerWrite = 5000;
    const auto path = MakeFile("big.plt", 16386);
    const SendResult result = SendFileRaw(spooler, "plotter", path);
    EXPECT_TRUE(result.accepted);
    const auto& job = spooler.jobs[0];
    EXPECT_EQ(job.bytes, test::ReadFile(path));
    const std::vector<std::size_t> offered = {16385, 11385, 6385, 1385, 1};
    EXPECT_EQ(job.offered, offered);
    EXPECT_TRUE(job.finished);
}

TEST_F(SendFileRawTest, AWriteThatTakesNothingEndsTheJobAsARefusal) {
    spooler.zeroProgressAt = 1;
    const SendResult result = SendFileRaw(spooler, "plotter", MakeFile("stall.plt", 40000));
    EXPECT_FALSE(result.accepted);
    EXPECT_NE(result.refusal, "");
    EXPECT_EQ(result.bytesSent, 16385u);
    EXPECT_TRUE(spooler.jobs[0].cancelled);
    EXPECT_FALSE(spooler.jobs[0].finished);
    EXPECT_EQ(spooler.jobs[0].offered.size(), 2u);
    ExpectEverythingClosed();
}

TEST_F(SendFileRawTest, AFailedWriteCancelsTheJob) {
    spooler.failWriteAt = 1;
    const SendResult result = SendFileRaw(spooler, "plotter", MakeFile("fail.plt", 40000));
    EXPECT_FALSE(result.accepted);
    EXPECT_EQ(result.refusal, "write refused");
    EXPECT_TRUE(spooler.jobs[0].cancelled);
    EXPECT_EQ(spooler.jobs[0].offered.size(), 2u);
    ExpectEverythingClosed();
}

TEST_F(SendFileRawTest, RefusalsAtOpenStartAndFinishAreReturnedNotRaised) {
    const auto path = MakeFile("a.plt", 100);
    SendResult result = SendFileRaw(spooler, "no-such-printer", path);
    EXPECT_FALSE(result.accepted);
    EXPECT_EQ(result.refusal, "The printer or class does not exist.");
    EXPECT_TRUE(spooler.jobs.empty());

    spooler.refuseStart = true;
    EXPECT_FALSE(SendFileRaw(spooler, "plotter", path).accepted);
    EXPECT_TRUE(spooler.jobs.empty());
    spooler.refuseStart = false;

    spooler.refuseFinish = true;
    EXPECT_FALSE(SendFileRaw(spooler, "plotter", path).accepted);
    ASSERT_EQ(spooler.jobs.size(), 1u);
    EXPECT_TRUE(spooler.jobs[0].cancelled);
    ExpectEverythingClosed();
}

TEST_F(SendFileRawTest, AFileThatCannotBeOpenedIsAnErrorAndNoJob) {
    const std::string missing = (folder / "missing.plt").string();
    try {
        SendFileRaw(spooler, "plotter", missing);
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot open file " + missing);
    }
    // A folder opens for reading on Linux, even for root, but is no file to send.
    EXPECT_THROW(SendFileRaw(spooler, "plotter", folder.path().string()), Error);
    EXPECT_EQ(spooler.opened, 2);
    EXPECT_TRUE(spooler.jobs.empty());
    ExpectEverythingClosed();
}

TEST_F(SendFileRawTest, AnUnknownPrinterIsRefusedBeforeTheFileIsLookedAt) {
    const SendResult result = SendFileRaw(spooler, "gone", (folder / "missing.plt").string());
    EXPECT_FALSE(result.accepted);
    EXPECT_TRUE(spooler.jobs.empty());
}

TEST_F(SendFileRawTest, AReadErrorCancelsTheJobAndIsReported) {
    // Reading this file fails with an input/output error, even for root.
    const std::string unreadable = "/proc/self/mem";
    try {
        SendFileRaw(spooler, "plotter", unreadable);
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot read file /proc/self/mem");
    }
    ASSERT_EQ(spooler.jobs.size(), 1u);
    EXPECT_TRUE(spooler.jobs[0].cancelled);
    EXPECT_FALSE(spooler.jobs[0].finished);
    ExpectEverythingClosed();
}

}  // namespace
}  // namespace tavrin
