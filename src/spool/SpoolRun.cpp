#include "spool/SpoolRun.h"

#include <charconv>
#include <chrono>
#include <ctime>
#include <thread>
#include <utility>

#include "platform/Error.h"
#include "platform/FileData.h"
#include "platform/PrintButtonCaptions.h"
#include "platform/StatusPanels.h"
#include "spool/HpglRewrite.h"
#include "spool/OceHeader.h"
#include "spool/PostScriptHeader.h"
#include "spool/SendFileRaw.h"
#include "spool/TempFile.h"

namespace tavrin {

// The options as the rewriters of one run see them: all read at the moment of use, except the
// folder of the temporary file, which is fixed at the start of the run so that every rewriter
// writes the file the run sends.
class SpoolRunner::RunOptions : public SpoolOptions {
public:
    RunOptions(const SpoolOptions& options, const std::string& tempFilesPath)
        : options_(options), tempFilesPath_(tempFilesPath) {}

    bool SmartReplots() const override { return options_.SmartReplots(); }
    bool RemoveQL() const override { return options_.RemoveQL(); }
    bool PSCollate() const override { return options_.PSCollate(); }
    bool FitToPage() const override { return options_.FitToPage(); }
    std::optional<PageSize> CheckedPageSize() const override { return options_.CheckedPageSize(); }
    bool JobAsSet() const override { return options_.JobAsSet(); }
    bool ClearAfterSpooling() const override { return options_.ClearAfterSpooling(); }
    bool ReverseSet() const override { return options_.ReverseSet(); }
    int GlobalCopies() const override { return options_.GlobalCopies(); }
    int FromStart() const override { return options_.FromStart(); }
    int FromEnd() const override { return options_.FromEnd(); }
    std::string TempFilesPath() const override { return tempFilesPath_; }

private:
    const SpoolOptions& options_;
    const std::string& tempFilesPath_;
};

int ParseCopyCount(const std::string& text) {
    const char* first = text.data();
    const char* last = first + text.size();
    // from_chars reads a minus sign but no plus sign; a sign must be followed by a digit.
    if (first != last && *first == '+')
        ++first;
    const bool startsWell = first != last && (*first != '-' || first == text.data());
    std::int32_t value = 0;
    const auto [end, error] = std::from_chars(first, last, value, 10);
    if (!startsWell || error != std::errc() || end != last)
        throw Error(FormatMessage("'%s' is not a valid integer value", text));
    return value;
}

std::string RefusedSendsMessage(const std::vector<RefusedSend>& refused) {
    std::vector<PrinterLine> lines;
    for (const RefusedSend& send : refused)
        lines.push_back({send.printerName, send.documentName});
    return ByPrinterMessage("Not sent to %s:", lines);
}

SpoolRunner::SpoolRunner(Form& form, PrintSpooler& spooler, PrinterSelection& printers,
                         JobList& jobList, const SpoolOptions& options,
                         std::function<void()> armScheduledStart)
    : form_(form),
      spooler_(spooler),
      printers_(printers),
      jobList_(jobList),
      options_(options),
      armScheduledStart_(std::move(armScheduledStart)) {}

void SpoolRunner::OKPrintClick() {
    if (form_.StringGrid1().cell(0, 1).empty())
        return;
    if (!form_.Schedule().checked()) {
        form_.Timer1().setEnabled(false);
        SpoolRun();
    } else if (armScheduledStart_) {
        armScheduledStart_();
    }
}

void SpoolRunner::SpoolRun() {
    if (running_)
        return;
    running_ = true;
    report_ = SpoolRunReport{};
    runEndTold_ = false;
    rowsRemoved_ = 0;
    try {
        form_.OKPrint().setCaption(kPrintCaptionBusy);
        form_.OKPrint().setEnabled(false);
        tempFilesPath_ = options_.TempFilesPath();
        tempFileName_ = tavrin::TempFileName(tempFilesPath_);
        if (!options_.JobAsSet()) {
            RunRows();
        } else {
            RunSets();
        }
        EndOfRun();
    } catch (...) {
        running_ = false;
        // The rows this run removed are gone: the count shown says so.
        if (rowsRemoved_ > 0)
            form_.StatusBar1().setPanel(status_panel::kFileCount,
                                        kFilesInJoblist + std::to_string(jobList_.FileCount()));
        BackToIdle();
        TellRunEnded();
        throw;
    }
    running_ = false;
}

void SpoolRunner::RunRows() {
    const int n = jobList_.FileCount();
    for (int k = 1; k <= n; ++k) {
        const bool clear = options_.ClearAfterSpooling();
        const int row = clear ? 1 : k;
        // Rows removed from the list while the run let the window work are not sent.
        if (row > jobList_.FileCount())
            break;
        SpoolRow(row);
        if (clear) {
            form_.StringGrid1().deleteRow(row);
            jobList_.SetFileCount(jobList_.FileCount() - 1);
            ++rowsRemoved_;
        }
        form_.ProcessPendingMessages();
    }
}

void SpoolRunner::RunSets() {
    const int sets = options_.GlobalCopies();
    for (int set = 1; set <= sets; ++set) {
        const int n = jobList_.FileCount();
        if (options_.ReverseSet()) {
            for (int row = n; row >= 1; --row)
                SpoolSetFile(row);
        } else {
            for (int row = 1; row <= n; ++row)
                SpoolSetFile(row);
        }
    }
}

bool SpoolRunner::ClassIs(DeviceKind kind) {
    return ClassOf(printers_.ProbeDeviceClass()) == kind;
}

bool SpoolRunner::RefusedAsNoFile(const std::string& file) {
    if (!IsThereButNoFile(file))
        return false;
    report_.refused.push_back({printers_.PrinterName(), file, DocumentNameOf(file),
                               FormatMessage("Cannot open file %s", file)});
    return true;
}

void SpoolRunner::SpoolRow(int row) {
    const Grid& grid = form_.StringGrid1();
    const std::string file = grid.cell(0, row);
    const std::string copiesText = grid.cell(1, row);
    const RunOptions options(options_, tempFilesPath_);
    if (RefusedAsNoFile(file))
        return;

    if (ClassIs(DeviceKind::HpGl2)) {
        if (options_.SmartReplots()) {
            const int copies = ParseCopyCount(copiesText);
            const int replots = copies - 1;
            const HpglRewrite rewrite = RewriteHpglFile(file, replots, options);
            // Without a place for the replot instruction the plotter makes no copies.
            Send(tempFileName_, file, replots >= 1 && !rewrite.replotPlaced ? copies : 1);
        } else if (options_.RemoveQL()) {
            const int copies = ParseCopyCount(copiesText);
            RewriteHpglFile(file, 0, options);
            Send(tempFileName_, file, copies);
        } else {
            Send(file, file, ParseCopyCount(copiesText));
        }
    } else if (ClassIs(DeviceKind::PostScript)) {
        if (options_.SmartReplots()) {
            WritePostScriptHeader(file, ParseCopyCount(copiesText), options);
            Send(tempFileName_, file, 1);
        } else if (options_.FitToPage()) {
            WritePostScriptHeader(file, 0, options);
            Send(tempFileName_, file, 1);
        } else {
            Send(file, file, ParseCopyCount(copiesText));
        }
    } else if (ClassIs(DeviceKind::Oce)) {
        if (options_.SmartReplots()) {
            WriteOceHeader(file, ParseCopyCount(copiesText), options);
            Send(tempFileName_, file, 1);
        } else {
            Send(file, file, ParseCopyCount(copiesText));
        }
    } else {
        Send(file, file, ParseCopyCount(copiesText));
    }
}

void SpoolRunner::SpoolSetFile(int row) {
    // Rows removed from the list while the run let the window work are not sent.
    if (row > jobList_.FileCount())
        return;
    const std::string file = form_.StringGrid1().cell(0, row);
    const RunOptions options(options_, tempFilesPath_);
    if (RefusedAsNoFile(file)) {
        form_.ProcessPendingMessages();
        return;
    }

    if (ClassIs(DeviceKind::HpGl2) && options_.RemoveQL()) {
        RewriteHpglFile(file, 0, options);
        Send(tempFileName_, file, 1);
    } else if (ClassIs(DeviceKind::PostScript) && options_.FitToPage()) {
        WritePostScriptHeader(file, 1, options);
        Send(tempFileName_, file, 1);
    } else if (ClassIs(DeviceKind::Oce)) {
        WriteOceHeader(file, 1, options);
        Send(tempFileName_, file, 1);
    } else {
        Send(file, file, 1);
    }
    form_.ProcessPendingMessages();
}

void SpoolRunner::Send(const std::string& path, const std::string& listedFile, int times) {
    for (int i = 0; i < times; ++i) {
        const std::string printer = printers_.PrinterName();
        const SendResult result = SendWaitingForRoom(printer, path);
        if (result.accepted) {
            report_.sent.push_back({.printerName = printer,
                                    .file = listedFile,
                                    .documentName = DocumentNameOf(listedFile),
                                    .jobId = result.jobId,
                                    .bytes = result.bytesSent,
                                    .sentAt = std::time(nullptr)});
        } else {
            report_.refused.push_back(
                {printer, listedFile, DocumentNameOf(listedFile), result.refusal});
        }
    }
}

SendResult SpoolRunner::SendWaitingForRoom(const std::string& printer, const std::string& path) {
    SendResult result = SendFileRaw(spooler_, printer, path);
    if (!result.refusedAsFull)
        return result;
    StatusBar& status = form_.StatusBar1();
    const std::string shown = status.panel(status_panel::kRun);
    status.setPanel(status_panel::kRun, FormatMessage(kWaitingForRoom, printer));
    const auto start = std::chrono::steady_clock::now();
    while (result.refusedAsFull) {
        const auto waited = std::chrono::steady_clock::now() - start;
        if (keepWaitingForRoom &&
            !keepWaitingForRoom(
                printer,
                static_cast<int>(std::chrono::duration_cast<std::chrono::seconds>(waited).count())))
            break;
        const auto retry =
            std::chrono::steady_clock::now() + std::chrono::seconds(kRoomRetrySeconds);
        do {
            form_.ProcessPendingMessages();
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        } while (std::chrono::steady_clock::now() < retry);
        result = SendFileRaw(spooler_, printer, path);
    }
    status.setPanel(status_panel::kRun, shown);
    return result;
}

void SpoolRunner::EndOfRun() {
    Grid& grid = form_.StringGrid1();
    if (grid.cell(0, 1).empty()) {
        jobList_.SetFileCount(0);
        grid.setRowCount(JobList::kEmptyRowCount);
        grid.setColWidth(0, JobList::kNameWidthNarrow);
        form_.StatusBar1().setPanel(status_panel::kFileCount,
                                    kFilesInJoblist + std::to_string(jobList_.FileCount()));
    }
    BackToIdle();
    form_.StatusBar1().setPanel(status_panel::kRun, report_.refused.empty() ? kDone : kFailed);
    report_.finished = true;
    TellRunEnded();
    if (!report_.refused.empty())
        form_.ShowMessage(RefusedSendsMessage(report_.refused));
}

void SpoolRunner::TellRunEnded() {
    if (!runEndTold_ && runEnded)
        runEnded(report_);
    runEndTold_ = true;
}

void SpoolRunner::BackToIdle() {
    form_.OKPrint().setCaption(kPrintCaptionAfterRun);
    form_.OKPrint().setEnabled(true);
}

}  // namespace tavrin
