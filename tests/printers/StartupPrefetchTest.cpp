#include "printers/StartupPrefetch.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>

#include "platform/CupsDeviceProbe.h"
#include "platform/CupsPrintSpooler.h"
#include "platform/Error.h"
#include "support/FakeDeviceProbe.h"
#include "support/FakePrintSpooler.h"
#include "support/SandboxPrintServer.h"

namespace tavrin {
namespace {

using test::FakeDeviceProbe;
using test::FakePrintSpooler;

// A spooler whose list takes a while, which counts its listings and notes a request that comes
// while another thread is still listing.
class SlowListSpooler : public FakePrintSpooler {
public:
    std::atomic<bool> listing{false};
    mutable std::atomic<bool> overlapped{false};
    std::atomic<int> listings{0};

    std::vector<std::string> PrinterNames() override {
        listing = true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        ++listings;
        listing = false;
        return FakePrintSpooler::PrinterNames();
    }
    std::unique_ptr<PrinterHandle> Open(const std::string& printerName) override {
        overlapped = overlapped || listing;
        if (breaksAtOpen)
            throw Error("the spooler broke");
        return FakePrintSpooler::Open(printerName);
    }
    bool breaksAtOpen = false;
    std::string LastError() const override {
        overlapped = overlapped || listing;
        return FakePrintSpooler::LastError();
    }
};

class StartupPrefetchTest : public ::testing::Test {
protected:
    StartupPrefetchTest() {
        spooler.printers = {"hpgl-plotter", "ps-printer on socket://127.0.0.1:9100", "raw-printer"};
        spooler.ports = {{"hpgl-plotter", "socket://127.0.0.1:9101"},
                         {"ps-printer", "socket://127.0.0.1:9100"}};
        probe.answers["ps-printer"] = {"ps-printer", "PostScript"};
    }

    SlowListSpooler spooler;
    FakeDeviceProbe probe;
};

TEST_F(StartupPrefetchTest, TheStartUpRequestsTakeTheWorkersAnswers) {
    StartupPrefetch prefetch(spooler, probe, [] { return 1; });
    EXPECT_EQ(prefetch.Spooler().PrinterNames(), spooler.printers);
    auto handle = prefetch.Spooler().Open("ps-printer");
    ASSERT_TRUE(handle->ok());
    EXPECT_EQ(handle->PortName(), "socket://127.0.0.1:9100");
    EXPECT_EQ(prefetch.Probe().Probe("ps-printer").technology, "PostScript");
    // Each was asked of the real ones once, by the worker.
    EXPECT_EQ(spooler.listings, 1);
    EXPECT_EQ(spooler.opened, 1);
    EXPECT_EQ(probe.probes, 1);
    EXPECT_FALSE(spooler.overlapped);

    // Later requests ask afresh.
    EXPECT_EQ(prefetch.Spooler().PrinterNames().size(), 3u);
    EXPECT_EQ(spooler.listings, 2);
    EXPECT_TRUE(prefetch.Spooler().Open("ps-printer")->ok());
    EXPECT_EQ(spooler.opened, 2);
    prefetch.Probe().Probe("ps-printer");
    EXPECT_EQ(probe.probes, 2);
}

TEST_F(StartupPrefetchTest, AStoredIndexOutOfRangeGetsTheFirstPrinterReady) {
    StartupPrefetch prefetch(spooler, probe, [] { return 7; });
    prefetch.Spooler().PrinterNames();
    EXPECT_EQ(prefetch.Spooler().Open("hpgl-plotter")->PortName(), "socket://127.0.0.1:9101");
    EXPECT_EQ(spooler.opened, 1);
}

TEST_F(StartupPrefetchTest, AskingForAnotherPrinterGoesToTheSpoolerAndLeavesNoHandleOpen) {
    {
        StartupPrefetch prefetch(spooler, probe, [] { return 0; });
        prefetch.Spooler().PrinterNames();
        auto handle = prefetch.Spooler().Open("raw-printer");
        EXPECT_TRUE(handle->ok());
        EXPECT_EQ(spooler.opened, 2);
        EXPECT_EQ(spooler.openHandles, 1);  // the worker's handle is closed
        EXPECT_EQ(prefetch.Probe().Probe("raw-printer").technology, std::nullopt);
        EXPECT_EQ(probe.probes, 2);
    }
    EXPECT_EQ(spooler.openHandles, 0);
}

TEST_F(StartupPrefetchTest, AProbeThatBrokeOnTheWorkerBreaksTheFirstProbe) {
    probe.broken.insert("hpgl-plotter");
    StartupPrefetch prefetch(spooler, probe, [] { return 0; });
    try {
        prefetch.Probe().Probe("hpgl-plotter");
        FAIL() << "the probe's error was lost";
    } catch (const Error& error) {
        EXPECT_STREQ(error.what(), "the driver failed");
    }
    EXPECT_EQ(probe.probes, 1);
}

TEST_F(StartupPrefetchTest, AnOpenThatBrokeOnTheWorkerBreaksTheFirstOpenOnly) {
    spooler.breaksAtOpen = true;
    StartupPrefetch prefetch(spooler, probe, [] { return 1; });
    EXPECT_EQ(prefetch.Spooler().PrinterNames(), spooler.printers);
    try {
        prefetch.Spooler().Open("ps-printer");
        FAIL() << "the open's error was lost";
    } catch (const Error& error) {
        EXPECT_STREQ(error.what(), "the spooler broke");
    }
    // The probe got ready beside it is still taken, and later opens ask the spooler again.
    EXPECT_EQ(prefetch.Probe().Probe("ps-printer").technology, "PostScript");
    EXPECT_EQ(probe.probes, 1);
    spooler.breaksAtOpen = false;
    EXPECT_TRUE(prefetch.Spooler().Open("ps-printer")->ok());
}

TEST_F(StartupPrefetchTest, AnUnreachableServerIsReportedAsWithoutPrefetching) {
    spooler.unreachable = "Cannot reach the print server /run/cups/cups.sock";
    StartupPrefetch prefetch(spooler, probe, [] { return 0; });
    EXPECT_TRUE(prefetch.Spooler().PrinterNames().empty());
    EXPECT_EQ(prefetch.Spooler().LastError(), spooler.unreachable);
    EXPECT_EQ(spooler.opened, 0);
    EXPECT_EQ(probe.probes, 0);
}

TEST_F(StartupPrefetchTest, UnreadableSettingsLeaveThePrinterRequestsToTheWindow) {
    StartupPrefetch prefetch(spooler, probe, []() -> int { throw Error("Unable to read"); });
    EXPECT_EQ(prefetch.Spooler().PrinterNames(), spooler.printers);
    EXPECT_EQ(spooler.opened, 0);
    EXPECT_TRUE(prefetch.Spooler().Open("hpgl-plotter")->ok());
    EXPECT_EQ(spooler.opened, 1);
}

TEST_F(StartupPrefetchTest, ItWaitsForItsWorkerAndClosesWhatWasNotTaken) {
    {
        StartupPrefetch unused(spooler, probe, [] { return 0; });
    }
    EXPECT_EQ(spooler.listings, 1);
    EXPECT_EQ(spooler.openHandles, 0);
}

TEST(StartupPrefetchServerTest, PreparesTheStoredPrinterOfARealServer) {
    test::SandboxPrintServer server;
    CupsPrintSpooler cups;
    CupsDeviceProbe cupsProbe;
    const std::vector<std::string> queues = test::SandboxPrintServer::Queues();
    StartupPrefetch prefetch(cups, cupsProbe, [] { return 1; });
    EXPECT_EQ(prefetch.Spooler().PrinterNames(), queues);
    EXPECT_TRUE(prefetch.Spooler().LastError().empty());
    auto handle = prefetch.Spooler().Open(queues[1]);
    ASSERT_TRUE(handle->ok());
    EXPECT_EQ(handle->PortName(), cups.Open(queues[1])->PortName());
    EXPECT_EQ(prefetch.Probe().Probe(queues[1]).technology, cupsProbe.Probe(queues[1]).technology);
}

}  // namespace
}  // namespace tavrin
