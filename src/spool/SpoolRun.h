#pragma once

#include <cstdint>
#include <stop_token>
#include <string>
#include <vector>

#include "joblist/SharedJobList.h"
#include "printers/DeviceClass.h"
#include "printsystem/DeviceProbe.h"
#include "printsystem/PrintSpooler.h"
#include "spool/ByPrinterMessage.h"
#include "spool/JobTracker.h"
#include "spool/SendFileRaw.h"
#include "spool/SpoolOptions.h"

namespace tavrin {

// How a run's status panel shows its end.
inline constexpr const char* kRunDone = "Done";
inline constexpr const char* kRunFailed = "Failed";

// One send the spooler did not take.
struct RefusedSend {
    std::string printerName;
    std::string file;                     // the listed file, full path
    std::string documentName;             // the listed file's name without its folder
    std::string reason;                   // the spooler's words
    DeviceKind kind = DeviceKind::Other;  // the printer's class at the time
};

// What the last run did. Filled as the run goes, so it is also complete up to the error when an
// error ended the run.
struct SpoolRunReport {
    std::vector<RefusedSend> refused;
    std::vector<TrackedJob> sent;  // every job the spooler took, in order, to be followed
    bool finished = false;         // the run reached its end (no error stopped it)
    bool stopped = false;          // a stop was asked for and the run ended between two files

    int accepted() const { return static_cast<int>(sent.size()); }
    int sends() const { return accepted() + static_cast<int>(refused.size()); }  // jobs offered
};

// The message for the refused sends of a run: per printer "Not sent to <printer>:" and the
// document names one per line, at most kMostRefusedNamesShown, then "and <n> more". Empty when
// nothing was refused.
std::string RefusedSendsMessage(const std::vector<RefusedSend>& refused);

// Reads a copy count: a signed 32-bit decimal integer, nothing else. Throws
// "'<text>' is not a valid integer value" for anything else, the empty text included.
int ParseCopyCount(const std::string& text);

// What a spool run tells while it goes, on the thread it runs on. A window hands each call to its
// own thread; nothing here may wait for that thread.
class RunObserver {
public:
    virtual ~RunObserver() = default;
    // A row (or, in set mode, a file of a set) is about to be sent; `index` is the row's place in
    // the list at that moment, from 0 (with the list cleared as it goes, every row is sent from 0).
    virtual void FileStarted(int /*index*/, const std::string& /*file*/) {}
    virtual void Sent(const TrackedJob& /*job*/) {}
    virtual void Refused(const RefusedSend& /*send*/) {}
    // The print server takes no more jobs: the run waits and tries again every
    // kRoomRetrySeconds (`waiting` true), until it has room again (false).
    virtual void WaitingForRoom(const std::string& /*printer*/, bool /*waiting*/) {}
    // Asked before each new try while waiting, with the seconds waited so far: false gives up,
    // and the send counts as refused.
    virtual bool KeepWaitingForRoom(const std::string& /*printer*/, int /*secondsWaited*/) {
        return true;
    }
    // The run took a sent row off the job list, or emptied it at its end.
    virtual void ListChanged() {}
    // The run is over: `report.finished` says whether it reached its end; otherwise `error` is
    // the message of the error that ended it (which the run then throws).
    virtual void Done(const SpoolRunReport& /*report*/, const std::string& /*error*/) {}
};

// The spool run: turns every row of the job list into raw jobs on the printer the options name,
// altered for its device class as the options say. Reads the printer, its class, the options and
// the rows at each use, so that changes made between files apply to the following sends. Runs on
// whichever thread calls Run; the spooler and the probe are that thread's to use.
class SpoolRunner {
public:
    SpoolRunner(PrintSpooler& spooler, DeviceProbe& probe, const SpoolOptions& options);

    // One pass over the job list. A stop asked for through `stop` ends it between two files. An
    // error ends it where it arises and is thrown after the observer was told; jobs already sent
    // stay in the queue.
    void Run(SharedJobList& jobs, RunObserver& observer, std::stop_token stop = {});

    // The temporary file of the current (or last) run.
    const std::string& TempFileName() const { return tempFileName_; }
    const SpoolRunReport& LastRun() const { return report_; }

    static constexpr const char* kWaitingForRoom = "Waiting for %s to take more jobs";
    static constexpr int kRoomRetrySeconds = 1;

private:
    class RunOptions;

    void RunRows();
    void RunSets();
    void SpoolRow(const JobRow& row);
    void SpoolSetFile(int index);
    // A listed name that is there but is no regular file (a folder, a named pipe, a device) is
    // refused at once with "Cannot open file %s", and the run goes on: reading it could wait or
    // run for ever.
    bool RefusedAsNoFile(const std::string& file);
    // Sends `path` as `times` jobs; each makes `deviceCopies` copies at the device (1: itself).
    void Send(const std::string& path, const std::string& listedFile, int times,
              int deviceCopies = 1);
    SendResult SendWaitingForRoom(const std::string& printer, const std::string& path);
    // Probes the printer afresh and tests its class.
    bool ClassIs(DeviceKind kind);
    // Whether a stop was asked for; then the report says so.
    bool StopAsked();

    PrintSpooler& spooler_;
    DeviceProbe& probe_;
    const SpoolOptions& options_;
    SharedJobList* jobs_ = nullptr;
    RunObserver* observer_ = nullptr;
    std::stop_token stop_;
    std::string tempFileName_;
    std::string tempFilesPath_;
    DeviceKind lastKind_ = DeviceKind::Other;  // of the printer's latest probe
    SpoolRunReport report_;
};

}  // namespace tavrin
