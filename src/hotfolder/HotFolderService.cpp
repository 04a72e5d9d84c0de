// SPDX-License-Identifier: GPL-3.0-or-later
#include "hotfolder/HotFolderService.h"

#include <algorithm>
#include <ctime>
#include <exception>
#include <fstream>
#include <thread>

#include "hotfolder/HotFolderMoves.h"
#include "joblist/SharedJobList.h"
#include "platform/Error.h"
#include "printers/OptionRules.h"
#include "printers/ProbeDeviceClass.h"
#include "spool/SpoolRun.h"

namespace tavrin {
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

struct HotFolderService::Folder {
    HotFolder settings;
    std::unique_ptr<FolderWatcher> watcher;
    std::deque<fs::path> waiting;  // complete, in the order they became so
    std::string trouble;           // told once until it changes or passes
    Clock::time_point nextPrinterLook{};
    bool printerThere = false;
    // Complete files it may not read: taken once they can be read (a change of permissions
    // brings no notice), forgotten once they are gone.
    std::vector<fs::path> unreadable;
    Clock::time_point nextUnreadableLook{};
};

struct HotFolderService::InFlight {
    std::size_t folder = 0;
    fs::path sending;                      // the file, in Sending/
    int jobsToSend = 0;                    // not yet sent
    int openJobs = 0;                      // sent, end not yet known
    std::string failure;                   // why a job of it did not print
    std::optional<std::int64_t> spareRow;  // a row written for a send that never happened
};

namespace {

std::int64_t Now() {
    return static_cast<std::int64_t>(std::time(nullptr));
}

// A run of one job: tells the service of the send or the refusal.
class OneJobObserver final : public RunObserver {
public:
    void Sent(const TrackedJob& job) override { sent.push_back(job); }
    void Refused(const RefusedSend& send) override { refused.push_back(send); }
    // A print server that is full is waited for as long as it takes; a stop ends the wait.
    std::vector<TrackedJob> sent;
    std::vector<RefusedSend> refused;
};

// Tells the tracker's news to the service.
class EndObserver final : public JobObserver {
public:
    explicit EndObserver(std::function<void(const TrackedJob&)> ended) : ended_(std::move(ended)) {}
    void JobEnded(const TrackedJob& job) override { ended_(job); }
    void JobStuckChanged(const TrackedJob&) override {}

private:
    std::function<void(const TrackedJob&)> ended_;
};

TrackedJob SentBefore(const JobRecord& row, int jobId, const fs::path& file) {
    TrackedJob job;
    job.printerName = row.printer;
    job.file = file.string();
    job.documentName = row.fileName;
    job.jobId = jobId;
    job.sentAt = row.sentAt;
    return job;
}

// A job the print server got whole: a send cut off (the sender killed) leaves a job without its
// document, which never prints and is not the file's job.
bool WholeSend(const QueueJob& job) {
    switch (job.state) {
        case QueueJobState::Canceled:
        case QueueJobState::Aborted:
            return false;
        case QueueJobState::Processing:
        case QueueJobState::Completed:
            return true;
        default:
            return job.sizeKBytes > 0;
    }
}

bool Readable(const fs::path& file) {
    return std::ifstream(file, std::ios::binary).is_open();
}

// The regular files of Sending/, oldest first.
std::vector<fs::path> FilesIn(const fs::path& folder) {
    std::vector<std::pair<fs::file_time_type, fs::path>> files;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error))
        if (entry.is_regular_file(error))
            files.emplace_back(entry.last_write_time(error), entry.path());
    std::sort(files.begin(), files.end());
    std::vector<fs::path> paths;
    for (auto& [time, path] : files)
        paths.push_back(std::move(path));
    return paths;
}

}  // namespace

SpoolChoices ChoicesFor(const HotFolder& folder, DeviceKind kind, SpoolChoices base,
                        std::vector<std::string>& left) {
    OptionBoxes boxes;
    boxes.ChoosePrinter(kind);
    const auto tick = [&](OptionBox box, const char* name) {
        if (!boxes.Tick(box, true))
            left.push_back(name);
    };
    SpoolChoices choices = std::move(base);
    if (folder.deviceCopies)
        tick(OptionBox::DeviceCopies, "copies by the device");
    if (folder.qualityOnPlotter)
        tick(OptionBox::QualityOnPlotter, "quality on plotter");
    if (folder.collate)
        tick(OptionBox::Collate, "collate");
    if (folder.fit) {
        choices.pageSize = *folder.fit;
        tick(OptionBox::FitToPage, "fit to size");
    }
    choices.deviceCopies = boxes[OptionBox::DeviceCopies].checked;
    choices.qualityOnPlotter = boxes[OptionBox::QualityOnPlotter].checked;
    choices.collate = boxes[OptionBox::Collate].checked;
    choices.fitToPage = boxes[OptionBox::FitToPage].checked;
    choices.globalCopies = folder.copies;
    choices.printerName = folder.printer;
    return choices;
}

HotFolderService::HotFolderService(std::vector<HotFolder> folders, PrintSpooler& spooler,
                                   DeviceProbe& probe, JobLogRecorder& log,
                                   HotFolderObserver& observer, SpoolChoices base)
    : spooler_(spooler),
      probe_(probe),
      log_(log),
      observer_(observer),
      base_(std::move(base)),
      tracker_(spooler) {
    folders_.resize(folders.size());
    for (std::size_t i = 0; i < folders.size(); ++i)
        folders_[i].settings = std::move(folders[i]);
}

HotFolderService::~HotFolderService() = default;

void HotFolderService::Tell(const Folder& folder, const std::string& what) {
    observer_.Line(folder.settings.path + ": " + what);
}

void HotFolderService::Trouble(Folder& folder, const std::string& what) {
    if (folder.trouble == what)
        return;
    folder.trouble = what;
    Tell(folder, what);
}

int HotFolderService::JobsPerFile(const HotFolder& folder) const {
    return folder.deviceCopies ? 1 : std::max(folder.copies, 1);
}

void HotFolderService::Run(std::stop_token stop, bool once) {
    for (std::size_t i = 0; i < folders_.size(); ++i)
        Resume(i);
    const auto collectUntil = [&] {
        int settle = 0;
        for (const Folder& folder : folders_)
            settle = std::max(settle, folder.settings.settleSeconds);
        return Clock::now() + std::chrono::seconds(settle) + std::chrono::seconds(1);
    }();
    while (!stop.stop_requested()) {
        const bool collecting = !once || Clock::now() < collectUntil;
        if (collecting) {
            const auto wait = std::chrono::milliseconds(std::max<long>(
                20, 200 / static_cast<long>(std::max<std::size_t>(1, folders_.size()))));
            for (std::size_t i = 0; i < folders_.size(); ++i)
                Look(i, wait);
        }
        for (std::size_t i = 0; i < folders_.size() && !stop.stop_requested(); ++i) {
            Folder& folder = folders_[i];
            while (!folder.waiting.empty() && !stop.stop_requested() && PrinterThere(folder)) {
                const fs::path file = folder.waiting.front();
                folder.waiting.pop_front();
                Take(i, file);
            }
        }
        PollJobs(false);
        if (once && !collecting) {
            const bool waiting = std::any_of(folders_.begin(), folders_.end(), [this](Folder& f) {
                return !f.waiting.empty() && PrinterThere(f);
            });
            if (inFlight_.empty() && !waiting)
                return;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        if (folders_.empty() && !once)
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
}

void HotFolderService::Look(std::size_t index, std::chrono::milliseconds wait) {
    Folder& folder = folders_[index];
    try {
        if (!folder.watcher)
            folder.watcher = WatchFolder(folder.settings.path,
                                         std::chrono::seconds(folder.settings.settleSeconds),
                                         folder.settings.pollOnly);
        for (fs::path& file : folder.watcher->Complete(wait))
            if (std::find(folder.waiting.begin(), folder.waiting.end(), file) ==
                folder.waiting.end())
                folder.waiting.push_back(std::move(file));
        if (!folder.unreadable.empty() && Clock::now() >= folder.nextUnreadableLook) {
            folder.nextUnreadableLook = Clock::now() + std::chrono::seconds(2);
            std::erase_if(folder.unreadable, [&folder](const fs::path& file) {
                if (!fs::exists(file))
                    return true;
                if (!Readable(file))
                    return false;
                folder.waiting.push_back(file);
                return true;
            });
        }
        if (!folder.trouble.empty() && folder.printerThere) {
            folder.trouble.clear();
            Tell(folder, "watched again");
        }
    } catch (const std::exception& e) {
        Trouble(folder, e.what());
        std::this_thread::sleep_for(std::min(wait, std::chrono::milliseconds(50)));
    }
}

bool HotFolderService::PrinterThere(Folder& folder) {
    const auto now = Clock::now();
    if (folder.printerThere || now < folder.nextPrinterLook)
        return folder.printerThere;
    const std::vector<std::string> names = spooler_.PrinterNames();
    folder.printerThere =
        std::find(names.begin(), names.end(), folder.settings.printer) != names.end();
    folder.nextPrinterLook = now + std::chrono::seconds(5);
    if (!folder.printerThere)
        Trouble(folder, "printer " + folder.settings.printer +
                            " is not there; its files wait in the folder");
    else if (folder.trouble.rfind("printer ", 0) == 0)
        folder.trouble.clear();
    return folder.printerThere;
}

void HotFolderService::Resume(std::size_t index) {
    Folder& folder = folders_[index];
    const fs::path sending = fs::path(folder.settings.path) / kSendingFolder;
    for (const fs::path& file : FilesIn(sending)) {
        auto flight = std::make_unique<InFlight>();
        flight->folder = index;
        flight->sending = file;
        const auto rows = log_.RowsFor(file.string());
        if (!rows)
            Tell(folder, "the job log cannot be read: " + file.filename().string() +
                             " is sent as if it had not been");
        int sent = 0;
        for (const JobRecord& row : rows.value_or(std::vector<JobRecord>{})) {
            if (row.jobId == 0 && row.outcome == LoggedOutcome::Open) {
                // Written before a send that may or may not have happened: the print server
                // knows whether a job of this name came after it.
                std::optional<int> found;
                if (auto handle = spooler_.Open(row.printer); handle && handle->ok())
                    if (const auto jobs = handle->Jobs(JobsWanted::AlsoEnded))
                        for (const QueueJob& job : *jobs)
                            if (job.documentName == row.fileName &&
                                job.createdAt + 1 >= row.sentAt && WholeSend(job) &&
                                !jobs_.count({row.printer, job.id}))
                                found = job.id;
                if (!found) {
                    flight->spareRow = row.rowId;
                    continue;
                }
                log_.SetJobId(row.rowId, row.printer, *found, row.sentAt);
                ++sent;
                ++flight->openJobs;
                jobs_[{row.printer, *found}] = {flight.get(), row.rowId};
                tracker_.Track(SentBefore(row, *found, file));
                continue;
            }
            ++sent;
            if (row.outcome == LoggedOutcome::Open) {
                ++flight->openJobs;
                jobs_[{row.printer, row.jobId}] = {flight.get(), row.rowId};
                tracker_.Track(SentBefore(row, row.jobId, file));
            } else if (row.outcome != LoggedOutcome::Printed && flight->failure.empty()) {
                flight->failure = row.reason.empty() ? OutcomeWord(row.outcome) : row.reason;
            }
        }
        flight->jobsToSend = std::max(0, JobsPerFile(folder.settings) - sent);
        Tell(folder, "resuming " + file.filename().string() + ": " + std::to_string(sent) +
                         " job(s) sent before, " + std::to_string(flight->jobsToSend) + " to send");
        InFlight& kept = *flight;
        inFlight_[file] = std::move(flight);
        while (kept.jobsToSend > 0 && kept.failure.empty())
            SendJob(kept, std::exchange(kept.spareRow, std::nullopt));
        if (kept.openJobs == 0)
            Finish(kept);
    }
}

void HotFolderService::Take(std::size_t index, const fs::path& file) {
    Folder& folder = folders_[index];
    const std::string name = file.filename().string();
    if (!fs::exists(file))
        return;  // taken away again before its turn
    if (!Readable(file)) {
        if (std::find(folder.unreadable.begin(), folder.unreadable.end(), file) ==
            folder.unreadable.end()) {
            folder.unreadable.push_back(file);
            Tell(folder, "cannot read " + name + " (no permission?); left in the folder");
        }
        return;
    }
    fs::path sending;
    try {
        sending = MoveKeepingName(file, fs::path(folder.settings.path) / kSendingFolder);
    } catch (const std::exception& e) {
        Tell(folder, std::string(e.what()) + "; left in the folder");
        return;
    }
    auto flight = std::make_unique<InFlight>();
    flight->folder = index;
    flight->sending = sending;
    flight->jobsToSend = JobsPerFile(folder.settings);
    InFlight& kept = *flight;
    inFlight_[sending] = std::move(flight);
    Tell(folder, "took " + name);
    while (kept.jobsToSend > 0 && kept.failure.empty())
        SendJob(kept, std::nullopt);
    if (kept.openJobs == 0)
        Finish(kept);
}

void HotFolderService::SendJob(InFlight& file, std::optional<std::int64_t> row) {
    Folder& folder = folders_[file.folder];
    const HotFolder& settings = folder.settings;
    --file.jobsToSend;
    const DeviceKind kind = ClassOf(DeviceClassOf(probe_.Probe(settings.printer)));
    std::vector<std::string> left;
    const SpoolChoices choices = ChoicesFor(settings, kind, base_, left);
    for (const std::string& option : left)
        Trouble(folder, option + " does not apply to " + settings.printer + "; sent without it");
    const int copies = choices.deviceCopies ? settings.copies : 1;

    JobRecord record = log_.RecordOf(file.sending.string(), settings.printer, kind);
    record.frontEnd = settings.path;
    record.sentAt = Now();
    record.copies = copies;
    record.deviceCopies = choices.deviceCopies;
    if (!row)
        row = log_.Add(record);

    const ChosenSpoolOptions options(choices);
    SpoolRunner runner(spooler_, probe_, options);
    OneJobObserver observer;
    JobList list;
    list.AddFiles({file.sending.string()}, ListMode::Add, copies);
    SharedJobList jobs(std::move(list));
    std::string error;
    try {
        runner.Run(jobs, observer);
    } catch (const std::exception& e) {
        error = e.what();
    }
    const std::string name = file.sending.filename().string();
    for (std::size_t i = 0; i < observer.sent.size(); ++i) {
        const TrackedJob& job = observer.sent[i];
        // One row a job: the first goes on the row written before the send.
        std::optional<std::int64_t> jobRow = row;
        if (i > 0)
            jobRow = log_.Add(record);
        if (jobRow)
            log_.SetJobId(*jobRow, job.printerName, job.jobId, job.sentAt);
        jobs_[{job.printerName, job.jobId}] = {&file, jobRow.value_or(0)};
        ++file.openJobs;
        tracker_.Track(job);
        Tell(folder, name + " sent to " + job.printerName + " as job " + std::to_string(job.jobId));
    }
    std::string refusal = error;
    if (!observer.refused.empty())
        refusal = observer.refused.front().reason;
    if (observer.sent.empty()) {
        if (refusal.empty())
            refusal = "not sent";
        if (row)
            log_.SetOutcome(*row, LoggedOutcome::Refused, refusal, Now());
    }
    if (!refusal.empty() && file.failure.empty())
        file.failure = refusal;
    if (const std::string problem = log_.TakeProblem(); !problem.empty())
        Tell(folder, problem);
    nextPoll_ = Clock::now();  // look at the new job straight away
}

void HotFolderService::PollJobs(bool force) {
    if (!tracker_.HasOpenJobs() || (!force && Clock::now() < nextPoll_))
        return;
    EndObserver observer([this](const TrackedJob& job) { JobEnded(job); });
    tracker_.Poll(Now(), observer);
    // Looked at often while jobs are new, then at the tracker's pace, at most a second apart.
    nextPoll_ = Clock::now() +
                std::min<std::chrono::seconds>(tracker_.NextLookIn(), std::chrono::seconds(1));
}

void HotFolderService::JobEnded(const TrackedJob& job) {
    const auto found = jobs_.find({job.printerName, job.jobId});
    if (found == jobs_.end())
        return;
    auto [file, row] = found->second;
    jobs_.erase(found);
    const bool printed = job.verdict.outcome == JobOutcome::Printed;
    if (row)
        log_.SetOutcome(row, printed ? LoggedOutcome::Printed : LoggedOutcome::NotPrinted,
                        job.verdict.reason, job.endedAt ? job.endedAt : Now());
    if (!printed && file->failure.empty())
        file->failure = job.verdict.reason.empty() ? "not printed" : job.verdict.reason;
    if (--file->openJobs == 0 && (file->jobsToSend == 0 || !file->failure.empty()))
        Finish(*file);
}

void HotFolderService::Finish(InFlight& file) {
    Folder& folder = folders_[file.folder];
    const fs::path hotFolder = folder.settings.path;
    HotFolderFileEnd end;
    end.hotFolder = hotFolder;
    end.printed = file.failure.empty();
    end.reason = file.failure;
    const std::string name = file.sending.filename().string();
    try {
        end.movedTo = end.printed ? MoveKeepingName(file.sending, hotFolder / kPrintedFolder)
                                  : MoveToFailed(file.sending, hotFolder, file.failure);
        Tell(folder, name + (end.printed ? " printed" : " not printed: " + OneLine(file.failure)) +
                         "; moved to " + fs::relative(end.movedTo, hotFolder).generic_string());
    } catch (const std::exception& e) {
        // A full disk or a folder that cannot be made: the file stays in Sending/, and the next
        // start moves it, its end being in the job log.
        Tell(folder, name + (end.printed ? " printed" : " not printed") + ", but " + e.what() +
                         "; it stays in " + kSendingFolder);
    }
    const fs::path key = file.sending;
    observer_.FileEnded(end);
    inFlight_.erase(key);
}

}  // namespace tavrin
