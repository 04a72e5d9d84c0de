#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "printers/DeviceClass.h"
#include "printsystem/PrintSpooler.h"
#include "spool/JobVerdict.h"

namespace tavrin {

// One job a run made, as the tracker follows it.
struct TrackedJob {
    std::string printerName;
    std::string file;          // the listed file, full path
    std::string documentName;  // its name in the queue
    int jobId = 0;
    std::uint64_t bytes = 0;
    int copies = 1;                       // the copies this one job makes
    bool deviceCopies = false;            // made by the device from one sent copy
    DeviceKind kind = DeviceKind::Other;  // the printer's class when it was sent
    std::int64_t sentAt = 0;              // seconds since the Unix epoch
    std::int64_t endedAt = 0;             // 0 while open
    QueueJobState state = QueueJobState::Pending;
    JobVerdict verdict{};  // open, printed or not printed, stuck, and why

    bool operator==(const TrackedJob&) const = default;
};

// Told what the tracker learns, on the thread that polls.
class JobObserver {
public:
    virtual ~JobObserver() = default;
    // A job reached its end: printed or not.
    virtual void JobEnded(const TrackedJob& job) = 0;
    // An open job became stuck, its reason changed, or it is no longer stuck.
    virtual void JobStuckChanged(const TrackedJob& job) = 0;
};

// Follows jobs until the print server says they have ended. Each look asks every printer with
// open jobs once for its state and its jobs' (PrinterHandle::Status). Not thread-safe: one
// thread tracks and polls.
class JobTracker {
public:
    // The least and the most time between two looks; the time doubles while nothing changes.
    static constexpr std::chrono::seconds kShortestWait{2};
    static constexpr std::chrono::seconds kLongestWait{16};
    // How long a printer must report trouble before its open jobs count as stuck.
    static constexpr std::int64_t kTroubleSeconds = 3;
    // The ended jobs kept for the user, newest first.
    static constexpr std::size_t kEndedKept = 200;

    explicit JobTracker(PrintSpooler& spooler) : spooler_(spooler) {}

    // Starts following `job` (its jobId must be set).
    void Track(TrackedJob job);
    // One look at the print server at time `now` (seconds since the epoch). Returns false
    // when some printer could not be asked; its jobs stay open and are asked again next time.
    bool Poll(std::int64_t now, JobObserver& observer);

    bool HasOpenJobs() const { return !open_.empty(); }
    const std::vector<TrackedJob>& OpenJobs() const { return open_; }
    const std::deque<TrackedJob>& EndedJobs() const { return ended_; }
    // How long to wait before the next look.
    std::chrono::seconds NextLookIn() const { return wait_; }

private:
    struct PrinterWatch {
        std::unique_ptr<PrinterHandle> handle;
        std::int64_t troubleSince = 0;  // 0: no trouble at the last look
    };
    bool Look(const std::string& printer, std::int64_t now, JobObserver& observer, bool& changed);

    PrintSpooler& spooler_;
    std::vector<TrackedJob> open_;
    std::deque<TrackedJob> ended_;
    std::map<std::string, PrinterWatch> printers_;
    std::chrono::seconds wait_ = kShortestWait;
};

}  // namespace tavrin
