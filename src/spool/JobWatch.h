// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "printsystem/PrintSpooler.h"
#include "spool/JobTracker.h"

namespace tavrin {

// What one look at the print server found out.
struct JobNews {
    std::vector<TrackedJob> ended;         // printed or not, in the order they ended
    std::vector<TrackedJob> stuckChanged;  // got stuck, changed their reason, or got going again
    bool serverAnswers = true;             // false: some printer could not be asked this time
};

// Everything being followed, newest ended job first.
struct WatchedJobs {
    std::vector<TrackedJob> open;
    std::deque<TrackedJob> ended;
    bool serverAnswers = true;
};

// A JobTracker on a thread of its own, so that whoever hands it jobs never waits on the print
// server. Its spooler is made and used on that thread only. Jobs handed over are looked at
// straight away, then at the tracker's pace, never more than once a second; a print server that
// stops answering only delays the looks, which go on when it answers again.
class JobWatch {
public:
    using Listener = std::function<void(const JobNews& news)>;

    explicit JobWatch(std::function<std::unique_ptr<PrintSpooler>()> makeSpooler);
    // Waits for the look under way, which the spooler's own silence limit bounds.
    ~JobWatch();
    JobWatch(const JobWatch&) = delete;
    JobWatch& operator=(const JobWatch&) = delete;

    // Starts following `jobs` (each with its jobId set).
    void Follow(const std::vector<TrackedJob>& jobs);
    // Called on the watch's thread after each look that found something new, or whose
    // answering changed. Once SetListener returns, the listener it replaced is not running and
    // is never called again.
    void SetListener(Listener listener);
    // A copy of what is followed, as of the latest look.
    WatchedJobs Jobs() const;

private:
    void Run();

    std::function<std::unique_ptr<PrintSpooler>()> makeSpooler_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::vector<TrackedJob> incoming_;
    WatchedJobs jobs_;
    bool stopping_ = false;
    std::mutex listenerMutex_;
    Listener listener_;
    std::thread thread_;
};

}  // namespace tavrin
