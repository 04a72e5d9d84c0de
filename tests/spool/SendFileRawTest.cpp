// SPDX-License-Identifier: GPL-3.0-or-later
#include "spool/SendFileRaw.h"

#include <gtest/gtest.h>

#include "platform/Error.h"
#include "printsystem/CupsPrintSpooler.h"
#include "support/FakePrintSpooler.h"
#include "support/SandboxPrintServer.h"
#include "support/SpoolErrorText.h"
#include "support/TempFolder.h"

namespace tavrin {
namespace {

namespace fs = std::filesystem;
using test::FakePrintSpooler;
using test::SandboxPrintServer;
using Sizes = std::vector<std::size_t>;

struct SendFileRawTest : public ::testing::Test {
    SendFileRawTest() { spooler.printers = {"plotter"}; }

    fs::path MakeFile(std::uintmax_t size) {
        const fs::path path = folder / ("f" + std::to_string(size) + ".plt");
        test::WritePatternFile(path, size, static_cast<std::uint32_t>(size));
        return path;
    }
    SendResult Send(const fs::path& path) { return SendFileRaw(spooler, "plotter", path.string()); }
    std::string SendError(const std::string& p) {
        return test::SpoolErrorText([&] { Send(p); });
    }
    void TearDown() override { EXPECT_EQ(spooler.openHandles + spooler.liveJobs, 0); }

    FakePrintSpooler spooler;
    test::TempFolder folder;
};

TEST_F(SendFileRawTest, FilesGoThroughTheBufferInPiecesOfAtMost16385BytesAsTheirNameSays) {
    EXPECT_EQ(DocumentNameOf("/home/ann/sheet1.plt") + "|" + DocumentNameOf("sheet1.plt") + "|" +
                  DocumentNameOf("C:\\plots\\a.plt") + "|" + DocumentNameOf("/a/"),
              "sheet1.plt|sheet1.plt|C:\\plots\\a.plt|");
    const std::pair<std::uintmax_t, Sizes> cases[] = {
        {0, {}}, {1, {1}}, {16385, {16385}}, {16386, {16385, 1}}, {40000, {16385, 16385, 7230}}};
    for (const auto& [size, pieces] : cases) {
        const fs::path path = MakeFile(size);
        const SendResult result = Send(path);
        const auto& job = spooler.jobs.back();
        EXPECT_EQ(std::tuple(result.accepted, result.bytesSent, job.offered, job.documentName),
                  std::tuple(true, size, pieces, path.filename().string()));
        EXPECT_TRUE(job.bytes == test::ReadFile(path) && job.finished) << size;
    }

    // A partial write is written on until the spooler has every byte.
    spooler.maxTakenPerWrite = 5000;
    EXPECT_TRUE(Send(folder / "f16386.plt").accepted);
    EXPECT_TRUE(spooler.jobs.back().bytes == test::ReadFile(folder / "f16386.plt"));
    EXPECT_EQ(spooler.jobs.back().offered, (Sizes{16385, 11385, 6385, 1385, 1}));
}

TEST_F(SendFileRawTest, RefusalsAreReturnedNotRaisedAndWithdrawTheJobAndBadFilesRaise) {
    // An unknown printer is refused before the file is looked at.
    EXPECT_EQ(SendFileRaw(spooler, "gone", (folder / "missing.plt").string()).refusal,
              "The printer or class does not exist.");
    // Where the fake refuses, the refusal, the bytes sent and the writes offered before it.
    using Row = std::tuple<const char*, void (*)(FakePrintSpooler&), std::string, std::uint64_t,
                           std::size_t>;
    const Row rows[] = {
        {"Start", [](auto& s) { s.refuseStart = true; }, "start refused", 0, 0},
        {"Write", [](auto& s) { s.failWriteAt = 1; }, "write refused", 16385, 2},
        {"Stall", [](auto& s) { s.zeroProgressAt = 1; }, "the spooler took no more data", 16385, 2},
        {"Finish", [](auto& s) { s.refuseFinish = true; }, "No file in print request", 40000, 3},
    };
    for (const auto& [name, refuse, refusal, sent, writes] : rows) {
        SCOPED_TRACE(name);
        FakePrintSpooler fake;
        fake.printers = {"plotter"};
        refuse(fake);
        const SendResult result = SendFileRaw(fake, "plotter", MakeFile(40000).string());
        EXPECT_EQ(std::tuple(result.accepted, result.refusal, result.bytesSent),
                  std::tuple(false, refusal, sent));
        ASSERT_EQ(fake.jobs.size(), writes == 0 ? 0u : 1u);
        for (const auto& job : fake.jobs)
            EXPECT_TRUE(job.cancelled && !job.finished && job.offered.size() == writes);
        EXPECT_EQ(fake.openHandles + fake.liveJobs, 0);
    }

    const std::string missing = (folder / "missing.plt").string();
    EXPECT_EQ(SendError(missing), "Cannot open file " + missing);
    // A folder opens for reading on Linux, even for root, but is no file to send.
    EXPECT_EQ(SendError(folder.path().string()), "Cannot open file " + folder.path().string());
    EXPECT_TRUE(spooler.jobs.empty());
    // Reading this file fails with an input/output error, even for root.
    EXPECT_EQ(SendError("/proc/self/mem"), "Cannot read file /proc/self/mem");
    ASSERT_EQ(spooler.jobs.size(), 1u);
    EXPECT_TRUE(spooler.jobs[0].cancelled && !spooler.jobs[0].finished);
}

struct SendFileRawEndToEnd : public SendFileRawTest {
    SendResult Send(const fs::path& file) { return SendFileRaw(cups, raw, file.string()); }
    SandboxPrintServer server;
    CupsPrintSpooler cups;
    const std::string raw = SandboxPrintServer::kRawQueue;
};

TEST_F(SendFileRawEndToEnd, EveryFileArrivesByteForByteAndBadFilesAndAStoppedServerSendNone) {
    test::WriteBytes(folder / "empty.plt", "");
    const SendResult empty = Send(folder / "empty.plt");
    EXPECT_FALSE(empty.accepted);
    EXPECT_NE(empty.refusal.find("No file in print request"), std::string::npos) << empty.refusal;
    // A read that fails after the job was made: the job is withdrawn.
    EXPECT_THROW(Send("/proc/self/mem"), Error);
    // None of them is left waiting in the queue: every state from Canceled on is final.
    for (const auto& job : server.AllJobs(raw))
        EXPECT_GE(job.state, QueueJobState::Canceled) << job.id;
    for (const auto& queue : SandboxPrintServer::Queues())
        EXPECT_TRUE(server.ReceivedFiles(queue).empty()) << queue;

    std::vector<fs::path> files;
    for (const std::uintmax_t size : {1u, 16385u, 16386u, 50u * 1024 * 1024})
        files.push_back(MakeFile(size));
    for (const char* sample : {"jem-green-HPGL2/XANADU-PLT-test.plt", "hpgl-rendering/test.plt",
                               "ghostpdl/gl-chars.pcl"})
        files.push_back(test::SamplesDir() / sample);
    for (const fs::path& file : files)
        ASSERT_TRUE(Send(file).accepted) << file;
    const auto received = server.WaitForJobs(raw, files.size());
    ASSERT_EQ(received.size(), files.size());
    for (std::size_t i = 0; i < files.size(); ++i) {
        EXPECT_EQ(std::pair(received[i].title, received[i].size),
                  std::pair(files[i].filename().string(), fs::file_size(files[i])));
        EXPECT_TRUE(test::SameContents(received[i].file, files[i])) << files[i];
    }
    server.Stop();
    const SendResult stopped = Send(files[0]);
    EXPECT_FALSE(stopped.accepted);
    EXPECT_NE(stopped.refusal.find("Cannot reach the print server"), std::string::npos)
        << stopped.refusal;
    EXPECT_EQ(server.ReceivedFiles(raw).size(), files.size());
}

}  // namespace
}  // namespace tavrin
