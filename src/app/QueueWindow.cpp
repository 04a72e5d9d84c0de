#include "app/QueueWindow.h"

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "printers/QueueJobText.h"

namespace tavrin {
namespace {

enum Column { kId, kDocument, kSize, kState, kTime, kReason, kColumnCount };

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

QTreeWidget* NewList(QWidget* parent, const QString& name, const QString& timeTitle) {
    auto* list = new QTreeWidget(parent);
    list->setObjectName(name);
    list->setColumnCount(kColumnCount);
    list->setHeaderLabels({QStringLiteral("Id"), QStringLiteral("Document"), QStringLiteral("Size"),
                           QStringLiteral("State"), timeTitle, QStringLiteral("Reason")});
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setAllColumnsShowFocus(true);
    list->setColumnWidth(kId, 50);
    list->setColumnWidth(kDocument, 180);
    list->setColumnWidth(kSize, 70);
    list->setColumnWidth(kState, 90);
    list->setColumnWidth(kTime, 150);
    list->headerItem()->setTextAlignment(kSize, Qt::AlignRight | Qt::AlignVCenter);
    list->headerItem()->setTextAlignment(kId, Qt::AlignRight | Qt::AlignVCenter);
    return list;
}

// Makes `list` have `count` rows, reusing the rows it has.
void SetRowCount(QTreeWidget* list, int count) {
    while (list->topLevelItemCount() > count)
        delete list->takeTopLevelItem(list->topLevelItemCount() - 1);
    while (list->topLevelItemCount() < count) {
        auto* item = new QTreeWidgetItem(list);
        item->setTextAlignment(kId, Qt::AlignRight | Qt::AlignVCenter);
        item->setTextAlignment(kSize, Qt::AlignRight | Qt::AlignVCenter);
    }
}

QString CountText(std::size_t count) {
    if (count == 0)
        return QStringLiteral("No jobs in the queue");
    if (count == 1)
        return QStringLiteral("1 job in the queue");
    return QStringLiteral("%1 jobs in the queue").arg(count);
}

}  // namespace

bool QueueWindow::ShowPrinterQueue(PrintSpooler& spooler, const std::string& printerName,
                                   QWidget* owner, const JobWatch* watch) {
    if (QueueWindow* open = Find(printerName)) {
        open->showNormal();
        open->raise();
        open->activateWindow();
        return true;
    }
    if (printerName.empty() || !spooler.Open(printerName)->ok())
        return false;
    auto* window = new QueueWindow(spooler, printerName, owner, watch);
    window->show();
    return true;
}

QueueWindow* QueueWindow::Find(const std::string& printerName) {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* window = qobject_cast<QueueWindow*>(widget);
        // A closed window is hidden until its deletion comes round.
        if (window && window->isVisible() && window->printerName_ == printerName)
            return window;
    }
    return nullptr;
}

QueueWindow::QueueWindow(PrintSpooler& spooler, std::string printerName, QWidget* owner,
                         const JobWatch* watch)
    : QWidget(owner, Qt::Window),
      spooler_(spooler),
      watch_(watch),
      printerName_(std::move(printerName)) {
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("QueueWindow"));
    setWindowTitle(QStringLiteral("%1 - print queue").arg(Text(printerName_)));
    resize(760, watch_ ? 420 : 260);

    jobList_ = NewList(this, QStringLiteral("JobList"), QStringLiteral("Submitted"));
    statusLine_ = new QLabel(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(jobList_);
    layout->addWidget(statusLine_);
    if (watch_) {
        layout->addWidget(new QLabel(QStringLiteral("Ended jobs sent from this program:"), this));
        endedList_ = NewList(this, QStringLiteral("EndedList"), QStringLiteral("Ended"));
        layout->addWidget(endedList_);
    }

    refreshTimer_ = new QTimer(this);
    refreshTimer_->setInterval(kRefreshMilliseconds);
    connect(refreshTimer_, &QTimer::timeout, this, [this] { Refresh(); });
    refreshTimer_->start();
    Refresh();
}

void QueueWindow::Refresh() {
    const auto printer = spooler_.Open(printerName_);
    std::optional<std::vector<QueueJob>> jobs;
    if (printer->ok())
        jobs = printer->Jobs();
    const WatchedJobs watched = watch_ ? watch_->Jobs() : WatchedJobs{};
    ShowEnded(watched);
    if (!jobs) {
        jobList_->setEnabled(false);
        QString reason = QStringLiteral("The queue of %1 cannot be read").arg(Text(printerName_));
        if (!printer->error().empty())
            reason += QStringLiteral(": ") + Text(printer->error());
        statusLine_->setText(reason);
        return;
    }
    jobList_->setEnabled(true);
    ShowJobs(*jobs, watched);
    statusLine_->setText(CountText(jobs->size()));
}

void QueueWindow::ShowJobs(const std::vector<QueueJob>& jobs, const WatchedJobs& watched) {
    // Rows are reused, so that the scroll position and the selected job survive a refresh.
    const QTreeWidgetItem* current = jobList_->currentItem();
    const QString currentId = current ? current->text(kId) : QString();
    const int wanted = static_cast<int>(jobs.size());
    SetRowCount(jobList_, wanted);
    QTreeWidgetItem* reselect = nullptr;
    for (int row = 0; row < wanted; ++row) {
        const QueueJob& job = jobs[static_cast<std::size_t>(row)];
        const QueueJobText text = TextOf(job);
        QTreeWidgetItem* item = jobList_->topLevelItem(row);
        item->setText(kId, Text(text.id));
        item->setText(kDocument, Text(text.documentName));
        item->setText(kSize, Text(text.size));
        item->setText(kState, Text(text.state));
        item->setText(kTime, Text(text.time));
        QString reason;
        for (const TrackedJob& open : watched.open)
            if (open.printerName == printerName_ && open.jobId == job.id && open.verdict.stuck)
                reason = Text(open.verdict.reason);
        item->setText(kReason, reason);
        item->setToolTip(kReason, reason);
        if (!currentId.isEmpty() && item->text(kId) == currentId)
            reselect = item;
    }
    jobList_->setCurrentItem(reselect);
}

void QueueWindow::ShowEnded(const WatchedJobs& watched) {
    if (!endedList_)
        return;
    std::vector<const TrackedJob*> ended;
    for (const TrackedJob& job : watched.ended)
        if (job.printerName == printerName_)
            ended.push_back(&job);
    SetRowCount(endedList_, static_cast<int>(ended.size()));
    for (int row = 0; row < static_cast<int>(ended.size()); ++row) {
        const TrackedJob& job = *ended[static_cast<std::size_t>(row)];
        QTreeWidgetItem* item = endedList_->topLevelItem(row);
        item->setText(kId, QString::number(job.jobId));
        item->setText(kDocument, Text(job.documentName));
        item->setText(kSize, Text(SizeText(static_cast<std::int64_t>((job.bytes + 1023) / 1024))));
        item->setText(kState, job.verdict.outcome == JobOutcome::Printed
                                  ? QStringLiteral("Printed")
                                  : QStringLiteral("Not printed"));
        item->setText(kTime, Text(TimeText(job.endedAt)));
        item->setText(kReason, Text(job.verdict.reason));
    }
}

}  // namespace tavrin
