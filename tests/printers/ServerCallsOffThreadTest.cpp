// SPDX-License-Identifier: GPL-3.0-or-later
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <thread>

#include "platform/Error.h"
#include "printers/ServerCallsOffThread.h"
#include "support/FakePrintSpooler.h"

namespace tavrin {
namespace {

using testing::ThrowsMessage;

// Spins until the request has ended; the first wait may make a request of its own meanwhile.
struct SpinningCaller : WaitingCaller {
    void WaitUntil(const std::function<bool()>& done) override {
        ++waits;
        if (auto request = std::exchange(duringFirstWait, nullptr))
            request();
        while (!done())
            std::this_thread::yield();
    }
    void Wake() override { ++wakes; }
    int waits = 0;
    std::atomic<int> wakes = 0;
    std::function<void()> duringFirstWait;
};

// The probe notes the thread each request ran on.
struct ThreadNotingProbe : test::FakeDeviceProbe {
    DeviceAnswer Probe(const std::string& deviceName) override {
        threads.push_back(std::this_thread::get_id());
        return FakeDeviceProbe::Probe(deviceName);
    }
    std::vector<std::thread::id> threads;
};

TEST(ServerCallsOffThread, EveryRequestRunsOnTheWorkerAndItsAnswerOrErrorComesBackUnchanged) {
    test::FakePrintSpooler spooler;
    spooler.printers = {"plotter", "laser"};
    spooler.ports["plotter"] = "socket://plotter";
    ThreadNotingProbe probe;
    probe.broken = {"broken"};
    SpinningCaller caller;
    ServerCallsOffThread calls(spooler, probe, caller);

    EXPECT_EQ(calls.Spooler().PrinterNames(), spooler.printers);
    {
        auto printer = calls.Spooler().Open("plotter");
        EXPECT_EQ(printer->PortName(), "socket://plotter");
        auto job = printer->StartRawDocument("drawing");
        EXPECT_EQ(job->Write("PG;", 3), 3u);
        EXPECT_TRUE(job->Finish());
        auto unfinished = printer->StartRawDocument("withdrawn");
    }
    ASSERT_EQ(spooler.jobs.size(), 2u);
    EXPECT_EQ(std::tuple(spooler.jobs[0].bytes, spooler.jobs[0].finished, spooler.jobs[1].cancelled,
                         spooler.openHandles, spooler.liveJobs),
              std::tuple("PG;", true, true, 0, 0));

    // A request made while another one waits queues behind it.
    caller.duringFirstWait = [&] { EXPECT_EQ(calls.Probe().Probe("inner").description, "inner"); };
    EXPECT_EQ(calls.Probe().Probe("outer").description, "outer");
    EXPECT_THAT([&] { calls.Probe().Probe("broken"); }, ThrowsMessage<Error>("the driver failed"));
    EXPECT_EQ(probe.threads.size(), 3u);
    for (const std::thread::id thread : probe.threads)
        EXPECT_NE(thread, std::this_thread::get_id());
    EXPECT_EQ(caller.waits, caller.wakes.load());
    EXPECT_EQ(caller.waits, 13);  // one for each request above, the closing ones too
}

}  // namespace
}  // namespace tavrin
