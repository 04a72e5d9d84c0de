// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

#include "app/FileDialogs.h"
#include "joblog/JobLog.h"
#include "joblog/JobLogRecorder.h"

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QTreeWidget;

namespace tavrin {

// The job log: every job, newest first, or the totals per period and printer; narrowed to the
// days from "Since" to "Until" (each when ticked) and to one printer, and written as CSV as it
// is shown. Modal; the log is open while the dialog is.
class JobLogDialog : public QDialog {
    Q_OBJECT

public:
    JobLogDialog(QWidget* mainWindow, std::function<void(const QString& text)> showMessage);

    // Opens the log in `file` and shows it; the CSV file is asked for with `fileDialogs`, which
    // must outlive the showing. Throws Error, and shows nothing, when the log cannot be opened.
    void Open(const std::filesystem::path& file, FileDialogs& fileDialogs);

    QTreeWidget* Table() const { return table_; }

protected:
    // The dialog goes when the window closes.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    JobLogFilter Filter() const;
    // Reads the log again through the filters and lists what it gives.
    void ShowLog();
    void ShowJobs();
    void ShowTotals();
    void ExportClick();

    std::function<void(const QString& text)> showMessage_;
    FileDialogs* fileDialogs_ = nullptr;
    std::unique_ptr<JobLog> log_;
    std::vector<JobRecord> jobs_;
    std::vector<JobTotals> totals_;
    bool showingTotals_ = false;
    QCheckBox* sinceOn_;
    QDateEdit* since_;
    QCheckBox* untilOn_;
    QDateEdit* until_;
    QComboBox* printer_;
    QComboBox* period_;
    QTreeWidget* table_;
    QLabel* count_;
};

}  // namespace tavrin
