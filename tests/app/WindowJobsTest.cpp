// SPDX-License-Identifier: GPL-3.0-or-later
// The window follows each job it sent to its end, at a print server whose devices fail.
#include <cups/cups.h>

#include <QElapsedTimer>
#include <QTimer>
#include <QTreeWidget>

#include "WindowTestSupport.h"
#include "app/QueueWindow.h"
#include "support/DelayingProxy.h"
#include "support/IppEvePrinter.h"

namespace tavrin::test {
namespace {

using Server = SandboxPrintServer;

const std::filesystem::path kPrinted = Sample("hp2xx/dt.plt");
const std::filesystem::path kStuck = Sample("hp2xx/pages.hp");
const std::filesystem::path kCancelled = Sample("hp2xx/lo-slash.hp");
const std::string kUnavailable = "The printer may not exist or is unavailable at this time.";

class WindowJobsTest : public WindowFixture {
protected:
    void SetUp() override { Troubled(); }
    static Server& Troubled() {
        static Server server(true);
        return server;
    }
    void StartFollowing() {
        Start();
        form->FollowJobsWith(server->Watch());
    }
    void Send(const char* queue, const std::vector<std::filesystem::path>& files) {
        ChoosePrinter(queue);
        dialogs.answers.push_back(Chosen(files));
        Click("SelectFiles");
        Click("OKPrint");
    }
    static bool WaitFor(const std::function<bool()>& done) { return QTest::qWaitFor(done, 30000); }
    // The followed job of `file`, waiting or ended.
    TrackedJob Followed(const std::filesystem::path& file) {
        const WatchedJobs jobs = server->Watch().Jobs();
        std::vector<TrackedJob> all(jobs.ended.begin(), jobs.ended.end());
        all.insert(all.end(), jobs.open.begin(), jobs.open.end());
        const auto found = std::find_if(all.begin(), all.end(),
                                        [&](const TrackedJob& job) { return job.file == file; });
        return found == all.end() ? TrackedJob{} : *found;
    }
    void Cancel(const TrackedJob& job) {
        const std::string command = "CUPS_SERVER='" + Troubled().Socket() + "' cancel " +
                                    job.printerName + "-" + std::to_string(job.jobId);
        ASSERT_EQ(RunCommand(command).exitCode, 0) << command;
    }
    std::string PanelHint() const { return Find("Panel3")->toolTip().toStdString(); }
    // Document, size, state, time and reason of a row.
    static Texts Row(const QTreeWidget* list, int row) {
        Texts texts;
        for (int col = 1; list && row < list->topLevelItemCount() && col < 6; ++col)
            texts.push_back(list->topLevelItem(row)->text(col).toStdString());
        return texts;
    }
    // The latest ended job of a queue window: document, state and reason.
    static Texts LatestEnded(const QueueWindow& queue) {
        const Texts row = Row(queue.EndedList(), 0);
        return row.size() == 5 ? Texts{row[0], row[2], row[4]} : row;
    }
};

TEST_F(WindowJobsTest, APrintedJobStaysDoneACancelledOneIsListedAndAStuckOneShownInItsQueue) {
    StartFollowing();
    Send(Server::kHpglQueue, {kPrinted});
    EXPECT_EQ(Panel(3), "Done");
    Send(Server::kDeadQueue, {kStuck, kCancelled});
    EXPECT_EQ(Panel(3), "Done");
    ASSERT_TRUE(WaitFor([&] { return Followed(kCancelled).jobId != 0; }));
    Cancel(Followed(kCancelled));

    ASSERT_TRUE(WaitFor([&] { return !messages.empty(); }));
    EXPECT_EQ(messages, Texts{"Not printed on dead-plotter:\nlo-slash.hp: canceled"});
    EXPECT_EQ(Panel(3), "Failed");
    ASSERT_TRUE(WaitFor([&] { return Followed(kPrinted).endedAt != 0; }));
    EXPECT_EQ(Followed(kPrinted).verdict.outcome, JobOutcome::Printed);

    // The stuck job, with the printer's message, in the queue window and the panel's hint.
    Item("ShowQ1")->trigger();
    QueueWindow* queue = QueueWindow::Find(Server::kDeadQueue);
    ASSERT_TRUE(queue);
    const Texts stuck = {"pages.hp", "1 KB", "Printing", "", kUnavailable};
    ASSERT_TRUE(WaitFor([&] {
        queue->Refresh();
        Texts row = Row(queue->JobList(), 0);
        if (row.size() == 5)
            row[3].clear();  // the time it was submitted
        return row == stuck;
    })) << testing::PrintToString(Row(queue->JobList(), 0));
    EXPECT_TRUE(WaitFor([&] {
        return PanelHint() == "Jobs wait on dead-plotter: " + kUnavailable;
    })) << PanelHint();
    EXPECT_EQ(LatestEnded(*queue), (Texts{"lo-slash.hp", "Not printed", "canceled"}));
    EXPECT_EQ(queue->EndedList()->topLevelItemCount(), 1);
    EXPECT_TRUE(SaveShot(*queue, "queue-window-followed"));
    queue->close();
    ChoosePrinter(Server::kHpglQueue);
    Item("ShowQ1")->trigger();
    queue = QueueWindow::Find(Server::kHpglQueue);
    ASSERT_TRUE(queue);
    EXPECT_EQ(LatestEnded(*queue), (Texts{"dt.plt", "Printed", "completed"}));
    EXPECT_EQ(messages.size(), 1u);
}

TEST_F(WindowJobsTest, APlotTheQueuesIppPrinterRefusedIsNotPrinted) {
    // The print server calls the job completed; the printer behind the queue took nothing.
    IppEvePrinter printer("application/pdf");
    const std::string admin = "CUPS_SERVER='" + Troubled().Socket() + "' lpadmin ";
    ASSERT_EQ(RunCommand(admin + "-p peer -E -v " + printer.Uri()).exitCode, 0);
    StartFollowing();
    Item("WrongDeviceGuard1")->trigger();  // off: the plot goes without the question
    Send("peer", {kPrinted});
    EXPECT_EQ(Panel(3), "Done");
    EXPECT_TRUE(QTest::qWaitFor([&] { return !messages.empty(); }, 90000));
    EXPECT_EQ(messages,
              Texts{"Not printed on peer:\ndt.plt: Unable to add document to print job."});
    EXPECT_EQ(Panel(3), "Failed");
    EXPECT_EQ(Followed(kPrinted).verdict.outcome, JobOutcome::NotPrinted);
    EXPECT_TRUE(printer.Documents().empty());
    EXPECT_EQ(RunCommand(admin + "-x peer").exitCode, 0);
}

TEST_F(WindowJobsTest, ASilentPrintServerLeavesTheWindowFreeAndTheFollowingGoesOnWhenItAnswers) {
    DelayingProxy proxy(Troubled().Socket(), std::chrono::milliseconds(0));
    setenv("CUPS_SERVER", proxy.Address().c_str(), 1);
    cupsSetServer(proxy.Address().c_str());
    timeouts = CupsTimeouts{1000, 1.0};
    StartFollowing();
    Send(Server::kDeadQueue, {kCancelled});
    ASSERT_TRUE(WaitFor([&] { return Followed(kCancelled).jobId != 0; }));

    proxy.Hold();
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start(20);
    QElapsedTimer clicks;
    clicks.start();
    Click("JobAsSet");
    Click("JobAsSet");
    EXPECT_LT(clicks.elapsed(), 500);
    ASSERT_TRUE(
        WaitFor([&] { return PanelHint().starts_with("The print server does not answer"); }));
    EXPECT_GE(ticks, 30);
    Cancel(Followed(kCancelled));
    proxy.Release();
    ASSERT_TRUE(WaitFor([&] { return !messages.empty(); }));
    EXPECT_EQ(messages, Texts{"Not printed on dead-plotter:\nlo-slash.hp: canceled"});
    EXPECT_EQ(PanelHint(), "");
    CloseWindow();
    setenv("CUPS_SERVER", Troubled().Socket().c_str(), 1);
    cupsSetServer(Troubled().Socket().c_str());
}

TEST_F(WindowJobsTest, ARunWaitsForAFullPrintServerAndTheWindowGoesOnMeanwhile) {
    Server full(false, 2);
    StartFollowing();
    ASSERT_EQ(RunCommand("cupsdisable hpgl-plotter").exitCode, 0);
    QStringList panels;
    QTimer watcher;
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        panels << QString::fromStdString(Panel(3));
        if (panels.size() == 50)
            RunCommand("cupsenable hpgl-plotter");
    });
    watcher.start(20);
    Send(Server::kHpglQueue, {kPrinted, kStuck, kCancelled, Sample("hp2xx/inter.hp")});
    watcher.stop();
    EXPECT_GE(panels.count(QStringLiteral("Waiting for hpgl-plotter to take more jobs")), 40);
    EXPECT_EQ((std::pair{Panel(3), messages}), (std::pair{std::string("Done"), Texts{}}));
    EXPECT_TRUE(WaitFor([&] {
        const WatchedJobs jobs = server->Watch().Jobs();
        return jobs.open.size() + jobs.ended.size() == 4;
    }));
}

}  // namespace
}  // namespace tavrin::test
