#include "platform/CupsPrintSpooler.h"

#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>

#include "platform/CupsDeviceProbe.h"
#include "support/SandboxPrintServer.h"
#include "support/TempFolder.h"

namespace tavrin {
namespace {

using test::SandboxPrintServer;
using Clock = std::chrono::steady_clock;

bool Active(const QueueJob& job) {
    return job.state == QueueJobState::Pending || job.state == QueueJobState::Held ||
           job.state == QueueJobState::Processing;
}

std::size_t ActiveJobs(SandboxPrintServer& server, const std::string& queue) {
    std::size_t count = 0;
    for (const auto& job : server.AllJobs(queue))
        count += Active(job) ? 1 : 0;
    return count;
}

class CupsPrintSpoolerTest : public ::testing::Test {
protected:
    SandboxPrintServer server;
    CupsPrintSpooler spooler;
};

TEST_F(CupsPrintSpoolerTest, ListsTheQueuesInTheServersOrder) {
    EXPECT_EQ(spooler.PrinterNames(), SandboxPrintServer::Queues());
    EXPECT_EQ(spooler.LastError(), "");
}

TEST_F(CupsPrintSpoolerTest, APrintersPortIsItsDeviceUri) {
    auto printer = spooler.Open(SandboxPrintServer::kRawQueue);
    ASSERT_TRUE(printer->ok()) << printer->error();
    const auto port = printer->PortName();
    ASSERT_TRUE(port);
    EXPECT_EQ(port->rfind("socket://127.0.0.1:", 0), 0u) << *port;
}

TEST_F(CupsPrintSpoolerTest, AnUnknownQueueIsRefusedAtOpen) {
    auto printer = spooler.Open("no-such-queue");
    EXPECT_FALSE(printer->ok());
    EXPECT_NE(printer->error(), "");
    EXPECT_EQ(printer->PortName(), std::nullopt);
    EXPECT_FALSE(printer->StartRawDocument("x")->ok());
    EXPECT_FALSE(spooler.Open("")->ok());
}

TEST_F(CupsPrintSpoolerTest, AStoppedServerIsARefusalAndAnEmptyList) {
    server.Stop();
    EXPECT_TRUE(spooler.PrinterNames().empty());
    EXPECT_NE(spooler.LastError(), "");
    auto printer = spooler.Open(SandboxPrintServer::kRawQueue);
    EXPECT_FALSE(printer->ok());
    EXPECT_NE(printer->error().find("Cannot reach the print server"), std::string::npos)
        << printer->error();
}

TEST_F(CupsPrintSpoolerTest, ARawDocumentArrivesWholeUnderItsName) {
    auto printer = spooler.Open(SandboxPrintServer::kHpglQueue);
    ASSERT_TRUE(printer->ok());
    auto job = printer->StartRawDocument("sheet1.plt");
    ASSERT_TRUE(job->ok()) << job->error();
    const std::string bytes = "IN;SP1;PA0,0;PD100,100;PU;PG;\x1b%-12345X";
    EXPECT_EQ(job->Write(bytes.data(), 10), 10u);
    EXPECT_EQ(job->Write(bytes.data() + 10, bytes.size() - 10), bytes.size() - 10);
    EXPECT_TRUE(job->Finish()) << job->error();
    job.reset();
    const auto received = server.WaitForJobs(SandboxPrintServer::kHpglQueue, 1);
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].title, "sheet1.plt");
    EXPECT_EQ(test::ReadFile(received[0].file), bytes);
}

TEST_F(CupsPrintSpoolerTest, ADocumentWithoutDataIsRefusedAndLeavesNoJobBehind) {
    auto printer = spooler.Open(SandboxPrintServer::kRawQueue);
    auto job = printer->StartRawDocument("empty.plt");
    ASSERT_TRUE(job->ok());
    EXPECT_FALSE(job->Finish());
    EXPECT_NE(job->error().find("No file in print request"), std::string::npos) << job->error();
    EXPECT_EQ(ActiveJobs(server, SandboxPrintServer::kRawQueue), 0u);
    EXPECT_TRUE(server.ReceivedFiles(SandboxPrintServer::kRawQueue).empty());
}

TEST_F(CupsPrintSpoolerTest, AJobDroppedBeforeItsEndIsCancelledNotDelivered) {
    {
        auto printer = spooler.Open(SandboxPrintServer::kRawQueue);
        auto job = printer->StartRawDocument("half.plt");
        EXPECT_EQ(job->Write("IN;SP1;", 7), 7u);
    }
    const auto jobs = server.AllJobs(SandboxPrintServer::kRawQueue);
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_EQ(jobs[0].state, QueueJobState::Canceled);
    EXPECT_TRUE(server.ReceivedFiles(SandboxPrintServer::kRawQueue).empty());
}

TEST_F(CupsPrintSpoolerTest, PausePurgeAndResumeActOnTheWholeQueue) {
    auto printer = spooler.Open(SandboxPrintServer::kPostScriptQueue);
    ASSERT_TRUE(printer->Send(QueueCommand::Pause));
    for (const char* name : {"a.ps", "b.ps"}) {
        auto job = printer->StartRawDocument(name);
        ASSERT_EQ(job->Write("%!PS\n", 5), 5u);
        ASSERT_TRUE(job->Finish());
    }
    const auto waiting = printer->Jobs();
    ASSERT_TRUE(waiting);
    ASSERT_EQ(waiting->size(), 2u);
    EXPECT_EQ((*waiting)[0].documentName, "a.ps");
    EXPECT_EQ((*waiting)[1].documentName, "b.ps");
    EXPECT_EQ((*waiting)[0].state, QueueJobState::Pending);
    EXPECT_GT((*waiting)[0].createdAt, 0);

    ASSERT_TRUE(printer->Send(QueueCommand::Purge));
    EXPECT_EQ(printer->Jobs(), std::vector<QueueJob>{});
    ASSERT_TRUE(printer->Send(QueueCommand::Resume));
    auto job = printer->StartRawDocument("c.ps");
    ASSERT_EQ(job->Write("%!PS\n", 5), 5u);
    ASSERT_TRUE(job->Finish());
    const auto received = server.WaitForJobs(SandboxPrintServer::kPostScriptQueue, 1);
    EXPECT_EQ(received[0].title, "c.ps");
}

TEST_F(CupsPrintSpoolerTest, TheProbeAnswersEachQueuesTechnologyAndDescription) {
    CupsDeviceProbe probe;
    EXPECT_EQ(probe.Probe(SandboxPrintServer::kHpglQueue).technology, "HPGL/2");
    EXPECT_EQ(probe.Probe(SandboxPrintServer::kPostScriptQueue).technology, "PostScript");
    const DeviceAnswer oce = probe.Probe(SandboxPrintServer::kOceQueue);
    EXPECT_EQ(oce.technology, std::nullopt);
    EXPECT_EQ(oce.description, "Oce 9600 plot room");
    EXPECT_EQ(probe.Probe(SandboxPrintServer::kRawQueue).technology, std::nullopt);
    const DeviceAnswer unknown = probe.Probe("no-such-queue");
    EXPECT_EQ(unknown.technology, std::nullopt);
    EXPECT_EQ(unknown.description, "no-such-queue");
}

// A server that accepts connections but never answers.
class SilentServer {
public:
    SilentServer() {
        fd_ = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof(address));
        listen(fd_, 16);
        socklen_t length = sizeof(address);
        getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
    }
    ~SilentServer() { close(fd_); }
    std::string Address() const { return "127.0.0.1:" + std::to_string(port_); }

private:
    int fd_;
    int port_ = 0;
};

TEST(CupsSilentServer, EveryRequestGivesUpWithinItsBound) {
    SilentServer silent;
    setenv("CUPS_SERVER", silent.Address().c_str(), 1);
    cupsSetServer(silent.Address().c_str());
    CupsPrintSpooler spooler(CupsTimeouts{1000, 1.0});

    auto start = Clock::now();
    EXPECT_TRUE(spooler.PrinterNames().empty());
    EXPECT_NE(spooler.LastError().find("does not answer"), std::string::npos)
        << spooler.LastError();
    auto printer = spooler.Open("plotter");
    EXPECT_FALSE(printer->ok());
    CupsDeviceProbe probe(CupsTimeouts{1000, 1.0});
    EXPECT_EQ(probe.Probe("plotter").technology, std::nullopt);
    const auto waited = std::chrono::duration<double>(Clock::now() - start).count();
    // Three request objects, each allowed one second of silence plus libcups' own retries.
    EXPECT_LT(waited, 15.0);
    cupsSetServer(nullptr);
    unsetenv("CUPS_SERVER");
}

}  // namespace
}  // namespace tavrin
