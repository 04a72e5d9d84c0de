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

enum Column { kId, kDocument, kSize, kState, kTime, kColumnCount };

QString Text(const std::string& text) {
    return QString::fromStdString(text);
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
                                   QWidget* owner) {
    if (QueueWindow* open = Find(printerName)) {
        open->showNormal();
        open->raise();
        open->activateWindow();
        return true;
    }
    if (printerName.empty() || !spooler.Open(printerName)->ok())
        return false;
    auto* window = new QueueWindow(spooler, printerName, owner);
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

QueueWindow::QueueWindow(PrintSpooler& spooler, std::string printerName, QWidget* owner)
    : QWidget(owner, Qt::Window), spooler_(spooler), printerName_(std::move(printerName)) {
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("QueueWindow"));
    setWindowTitle(QStringLiteral("%1 - print queue").arg(Text(printerName_)));
    resize(600, 260);

    jobList_ = new QTreeWidget(this);
    jobList_->setColumnCount(kColumnCount);
    jobList_->setHeaderLabels({QStringLiteral("Id"), QStringLiteral("Document"),
                               QStringLiteral("Size"), QStringLiteral("State"),
                               QStringLiteral("Submitted")});
    jobList_->setRootIsDecorated(false);
    jobList_->setUniformRowHeights(true);
    jobList_->setAllColumnsShowFocus(true);
    jobList_->setColumnWidth(kId, 50);
    jobList_->setColumnWidth(kDocument, 220);
    jobList_->setColumnWidth(kSize, 70);
    jobList_->setColumnWidth(kState, 80);
    jobList_->headerItem()->setTextAlignment(kSize, Qt::AlignRight | Qt::AlignVCenter);
    jobList_->headerItem()->setTextAlignment(kId, Qt::AlignRight | Qt::AlignVCenter);

    statusLine_ = new QLabel(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(jobList_);
    layout->addWidget(statusLine_);

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
    if (!jobs) {
        jobList_->setEnabled(false);
        QString reason = QStringLiteral("The queue of %1 cannot be read").arg(Text(printerName_));
        if (!printer->error().empty())
            reason += QStringLiteral(": ") + Text(printer->error());
        statusLine_->setText(reason);
        return;
    }
    jobList_->setEnabled(true);
    ShowJobs(*jobs);
    statusLine_->setText(CountText(jobs->size()));
}

void QueueWindow::ShowJobs(const std::vector<QueueJob>& jobs) {
    // Rows are reused, so that the scroll position and the selected job survive a refresh.
    const QTreeWidgetItem* current = jobList_->currentItem();
    const QString currentId = current ? current->text(kId) : QString();
    const int wanted = static_cast<int>(jobs.size());
    while (jobList_->topLevelItemCount() > wanted) {
        delete jobList_->takeTopLevelItem(jobList_->topLevelItemCount() - 1);
    }
    while (jobList_->topLevelItemCount() < wanted) {
        auto* item = new QTreeWidgetItem(jobList_);
        item->setTextAlignment(kId, Qt::AlignRight | Qt::AlignVCenter);
        item->setTextAlignment(kSize, Qt::AlignRight | Qt::AlignVCenter);
    }
    QTreeWidgetItem* reselect = nullptr;
    for (int row = 0; row < wanted; ++row) {
        const QueueJobText text = TextOf(jobs[static_cast<std::size_t>(row)]);
        QTreeWidgetItem* item = jobList_->topLevelItem(row);
        item->setText(kId, Text(text.id));
        item->setText(kDocument, Text(text.documentName));
        item->setText(kSize, Text(text.size));
        item->setText(kState, Text(text.state));
        item->setText(kTime, Text(text.time));
        if (!currentId.isEmpty() && item->text(kId) == currentId)
            reselect = item;
    }
    if (reselect) {
        jobList_->setCurrentItem(reselect);
    } else {
        jobList_->setCurrentItem(nullptr);
    }
}

}  // namespace tavrin
