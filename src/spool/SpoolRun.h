#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "joblist/JobList.h"
#include "platform/Form.h"
#include "platform/PrintSpooler.h"
#include "printers/DeviceClass.h"
#include "printers/PrinterSelection.h"
#include "spool/ByPrinterMessage.h"
#include "spool/JobTracker.h"
#include "spool/SendFileRaw.h"
#include "spool/SpoolOptions.h"

namespace tavrin {

// One send the spooler did not take.
struct RefusedSend {
    std::string printerName;
    std::string file;          // the listed file, full path
    std::string documentName;  // the listed file's name without its folder
    std::string reason;        // the spooler's words
};

// What the last run did. Filled as the run goes, so it is also complete up to the error when an
// error ended the run.
struct SpoolRunReport {
    std::vector<RefusedSend> refused;
    std::vector<TrackedJob> sent;  // every job the spooler took, in order, to be followed
    bool finished = false;         // the run reached its end (no error stopped it)

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

// The spool run: turns every row of the job list into raw jobs on the selected printer, altered
// for its device class as the options say. Reads the printer, its class, the options and the
// cells at each use, so changes made between files (the run lets the window handle its messages
// after each row or file) apply to the following sends.
class SpoolRunner {
public:
    static constexpr const char* kDone = "Done";
    static constexpr const char* kFailed = "Failed";

    // `armScheduledStart` arms the start at the set time when the print button is pressed with
    // Schedule checked.
    SpoolRunner(Form& form, PrintSpooler& spooler, PrinterSelection& printers, JobList& jobList,
                const SpoolOptions& options, std::function<void()> armScheduledStart);

    // The print button: nothing when row 1 has no file name; with Schedule unchecked Timer1 is
    // disabled and the run starts; with Schedule checked the start is armed.
    void OKPrintClick();

    // One pass over the job list. An error ends it where it arises and passes to the caller,
    // after the print button is idle again; jobs already sent stay in the queue. A call made
    // while a run is under way (from a handler run between files) does nothing.
    void SpoolRun();

    // Sends the file of `row` once, as a member of a set.
    void SpoolSetFile(int row);

    // The temporary file of the current (or last) run.
    const std::string& TempFileName() const { return tempFileName_; }
    const SpoolRunReport& LastRun() const { return report_; }
    bool running() const { return running_; }

    // Called with the report at the end of every run, also of one an error ended, before the
    // error passes on.
    std::function<void(const SpoolRunReport& report)> runEnded;
    // While the print server takes no more jobs (it holds as many as it takes), the run waits,
    // shows kWaitingForRoom in status panel 3, and tries the send again every
    // kRoomRetrySeconds, handling the window's messages meanwhile. This is asked before each
    // try, with the seconds waited so far: false gives up, and the send counts as refused.
    // Unset: the run waits as long as it takes.
    std::function<bool(const std::string& printerName, int secondsWaited)> keepWaitingForRoom;
    static constexpr const char* kWaitingForRoom = "Waiting for %s to take more jobs";
    static constexpr int kRoomRetrySeconds = 1;

private:
    class RunOptions;

    void RunRows();
    void RunSets();
    void SpoolRow(int row);
    // A listed name that is there but is no regular file (a folder, a named pipe, a device) is
    // refused at once with "Cannot open file %s", and the run goes on: reading it could wait or
    // run for ever.
    bool RefusedAsNoFile(const std::string& file);
    void Send(const std::string& path, const std::string& listedFile, int times);
    SendResult SendWaitingForRoom(const std::string& printer, const std::string& path);
    void EndOfRun();
    void BackToIdle();
    void TellRunEnded();
    // Probes the selected printer afresh and tests its class.
    bool ClassIs(DeviceKind kind);

    Form& form_;
    PrintSpooler& spooler_;
    PrinterSelection& printers_;
    JobList& jobList_;
    const SpoolOptions& options_;
    std::function<void()> armScheduledStart_;
    std::string tempFileName_;
    std::string tempFilesPath_;
    SpoolRunReport report_;
    int rowsRemoved_ = 0;
    bool running_ = false;
    bool runEndTold_ = false;
};

}  // namespace tavrin
