#pragma once

#include <QWidget>

#include <string>

#include "printsystem/PrintSpooler.h"
#include "spool/JobWatch.h"

class QLabel;
class QTimer;
class QTreeWidget;

namespace tavrin {

// A printer's queue in a window of its own: the jobs waiting in it (id, document name, size,
// state, time, and why a job is stuck), read again while the window is open; below them, with a
// JobWatch, the jobs sent from the program that have ended, newest first. One window per
// printer. The window keeps references to the spooler and the watch, which must outlive it; its
// owner deletes it with itself.
class QueueWindow : public QWidget {
    Q_OBJECT

public:
    static constexpr int kRefreshMilliseconds = 2000;

    // Opens the queue window of `printerName`, or raises it when it is open already. Returns
    // false, and opens nothing, when the spooler does not know the printer.
    static bool ShowPrinterQueue(PrintSpooler& spooler, const std::string& printerName,
                                 QWidget* owner, const JobWatch* watch = nullptr);
    // The open queue window of `printerName`, or none.
    static QueueWindow* Find(const std::string& printerName);

    const std::string& PrinterName() const { return printerName_; }
    QTreeWidget* JobList() const { return jobList_; }
    // The ended jobs; none without a watch.
    QTreeWidget* EndedList() const { return endedList_; }
    QLabel* StatusLine() const { return statusLine_; }
    QTimer* RefreshTimer() const { return refreshTimer_; }

    // Reads the queue again and shows it. When the queue cannot be read, the last list stays,
    // greyed, and the status line tells why.
    void Refresh();

private:
    QueueWindow(PrintSpooler& spooler, std::string printerName, QWidget* owner,
                const JobWatch* watch);
    void ShowJobs(const std::vector<QueueJob>& jobs, const WatchedJobs& watched);
    void ShowEnded(const WatchedJobs& watched);

    PrintSpooler& spooler_;
    const JobWatch* watch_;
    std::string printerName_;
    QTreeWidget* jobList_;
    QTreeWidget* endedList_ = nullptr;
    QLabel* statusLine_;
    QTimer* refreshTimer_;
};

}  // namespace tavrin
