#include "spool/SpoolRun.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <ctime>
#include <optional>
#include <thread>
#include <utility>

#include "platform/Error.h"
#include "platform/FileData.h"
#include "printers/ProbeDeviceClass.h"
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
    std::string PrinterName() const override { return options_.PrinterName(); }

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

SpoolRunner::SpoolRunner(PrintSpooler& spooler, DeviceProbe& probe, const SpoolOptions& options)
    : spooler_(spooler), probe_(probe), options_(options) {}

void SpoolRunner::Run(SharedJobList& jobs, RunObserver& observer, std::stop_token stop) {
    jobs_ = &jobs;
    observer_ = &observer;
    stop_ = std::move(stop);
    report_ = SpoolRunReport{};
    try {
        tempFilesPath_ = options_.TempFilesPath();
        tempFileName_ = tavrin::TempFileName(tempFilesPath_);
        if (!options_.JobAsSet()) {
            RunRows();
        } else {
            RunSets();
        }
        if (jobs.Change([](JobList& list) {
                const JobList before = list;
                list.EndRun();
                return !(list == before);
            }))
            observer.ListChanged();
        report_.finished = !report_.stopped;
    } catch (const std::exception& error) {
        observer.Done(report_, error.what());
        throw;
    }
    observer.Done(report_, {});
}

bool SpoolRunner::StopAsked() {
    if (stop_.stop_requested())
        report_.stopped = true;
    return report_.stopped;
}

void SpoolRunner::RunRows() {
    const int n = jobs_->Read([](const JobList& list) { return list.FileCount(); });
    for (int k = 0; k < n; ++k) {
        if (k > 0 && StopAsked())
            return;
        const bool clear = options_.ClearAfterSpooling();
        const int index = clear ? 0 : k;
        // Rows removed from the list meanwhile are not sent.
        const std::optional<JobRow> row = jobs_->Read([index](const JobList& list) {
            return index < list.FileCount()
                       ? std::optional<JobRow>(list.Rows()[static_cast<std::size_t>(index)])
                       : std::nullopt;
        });
        if (!row)
            break;
        observer_->FileStarted(index, row->file);
        SpoolRow(*row);
        if (clear) {
            jobs_->Change([](JobList& list) { list.TakeFirstSent(); });
            observer_->ListChanged();
        }
    }
}

void SpoolRunner::RunSets() {
    const int sets = options_.GlobalCopies();
    bool first = true;
    for (int set = 1; set <= sets; ++set) {
        const int n = jobs_->Read([](const JobList& list) { return list.FileCount(); });
        for (int i = 0; i < n; ++i) {
            if (!std::exchange(first, false) && StopAsked())
                return;
            SpoolSetFile(options_.ReverseSet() ? n - 1 - i : i);
        }
    }
}

bool SpoolRunner::ClassIs(DeviceKind kind) {
    lastKind_ = ClassOf(DeviceClassOf(probe_.Probe(options_.PrinterName())));
    return lastKind_ == kind;
}

bool SpoolRunner::RefusedAsNoFile(const std::string& file) {
    if (!IsThereButNoFile(file))
        return false;
    RefusedSend send{options_.PrinterName(), file, DocumentNameOf(file),
                     FormatMessage("Cannot open file %s", file)};
    report_.refused.push_back(send);
    observer_->Refused(send);
    return true;
}

void SpoolRunner::SpoolRow(const JobRow& row) {
    const std::string& file = row.file;
    const std::string& copiesText = row.copies;
    const RunOptions options(options_, tempFilesPath_);
    if (RefusedAsNoFile(file))
        return;

    if (ClassIs(DeviceKind::HpGl2)) {
        if (options_.SmartReplots()) {
            const int copies = ParseCopyCount(copiesText);
            const int replots = copies - 1;
            const HpglRewrite rewrite = RewriteHpglFile(file, replots, options);
            // Without a place for the replot instruction the plotter makes no copies.
            if (replots >= 1 && !rewrite.replotPlaced)
                Send(tempFileName_, file, copies);
            else
                Send(tempFileName_, file, 1, copies);
        } else if (options_.RemoveQL()) {
            const int copies = ParseCopyCount(copiesText);
            RewriteHpglFile(file, 0, options);
            Send(tempFileName_, file, copies);
        } else {
            Send(file, file, ParseCopyCount(copiesText));
        }
    } else if (ClassIs(DeviceKind::PostScript)) {
        if (options_.SmartReplots()) {
            const int copies = ParseCopyCount(copiesText);
            WritePostScriptHeader(file, copies, options);
            Send(tempFileName_, file, 1, copies);
        } else if (options_.FitToPage()) {
            WritePostScriptHeader(file, 0, options);
            Send(tempFileName_, file, 1);
        } else {
            Send(file, file, ParseCopyCount(copiesText));
        }
    } else if (ClassIs(DeviceKind::Oce)) {
        if (options_.SmartReplots()) {
            const int copies = ParseCopyCount(copiesText);
            WriteOceHeader(file, copies, options);
            Send(tempFileName_, file, 1, copies);
        } else {
            Send(file, file, ParseCopyCount(copiesText));
        }
    } else {
        Send(file, file, ParseCopyCount(copiesText));
    }
}

void SpoolRunner::SpoolSetFile(int index) {
    // Rows removed from the list meanwhile are not sent.
    const std::optional<std::string> listed = jobs_->Read([index](const JobList& list) {
        return index < list.FileCount()
                   ? std::optional<std::string>(list.Rows()[static_cast<std::size_t>(index)].file)
                   : std::nullopt;
    });
    if (!listed)
        return;
    const std::string& file = *listed;
    observer_->FileStarted(index, file);
    const RunOptions options(options_, tempFilesPath_);
    if (RefusedAsNoFile(file))
        return;

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
}

void SpoolRunner::Send(const std::string& path, const std::string& listedFile, int times,
                       int deviceCopies) {
    for (int i = 0; i < times; ++i) {
        const std::string printer = options_.PrinterName();
        const SendResult result = SendWaitingForRoom(printer, path);
        if (result.accepted) {
            report_.sent.push_back({.printerName = printer,
                                    .file = listedFile,
                                    .documentName = DocumentNameOf(listedFile),
                                    .jobId = result.jobId,
                                    .bytes = result.bytesSent,
                                    .copies = std::max(deviceCopies, 1),
                                    .deviceCopies = deviceCopies > 1,
                                    .kind = lastKind_,
                                    .sentAt = std::time(nullptr)});
            observer_->Sent(report_.sent.back());
        } else {
            report_.refused.push_back(
                {printer, listedFile, DocumentNameOf(listedFile), result.refusal, lastKind_});
            observer_->Refused(report_.refused.back());
        }
    }
}

SendResult SpoolRunner::SendWaitingForRoom(const std::string& printer, const std::string& path) {
    SendResult result = SendFileRaw(spooler_, printer, path);
    if (!result.refusedAsFull)
        return result;
    observer_->WaitingForRoom(printer, true);
    const auto start = std::chrono::steady_clock::now();
    while (result.refusedAsFull) {
        const auto waited = std::chrono::steady_clock::now() - start;
        if (!observer_->KeepWaitingForRoom(
                printer,
                static_cast<int>(std::chrono::duration_cast<std::chrono::seconds>(waited).count())))
            break;
        const auto retry =
            std::chrono::steady_clock::now() + std::chrono::seconds(kRoomRetrySeconds);
        while (std::chrono::steady_clock::now() < retry && !stop_.stop_requested())
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        if (StopAsked())
            break;
        result = SendFileRaw(spooler_, printer, path);
    }
    observer_->WaitingForRoom(printer, false);
    return result;
}

}  // namespace tavrin
