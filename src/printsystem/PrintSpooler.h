#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tavrin {

// The system print spooler as the engine uses it: the list of printers, raw jobs and control of
// a printer's queue. Every request object carries its own error state: ok() tells whether the
// spooler accepted everything asked of it so far, error() gives the spooler's reason when not.
// A refusal is never an exception; the caller decides what a refusal means.

enum class QueueCommand { Pause, Resume, Purge };

enum class JobsWanted { Waiting, AlsoEnded };

enum class QueueJobState { Pending, Held, Processing, Stopped, Canceled, Aborted, Completed };

// One job in a printer's queue, as a queue window lists it.
struct QueueJob {
    int id = 0;
    std::string documentName;
    std::int64_t sizeKBytes = 0;
    QueueJobState state = QueueJobState::Pending;
    std::int64_t createdAt = 0;  // seconds since the Unix epoch

    bool operator==(const QueueJob&) const = default;
};

// The print server's word on a printer: whether it is stopped, and why it may not print.
struct PrinterStatus {
    bool stopped = false;
    std::vector<std::string> reasons;  // printer-state-reasons, without "none"
    std::string message;               // printer-state-message
    // The printer is a print server's queue whose device is an IPP printer (device-uri ipp:,
    // ipps:): its device program counts an impression only once the device took the document.
    bool ippDevice = false;

    bool operator==(const PrinterStatus&) const = default;
};

// The print server's word on one job.
struct JobStatus {
    int id = 0;
    QueueJobState state = QueueJobState::Pending;
    std::vector<std::string> reasons;  // job-state-reasons
    std::string message;               // job-state-message
    // What the device program last reported of the job (job-printer-state-message): empty when
    // it reported nothing worse than progress.
    std::string printerMessage = {};
    int impressionsCompleted = -1;  // job-impressions-completed; -1 when the server says none

    bool operator==(const JobStatus&) const = default;
};

// A printer's state and its jobs', read in one look.
struct QueueStatus {
    PrinterStatus printer;
    std::vector<JobStatus> jobs;  // the jobs asked about that the server still knows
};

// One raw document being sent. Destroying a job that was not finished cancels it, so that no
// half-sent job is left in the queue.
class PrintJob {
public:
    virtual ~PrintJob() = default;

    virtual bool ok() const = 0;
    virtual std::string error() const = 0;

    // Offers `size` bytes; returns how many the spooler took (possibly fewer than offered).
    // Returns 0 and leaves ok() false when the write failed.
    virtual std::size_t Write(const char* data, std::size_t size) = 0;
    // Ends the document. Returns whether the spooler accepted the job; a refused job is
    // cancelled.
    virtual bool Finish() = 0;
    // Withdraws the job from the queue.
    virtual void Cancel() = 0;
    // The spooler's number for the job; 0 while the spooler has made none.
    virtual int id() const = 0;
    // The spooler refused to start the job because it holds as many jobs as it takes; it takes
    // more once some have ended.
    virtual bool refusedAsFull() const { return false; }
};

// An opened printer. Closed when destroyed.
class PrinterHandle {
public:
    virtual ~PrinterHandle() = default;

    // False when the printer could not be opened (unknown name, no answer from the spooler).
    virtual bool ok() const = 0;
    virtual std::string error() const = 0;

    // The port the printer is reached through; nothing when it cannot be read.
    virtual std::optional<std::string> PortName() = 0;
    // Starts a raw document (data passed to the device unaltered) shown under `documentName`.
    // The job's ok() is false when the spooler refused to start it.
    virtual std::unique_ptr<PrintJob> StartRawDocument(const std::string& documentName) = 0;
    // Pause, resume or purge the whole queue. Returns whether the spooler accepted it.
    virtual bool Send(QueueCommand command) = 0;
    // The queue's jobs that are not yet done, oldest first, with AlsoEnded the ones the server
    // still remembers as well; nothing when they cannot be read.
    virtual std::optional<std::vector<QueueJob>> Jobs(JobsWanted wanted = JobsWanted::Waiting) = 0;
    // The printer's state and that of every job numbered `firstJobId` or later, ended ones
    // too; nothing when they cannot be read.
    virtual std::optional<QueueStatus> Status(int firstJobId) = 0;
};

class PrintSpooler {
public:
    virtual ~PrintSpooler() = default;

    // The installed printers' names in the spooler's order. Empty when there are none or the
    // spooler cannot be reached; LastError() then tells which.
    virtual std::vector<std::string> PrinterNames() = 0;
    // Opens a printer by name. Always returns a handle; its ok() tells whether it opened.
    virtual std::unique_ptr<PrinterHandle> Open(const std::string& printerName) = 0;
    // The reason of the last failed PrinterNames(), empty when it succeeded.
    virtual std::string LastError() const = 0;
};

}  // namespace tavrin
