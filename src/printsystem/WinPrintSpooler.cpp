// SPDX-License-Identifier: GPL-3.0-or-later
// The Windows print spooler (winspool) and the printer drivers' answers (GDI) behind the
// engine's spooler and probe.
#include "printsystem/WinPrintSpooler.h"

#include "platform/WindowsApi.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <vector>

#include "platform/WindowsText.h"
#include "printsystem/RefusedPrintJob.h"
#include "printsystem/SystemSpooler.h"

namespace tavrin {

namespace {

// What the user's own rights on a printer are asked for when its queue is controlled.
constexpr ACCESS_MASK kAdministerAndUse = PRINTER_ACCESS_ADMINISTER | PRINTER_ACCESS_USE;

std::string Failed(const char* call) {
    const DWORD code = GetLastError();
    return std::string(call) + " failed: " + WindowsErrorText(code);
}

std::string TextOf(const char* ansi) {
    return ansi ? Utf8OfAnsi(ansi) : std::string();
}

// The jobs this program started on each printer, by the spooler's number. The spooler forgets a
// job once it has printed it; a job of this list it no longer lists has therefore printed.
class StartedJobs {
public:
    static StartedJobs& Instance() {
        static StartedJobs jobs;
        return jobs;
    }
    void Add(const std::string& printer, int id) {
        std::lock_guard lock(mutex_);
        started_[printer].insert(id);
    }
    std::vector<int> From(const std::string& printer, int firstJobId) {
        std::lock_guard lock(mutex_);
        const std::set<int>& ids = started_[printer];
        return {ids.lower_bound(firstJobId), ids.end()};
    }

private:
    std::mutex mutex_;
    std::map<std::string, std::set<int>> started_;
};

// An open printer handle, closed when it goes.
class Printer {
public:
    Printer(const std::string& name, ACCESS_MASK access) {
        std::string ansi = AnsiText(name);
        PRINTER_DEFAULTSA defaults{nullptr, nullptr, access};
        if (!OpenPrinterA(ansi.data(), &handle_, access ? &defaults : nullptr)) {
            error_ = Failed("OpenPrinter");
            handle_ = nullptr;
        }
    }
    ~Printer() {
        if (handle_)
            ClosePrinter(handle_);
    }
    Printer(const Printer&) = delete;
    Printer& operator=(const Printer&) = delete;

    HANDLE get() const { return handle_; }
    const std::string& error() const { return error_; }

    // The level-2 information, asked for first without a buffer to learn its size.
    std::optional<std::vector<BYTE>> Information() const {
        DWORD needed = 0;
        GetPrinterA(handle_, 2, nullptr, 0, &needed);
        if (needed == 0)
            return std::nullopt;
        std::vector<BYTE> buffer(needed);
        if (!GetPrinterA(handle_, 2, buffer.data(), needed, &needed))
            return std::nullopt;
        return buffer;
    }

    // One job's level-2 information, when the spooler still has the job.
    std::optional<std::vector<BYTE>> Job(int id) const {
        DWORD needed = 0;
        GetJobA(handle_, static_cast<DWORD>(id), 2, nullptr, 0, &needed);
        if (needed == 0)
            return std::nullopt;
        std::vector<BYTE> buffer(needed);
        if (!GetJobA(handle_, static_cast<DWORD>(id), 2, buffer.data(), needed, &needed))
            return std::nullopt;
        return buffer;
    }

    // The jobs in the queue, level 2, oldest first.
    std::optional<std::vector<BYTE>> JobList(DWORD& count) const {
        DWORD needed = 0;
        count = 0;
        EnumJobsA(handle_, 0, 0xFFFF, 2, nullptr, 0, &needed, &count);
        std::vector<BYTE> buffer(std::max<DWORD>(needed, 1));
        if (!EnumJobsA(handle_, 0, 0xFFFF, 2, buffer.data(), needed, &needed, &count))
            return std::nullopt;
        return buffer;
    }

private:
    HANDLE handle_ = nullptr;
    std::string error_;
};

QueueJobState StateOf(DWORD status) {
    if (status & (JOB_STATUS_PRINTED | JOB_STATUS_COMPLETE))
        return QueueJobState::Completed;
    if (status & (JOB_STATUS_DELETED | JOB_STATUS_DELETING))
        return QueueJobState::Canceled;
    if (status & (JOB_STATUS_ERROR | JOB_STATUS_OFFLINE | JOB_STATUS_PAPEROUT |
                  JOB_STATUS_BLOCKED_DEVQ | JOB_STATUS_USER_INTERVENTION))
        return QueueJobState::Stopped;
    if (status & JOB_STATUS_PAUSED)
        return QueueJobState::Held;
    if (status & (JOB_STATUS_PRINTING | JOB_STATUS_SPOOLING))
        return QueueJobState::Processing;
    return QueueJobState::Pending;
}

// The job's troubles in the words the print server uses for them.
std::vector<std::string> JobReasons(DWORD status) {
    std::vector<std::string> reasons;
    if (status & JOB_STATUS_ERROR)
        reasons.push_back("job-error");
    if (status & JOB_STATUS_OFFLINE)
        reasons.push_back("printer-offline");
    if (status & JOB_STATUS_PAPEROUT)
        reasons.push_back("media-empty");
    if (status & JOB_STATUS_PAUSED)
        reasons.push_back("job-hold-until-specified");
    return reasons;
}

PrinterStatus PrinterStatusOf(const PRINTER_INFO_2A& info) {
    PrinterStatus status;
    const DWORD state = info.Status;
    status.stopped = (state & (PRINTER_STATUS_PAUSED | PRINTER_STATUS_ERROR |
                               PRINTER_STATUS_OFFLINE | PRINTER_STATUS_PAPER_OUT)) != 0;
    if (state & PRINTER_STATUS_PAUSED)
        status.reasons.push_back("paused");
    if (state & PRINTER_STATUS_ERROR)
        status.reasons.push_back("other-error");
    if (state & PRINTER_STATUS_OFFLINE)
        status.reasons.push_back("offline-report");
    if (state & PRINTER_STATUS_PAPER_OUT)
        status.reasons.push_back("media-empty-error");
    return status;
}

std::int64_t SecondsSinceEpoch(const SYSTEMTIME& time) {
    FILETIME file{};
    if (!SystemTimeToFileTime(&time, &file))
        return 0;
    const std::uint64_t ticks = (std::uint64_t{file.dwHighDateTime} << 32) | file.dwLowDateTime;
    constexpr std::uint64_t kEpochTicks = 116444736000000000ULL;  // 1601 to 1970 in 100 ns
    return ticks < kEpochTicks ? 0 : static_cast<std::int64_t>((ticks - kEpochTicks) / 10000000);
}

// One RAW document: StartDocPrinter, StartPagePrinter, the writes, EndPagePrinter and
// EndDocPrinter, on a printer handle of its own.
class WinPrintJob final : public PrintJob {
public:
    WinPrintJob(const std::string& printerName, const std::string& documentName)
        : printerName_(printerName), printer_(printerName, 0) {
        if (!printer_.get()) {
            error_ = printer_.error();
            return;
        }
        // The wide call: a title is a file name, which the ANSI code page may not hold.
        std::wstring document = WideText(documentName);
        wchar_t dataType[] = L"RAW";
        DOC_INFO_1W info{document.data(), nullptr, dataType};
        const DWORD id = StartDocPrinterW(printer_.get(), 1, reinterpret_cast<BYTE*>(&info));
        if (id == 0) {
            error_ = Failed("StartDocPrinter");
            return;
        }
        id_ = static_cast<int>(id);
        started_ = true;
        if (!StartPagePrinter(printer_.get())) {
            error_ = Failed("StartPagePrinter");
            Cancel();
            return;
        }
        StartedJobs::Instance().Add(printerName_, id_);
    }
    ~WinPrintJob() override {
        if (started_)
            Cancel();
    }

    bool ok() const override { return error_.empty(); }
    std::string error() const override { return error_; }
    int id() const override { return id_; }

    std::size_t Write(const char* data, std::size_t size) override {
        if (!started_ || !ok())
            return 0;
        DWORD written = 0;
        const DWORD piece = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
        if (!WritePrinter(printer_.get(), const_cast<char*>(data), piece, &written)) {
            error_ = Failed("WritePrinter");
            return 0;
        }
        return written;
    }

    bool Finish() override {
        if (!started_ || !ok())
            return false;
        const bool pageEnded = EndPagePrinter(printer_.get());
        if (!pageEnded)
            error_ = Failed("EndPagePrinter");
        if (!EndDocPrinter(printer_.get()) && ok())
            error_ = Failed("EndDocPrinter");
        started_ = false;
        return ok();
    }

    void Cancel() override {
        if (!started_)
            return;
        started_ = false;
        // Deletes what was spooled of the document and ends it.
        AbortPrinter(printer_.get());
    }

private:
    std::string printerName_;
    Printer printer_;
    int id_ = 0;
    bool started_ = false;
    std::string error_;
};

class WinPrinterHandle final : public PrinterHandle {
public:
    explicit WinPrinterHandle(std::string name) : name_(std::move(name)), printer_(name_, 0) {
        error_ = printer_.error();
    }

    bool ok() const override { return printer_.get() != nullptr; }
    std::string error() const override { return error_; }

    std::optional<std::string> PortName() override {
        const auto information = printer_.get() ? printer_.Information() : std::nullopt;
        if (!information)
            return std::nullopt;
        const auto* info = reinterpret_cast<const PRINTER_INFO_2A*>(information->data());
        return TextOf(info->pPortName);
    }

    std::unique_ptr<PrintJob> StartRawDocument(const std::string& documentName) override {
        if (!ok())
            return std::make_unique<RefusedPrintJob>(error_);
        return std::make_unique<WinPrintJob>(name_, documentName);
    }

    bool Send(QueueCommand command) override {
        const Printer administered(name_, kAdministerAndUse);
        if (!administered.get()) {
            error_ = administered.error();
            return false;
        }
        const DWORD control = command == QueueCommand::Pause    ? PRINTER_CONTROL_PAUSE
                              : command == QueueCommand::Resume ? PRINTER_CONTROL_RESUME
                                                                : PRINTER_CONTROL_PURGE;
        if (!SetPrinterA(administered.get(), 0, nullptr, control)) {
            error_ = Failed("SetPrinter");
            return false;
        }
        return true;
    }

    std::optional<std::vector<QueueJob>> Jobs(JobsWanted wanted) override {
        DWORD count = 0;
        const auto list = printer_.get() ? printer_.JobList(count) : std::nullopt;
        if (!list)
            return std::nullopt;
        const auto* jobs = reinterpret_cast<const JOB_INFO_2A*>(list->data());
        std::vector<QueueJob> listed;
        for (DWORD i = 0; i < count; ++i) {
            const JOB_INFO_2A& job = jobs[i];
            QueueJob entry{static_cast<int>(job.JobId), TextOf(job.pDocument),
                           static_cast<std::int64_t>((job.Size + 1023) / 1024), StateOf(job.Status),
                           SecondsSinceEpoch(job.Submitted)};
            const bool ended = entry.state == QueueJobState::Completed ||
                               entry.state == QueueJobState::Canceled ||
                               entry.state == QueueJobState::Aborted;
            if (!ended || wanted == JobsWanted::AlsoEnded)
                listed.push_back(std::move(entry));
        }
        return listed;
    }

    std::optional<QueueStatus> Status(int firstJobId) override {
        const auto information = printer_.get() ? printer_.Information() : std::nullopt;
        if (!information)
            return std::nullopt;
        QueueStatus status;
        status.printer =
            PrinterStatusOf(*reinterpret_cast<const PRINTER_INFO_2A*>(information->data()));
        const auto add = [&](const JOB_INFO_2A& job) {
            status.jobs.push_back({static_cast<int>(job.JobId), StateOf(job.Status),
                                   JobReasons(job.Status), TextOf(job.pStatus)});
        };
        const std::vector<int> started = StartedJobs::Instance().From(name_, firstJobId);
        std::set<int> listed;
        DWORD count = 0;
        if (const auto list = printer_.JobList(count)) {
            const auto* jobs = reinterpret_cast<const JOB_INFO_2A*>(list->data());
            for (DWORD i = 0; i < count; ++i) {
                listed.insert(static_cast<int>(jobs[i].JobId));
                if (static_cast<int>(jobs[i].JobId) >= firstJobId)
                    add(jobs[i]);
            }
        } else {
            // A spooler without a queue listing (wine's) is asked for each job on its own.
            for (const int id : started) {
                if (const auto job = printer_.Job(id)) {
                    listed.insert(id);
                    add(*reinterpret_cast<const JOB_INFO_2A*>(job->data()));
                }
            }
        }
        for (const int id : started) {
            if (!listed.count(id))
                status.jobs.push_back({id, QueueJobState::Completed, {}, {}});
        }
        std::sort(status.jobs.begin(), status.jobs.end(),
                  [](const JobStatus& a, const JobStatus& b) { return a.id < b.id; });
        return status;
    }

private:
    std::string name_;
    Printer printer_;
    std::string error_;
};

}  // namespace

std::vector<std::string> WinPrintSpooler::PrinterNames() {
    lastError_.clear();
    constexpr DWORD kFlags = PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS;
    DWORD needed = 0;
    DWORD count = 0;
    EnumPrintersA(kFlags, nullptr, 2, nullptr, 0, &needed, &count);
    std::vector<BYTE> buffer(std::max<DWORD>(needed, 1));
    if (!EnumPrintersA(kFlags, nullptr, 2, buffer.data(), needed, &needed, &count)) {
        lastError_ = Failed("EnumPrinters");
        return {};
    }
    const auto* printers = reinterpret_cast<const PRINTER_INFO_2A*>(buffer.data());
    std::vector<std::string> names;
    for (DWORD i = 0; i < count; ++i)
        names.push_back(TextOf(printers[i].pPrinterName));
    return names;
}

std::unique_ptr<PrinterHandle> WinPrintSpooler::Open(const std::string& printerName) {
    return std::make_unique<WinPrinterHandle>(printerName);
}

DeviceAnswer WinDeviceProbe::Probe(const std::string& deviceName) {
    DeviceAnswer answer{deviceName, std::nullopt};
    const std::string device = AnsiText(deviceName);
    const HDC context = CreateDCA(nullptr, device.c_str(), nullptr, nullptr);
    if (!context)
        return answer;
    const int escape = GETTECHNOLOGY;
    if (ExtEscape(context, QUERYESCSUPPORT, sizeof escape, reinterpret_cast<LPCSTR>(&escape), 0,
                  nullptr) > 0) {
        char technology[256] = {};
        if (ExtEscape(context, GETTECHNOLOGY, 0, nullptr, sizeof technology, technology) > 0)
            answer.technology = std::string(technology, strnlen(technology, sizeof technology));
    }
    DeleteDC(context);
    return answer;
}

std::unique_ptr<PrintSpooler> MakeSystemSpooler(const CupsTimeouts&) {
    return std::make_unique<WinPrintSpooler>();
}

std::unique_ptr<DeviceProbe> MakeSystemDeviceProbe(const CupsTimeouts&) {
    return std::make_unique<WinDeviceProbe>();
}

}  // namespace tavrin
