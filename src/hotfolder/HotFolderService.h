// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <deque>
#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <stop_token>
#include <string>
#include <utility>
#include <vector>

#include "hotfolder/FolderWatcher.h"
#include "hotfolder/HotFolder.h"
#include "joblog/JobLogRecorder.h"
#include "printsystem/DeviceProbe.h"
#include "printsystem/PrintSpooler.h"
#include "spool/JobTracker.h"
#include "spool/SpoolChoices.h"

namespace tavrin {

// A file of a hot folder whose jobs have all ended.
struct HotFolderFileEnd {
    std::filesystem::path hotFolder;
    std::filesystem::path movedTo;  // in Printed/ or Failed/; empty when it could not be moved
    bool printed = false;
    std::string reason;  // why not, when not printed
};

// What a hot-folder service tells, on the thread that runs it.
class HotFolderObserver {
public:
    virtual ~HotFolderObserver() = default;
    // One line for the log: "<folder>: <what happened>".
    virtual void Line(const std::string& text) = 0;
    virtual void FileEnded(const HotFolderFileEnd& /*end*/) {}
};

// The choices a hot folder's jobs go with on a printer of `kind`, on top of `base` (the temporary
// folder, the rewriters' search ranges, the page size); `left` gets the options that do not apply
// to that class.
SpoolChoices ChoicesFor(const HotFolder& folder, DeviceKind kind, SpoolChoices base,
                        std::vector<std::string>& left);

// Prints the complete files of its hot folders: each is moved into Sending/, sent on its folder's
// printer with its folder's options, followed to its end, then moved into Printed/ or Failed/.
// Every job is in the job log before it is sent, so a start after a crash finishes what is in
// Sending/ without sending a job twice. Trouble with one folder (gone, unreadable, its printer
// gone, a full disk) is told once and never stops the others.
class HotFolderService {
public:
    HotFolderService(std::vector<HotFolder> folders, PrintSpooler& spooler, DeviceProbe& probe,
                     JobLogRecorder& log, HotFolderObserver& observer, SpoolChoices base);
    ~HotFolderService();

    // Runs until `stop`. With `once`: takes what is complete within the folders' settle time,
    // waits for those jobs' ends, and returns.
    void Run(std::stop_token stop, bool once = false);

private:
    struct Folder;
    struct InFlight;
    void Resume(std::size_t folder);
    void Look(std::size_t folder, std::chrono::milliseconds wait);
    void Take(std::size_t folder, const std::filesystem::path& file);
    // Sends one job of a file in Sending/, on the row given (or a new one); false when the
    // printer is not there (the file waits).
    void SendJob(InFlight& file, std::optional<std::int64_t> row);
    void JobEnded(const TrackedJob& job);
    void Finish(InFlight& file);
    void PollJobs(bool force);
    bool PrinterThere(Folder& folder);
    void Trouble(Folder& folder, const std::string& what);
    void Tell(const Folder& folder, const std::string& what);
    int JobsPerFile(const HotFolder& folder) const;

    std::vector<Folder> folders_;
    PrintSpooler& spooler_;
    DeviceProbe& probe_;
    JobLogRecorder& log_;
    HotFolderObserver& observer_;
    SpoolChoices base_;
    JobTracker tracker_;
    std::chrono::steady_clock::time_point nextPoll_{};
    std::map<std::filesystem::path, std::unique_ptr<InFlight>> inFlight_;  // by Sending/ path
    std::map<std::pair<std::string, int>, std::pair<InFlight*, std::int64_t>> jobs_;  // -> row
};

}  // namespace tavrin
