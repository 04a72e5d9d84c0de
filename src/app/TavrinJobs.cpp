// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's following of the jobs it sent, until the print server says each has ended.
#include <QLabel>
#include <QTimer>
#include <set>
#include <utility>

#include "app/HotFolderWatch.h"
#include "app/JobLogDialog.h"
#include "app/QueueWindow.h"
#include "app/TavrinUnit.h"
#include "app/WindowPrintServer.h"
#include "platform/Error.h"

namespace tavrin {
namespace {

// The hint of the run panel: each printer whose jobs are stuck, with its reason.
QString StuckHint(const WatchedJobs& watched) {
    QStringList lines;
    if (!watched.serverAnswers)
        lines << QStringLiteral(
            "The print server does not answer; the jobs sent are followed "
            "again once it does.");
    for (const TrackedJob& job : watched.open) {
        if (!job.verdict.stuck)
            continue;
        const QString line = QString::fromStdString(
            FormatMessage("Jobs wait on %s: ", job.printerName) + job.verdict.reason);
        if (!lines.contains(line))
            lines << line;
    }
    return lines.join(QLatin1Char('\n'));
}

}  // namespace

void TTavrinForm::FollowJobsWith(JobWatch& watch) {
    watch_ = &watch;
    // The listener runs on the watch's thread; the news is handed to the window's. The window
    // ends the listening before it goes, so `this` is alive when it is posted, and so is the
    // recorder, which learns each end there and never holds up the window.
    watch.SetListener([this, &recorder = recorder_](const JobNews& news) {
        for (const TrackedJob& job : news.stuckChanged)
            recorder.Ended(job);
        for (const TrackedJob& job : news.ended)
            recorder.Ended(job);
        QMetaObject::invokeMethod(
            this, [this, news] { JobNewsArrived(news); }, Qt::QueuedConnection);
    });
}

void TTavrinForm::JobNewsArrived(const JobNews& news) {
    for (const TrackedJob& job : news.stuckChanged)
        newsPrinters_.insert(job.printerName);
    for (const TrackedJob& job : news.ended) {
        newsPrinters_.insert(job.printerName);
        if (job.verdict.outcome == JobOutcome::NotPrinted)
            notPrintedToShow_.push_back(job);
    }
    ShowJobNewsWhenIdle();
}

void TTavrinForm::ShowJobNewsWhenIdle() {
    // Not in the middle of a run or of a wait for the print server: a run sets panel 3 itself,
    // and a message would stop the wait.
    if (PaintingWait::Waiting() || runUnderWay_ || showingNotPrinted_) {
        if (!newsRetryArmed_)
            QTimer::singleShot(kJobNewsRetryMilliseconds, this, [this] {
                newsRetryArmed_ = false;
                ShowJobNewsWhenIdle();
            });
        newsRetryArmed_ = true;
        return;
    }
    panels_[status_panel::kRun]->setToolTip(StuckHint(watch_->Jobs()));
    if (const std::string problem = recorder_.TakeProblem(); !problem.empty())
        ShowLatestInStatusBar(*statusBar1_, TellOnStderr(problem));
    for (const std::string& printer : std::exchange(newsPrinters_, {}))
        if (QueueWindow* queue = QueueWindow::Find(printer))
            queue->Refresh();
    // One message at a time: jobs that end while it is open come in the next one.
    while (!notPrintedToShow_.empty()) {
        showingNotPrinted_ = true;
        const std::vector<TrackedJob> shown = std::exchange(notPrintedToShow_, {});
        panels_[status_panel::kRun]->setText(QString::fromUtf8(kRunFailed));
        Guarded([&] { ShowMessage(NotPrintedMessage(shown)); });
        showingNotPrinted_ = false;
    }
}

}  // namespace tavrin
