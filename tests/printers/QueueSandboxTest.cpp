// Queue commands against a private CUPS server whose devices store what they receive.
#include <cups/cups.h>
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "joblist/GridModel.h"
#include "platform/CupsPrintSpooler.h"
#include "platform/PlainForm.h"
#include "printers/QueueManagement.h"
#include "support/SandboxPrintServer.h"
#include "support/ScratchFolder.h"
#include "support/TestPaths.h"

namespace tavrin {
namespace {

namespace fs = std::filesystem;
using Server = test::SandboxPrintServer;

const fs::path kPlot = test::SamplesDir() / "jem-green-HPGL2/XANADU-PLT-test.plt";
const fs::path kPenPlot = test::SamplesDir() / "hp2xx/acad.hp";
const fs::path kSmallPlot = test::SamplesDir() / "jem-green-HPGL2/test-Model.PLT";

// Streams a file into the printer's queue as a raw job named after the file.
void Send(PrintSpooler& spooler, const std::string& printer, const fs::path& file) {
    const auto handle = spooler.Open(printer);
    ASSERT_TRUE(handle->ok()) << handle->error();
    const auto job = handle->StartRawDocument(file.filename().string());
    ASSERT_TRUE(job->ok()) << job->error();
    std::ifstream in(file, std::ios::binary);
    std::vector<char> buffer(16384);
    while (in.read(buffer.data(), static_cast<std::streamsize>(buffer.size())) || in.gcount()) {
        std::size_t offered = static_cast<std::size_t>(in.gcount());
        const char* data = buffer.data();
        while (offered > 0) {
            const std::size_t taken = job->Write(data, offered);
            ASSERT_GT(taken, 0u) << job->error();
            data += taken;
            offered -= taken;
        }
    }
    ASSERT_TRUE(job->Finish()) << job->error();
}

// The printer's IPP state: "3" idle, "4" printing, "5" stopped.
std::string PrinterState(const std::string& printer) {
    cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, printer.c_str(), nullptr);
    if (!dest)
        return "unknown";
    const char* state = cupsGetOption("printer-state", dest->num_options, dest->options);
    std::string text = state ? state : "none";
    cupsFreeDests(1, dest);
    return text;
}

std::vector<std::string> WaitingNames(PrintSpooler& spooler, const std::string& printer) {
    std::vector<std::string> names;
    const auto jobs = spooler.Open(printer)->Jobs();
    EXPECT_TRUE(jobs.has_value());
    for (const QueueJob& job : jobs.value_or(std::vector<QueueJob>{})) {
        EXPECT_EQ(job.state, QueueJobState::Pending) << job.documentName;
        names.push_back(job.documentName);
    }
    return names;
}

class QueueOnPrintServer : public ::testing::Test {
protected:
    // A job on another queue that has gone all the way through: the server has had its
    // chance to start the jobs it was given before.
    void LetTheServerWork() {
        Send(spooler, Server::kRawQueue, kSmallPlot);
        server.WaitForJobs(Server::kRawQueue, ++rawJobs);
    }

    Server server;
    CupsPrintSpooler spooler;
    GridModel grid;
    PlainForm form{grid};
    std::size_t rawJobs = 0;
    const std::string plotter = Server::kHpglQueue;
};

TEST_F(QueueOnPrintServer, PausedJobsWaitAndResumeDeliversThemWhole) {
    ASSERT_TRUE(Pauseprinting1Click(form, spooler, plotter).accepted);
    EXPECT_EQ(PrinterState(plotter), "5");
    Send(spooler, plotter, kPlot);
    Send(spooler, plotter, kPenPlot);
    LetTheServerWork();
    EXPECT_EQ(WaitingNames(spooler, plotter),
              (std::vector<std::string>{"XANADU-PLT-test.plt", "acad.hp"}));
    EXPECT_TRUE(server.ReceivedFiles(plotter).empty());

    ASSERT_TRUE(Resumeprinting1Click(form, spooler, plotter).accepted);
    const auto received = server.WaitForJobs(plotter, 2);
    ASSERT_EQ(received.size(), 2u);
    EXPECT_EQ(received[0].title, "XANADU-PLT-test.plt");
    EXPECT_EQ(test::ReadBytes(received[0].file), test::ReadBytes(kPlot));
    EXPECT_EQ(received[1].title, "acad.hp");
    EXPECT_EQ(test::ReadBytes(received[1].file), test::ReadBytes(kPenPlot));
    EXPECT_EQ(PrinterState(plotter), "3");
}

TEST_F(QueueOnPrintServer, PurgeDeletesTheWaitingJobsSoNoneEverArrives) {
    ASSERT_TRUE(Pauseprinting1Click(form, spooler, plotter).accepted);
    Send(spooler, plotter, kPlot);
    Send(spooler, plotter, kPenPlot);
    ASSERT_EQ(WaitingNames(spooler, plotter).size(), 2u);
    form.okPrint.setCaption("Busy!");

    ASSERT_TRUE(ClearQueu1Click(form, spooler, plotter).accepted);
    EXPECT_TRUE(WaitingNames(spooler, plotter).empty());
    EXPECT_EQ(form.okPrint.caption(), "     &OK, Print!!");
    // Purging does not resume; once resumed, a new job is the first and only one delivered.
    EXPECT_EQ(PrinterState(plotter), "5");
    ASSERT_TRUE(Resumeprinting1Click(form, spooler, plotter).accepted);
    Send(spooler, plotter, kSmallPlot);
    const auto received = server.WaitForJobs(plotter, 1);
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].title, "test-Model.PLT");
    EXPECT_EQ(test::ReadBytes(received[0].file), test::ReadBytes(kSmallPlot));
}

TEST_F(QueueOnPrintServer, ResumeAfterChoosingAnotherPrinterResumesThatOneOnly) {
    const std::string other = Server::kPostScriptQueue;
    ASSERT_TRUE(SendQueueCommand(spooler, other, QueueCommand::Pause).accepted);
    ASSERT_TRUE(Pauseprinting1Click(form, spooler, plotter).accepted);
    Send(spooler, plotter, kSmallPlot);
    Send(spooler, other, kPenPlot);

    ASSERT_TRUE(Resumeprinting1Click(form, spooler, other).accepted);
    const auto received = server.WaitForJobs(other, 1);
    EXPECT_EQ(received.at(0).title, "acad.hp");
    LetTheServerWork();
    EXPECT_EQ(PrinterState(plotter), "5");
    EXPECT_EQ(WaitingNames(spooler, plotter), std::vector<std::string>{"test-Model.PLT"});
    EXPECT_TRUE(server.ReceivedFiles(plotter).empty());
}

TEST_F(QueueOnPrintServer, AnUnknownQueueIsRefusedWithTheServersReason) {
    const QueueCommandResult result = Pauseprinting1Click(form, spooler, "no-such-queue");
    EXPECT_FALSE(result.accepted);
    EXPECT_EQ(result.refusal.rfind("Cannot open printer no-such-queue: ", 0), 0u) << result.refusal;
    EXPECT_TRUE(form.resumePrinting1.enabled());
    for (const std::string& queue : Server::Queues())
        EXPECT_EQ(PrinterState(queue), "3");
}

TEST_F(QueueOnPrintServer, AStoppedServerRefusesWithoutHanging) {
    server.Stop();
    const QueueCommandResult result = ClearQueu1Click(form, spooler, plotter);
    EXPECT_FALSE(result.accepted);
    EXPECT_NE(result.refusal.find("Cannot open printer hpgl-plotter"), std::string::npos)
        << result.refusal;
    EXPECT_EQ(form.okPrint.caption(), "     &OK, Print!!");
}

}  // namespace
}  // namespace tavrin
