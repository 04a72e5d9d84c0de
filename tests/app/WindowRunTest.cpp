// SPDX-License-Identifier: GPL-3.0-or-later
// The spool run works on its own thread: the window stays live through a long run, and the
// commands given meanwhile act between two of its files.
#include <QTimer>
#include <algorithm>
#include <chrono>

#include "WindowTestSupport.h"
#include "support/WaitUntil.h"

namespace tavrin::test {
namespace {

namespace fs = std::filesystem;
using Server = SandboxPrintServer;
using SteadyClock = std::chrono::steady_clock;
using Milliseconds = std::chrono::duration<double, std::milli>;

// The longest gap between two ticks of a 10 ms timer on the window's thread since it started.
class TickGaps {
public:
    TickGaps() {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            const auto now = SteadyClock::now();
            longest_ = std::max(longest_, Milliseconds(now - last_).count());
            last_ = now;
        });
        timer_.start(10);
    }
    double Longest() const {
        return std::max(longest_, Milliseconds(SteadyClock::now() - last_).count());
    }

private:
    QTimer timer_;
    SteadyClock::time_point last_ = SteadyClock::now();
    double longest_ = 0;
};

Texts Repeated(const std::vector<fs::path>& files, std::size_t count) {
    Texts names;
    for (std::size_t i = 0; i < count; ++i)
        names.push_back(files[i % files.size()].string());
    return names;
}

class WindowRunTest : public WindowFixture {};

TEST_F(WindowRunTest, TheWindowKeepsTickingThroughARunOfTwoHundredFiles) {
    SKIP_WITHOUT_PRINT_SERVER();
    constexpr std::size_t kFiles = 200;
    Start(Repeated(SamplePrintFiles(), kFiles));
    ChoosePrinter(Server::kRawQueue);
    const std::size_t before = PrintServer().ReceivedFiles(Server::kRawQueue).size();
    TickGaps gaps;
    Click("OKPrint");
    const double longest = gaps.Longest();
    EXPECT_LT(longest, 1000.0) << "the window's thread stood still for " << longest << " ms";
    EXPECT_EQ(Panel(3), "Done");
    EXPECT_TRUE(messages.empty()) << messages.front();
    EXPECT_EQ(PrintServer().WaitForJobs(Server::kRawQueue, before + kFiles).size(),
              before + kFiles);
}

// On a queue of its own among the window's tests: a job that is printing as the queue pauses is
// printed again from its start once it resumes, so its device receives it twice.
TEST_F(WindowRunTest, PausePrintingMidRunHoldsTheLaterJobsWhileTheRunGoesOnToItsEnd) {
    SKIP_WITHOUT_PRINT_SERVER();
    constexpr int kFiles = 30;
    const char* queue = Server::kOceQueue;
    const fs::path plot = Sample("hp2xx/dt.plt");
    Start(Texts(kFiles, plot.string()));
    ChoosePrinter(queue);
    Item("WrongDeviceGuard1")->trigger();  // off: the plots go without the question
    // Sent rows leave the list, which shows how far the run has got.
    Item("Clearafterspooling1")->trigger();
    const auto received = [queue] { return PrintServer().ReceivedFiles(queue).size(); };
    const std::size_t before = received();
    const std::size_t jobsBefore = PrintServer().AllJobs(queue).size();
    // A test that stops half-way leaves the queue printing for the tests after it.
    struct Resume {
        const char* queue;
        ~Resume() { RunCommand(std::string("cupsenable ") + queue); }
    } resume{queue};

    int rowsLeftAtPause = -1;
    QTimer watcher;
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        const int rows = form->Jobs().FileCount();
        if (rowsLeftAtPause >= 0 || !form->RunUnderWay() || rows > kFiles - 2)
            return;
        Item("Pauseprinting1")->trigger();
        rowsLeftAtPause = rows;
        EXPECT_TRUE(SaveShot(*form, "window-run-paused"));
    });
    watcher.start(0);
    Click("OKPrint");
    watcher.stop();

    ASSERT_GT(rowsLeftAtPause, 2) << "the run ended before the pause";
    EXPECT_EQ(Panel(3), "Done");
    EXPECT_TRUE(messages.empty()) << messages.front();
    EXPECT_EQ(Which(&QAction::isEnabled, {"Pauseprinting1", "Resumeprinting1"}), "Resumeprinting1");
    EXPECT_EQ((std::pair{Panel(1), Rows()}),
              (std::pair{std::string("Files in joblist: 0"), Texts{}}));
    // Every file reached the queue; those sent after the pause wait there.
    const auto ours = [&] {
        std::vector<QueueJob> jobs = PrintServer().AllJobs(queue);
        jobs.erase(jobs.begin(), jobs.begin() + static_cast<long>(jobsBefore));
        return jobs;
    };
    const auto inState = [](const std::vector<QueueJob>& jobs,
                            std::initializer_list<QueueJobState> states) {
        return std::count_if(jobs.begin(), jobs.end(), [&](const QueueJob& job) {
            return std::find(states.begin(), states.end(), job.state) != states.end();
        });
    };
    const std::vector<QueueJob> jobs = ours();
    ASSERT_EQ(jobs.size(), std::size_t{kFiles});
    // The file being sent as the pause came may have gone either side of it.
    EXPECT_GE(inState(jobs, {QueueJobState::Pending, QueueJobState::Held}), rowsLeftAtPause - 1);
    EXPECT_LT(received(), before + kFiles);
    EXPECT_NE(RunCommand(std::string("lpstat -p ") + queue).out.find("disabled"),
              std::string::npos);

    Item("Resumeprinting1")->trigger();
    EXPECT_TRUE(WaitUntil([&] { return inState(ours(), {QueueJobState::Completed}) == kFiles; },
                          std::chrono::seconds(120)));
    EXPECT_GE(received(), before + kFiles);
}

}  // namespace
}  // namespace tavrin::test
