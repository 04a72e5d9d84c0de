#pragma once

#include <mutex>
#include <utility>

#include "joblist/JobList.h"

namespace tavrin {

// A job list that a front end and a spool run under way work on together, each from its own
// thread: the front end changes it whenever its user does, the run reads it row by row and takes
// rows off as it sends them. Every call holds the lock for itself only.
class SharedJobList {
public:
    SharedJobList() = default;
    explicit SharedJobList(JobList list) : list_(std::move(list)) {}

    JobList Get() const {
        std::lock_guard lock(mutex_);
        return list_;
    }
    void Set(JobList list) {
        std::lock_guard lock(mutex_);
        list_ = std::move(list);
    }
    // Runs `work` on the list under the lock and returns what it returns.
    template <class Work>
    auto Change(Work&& work) {
        std::lock_guard lock(mutex_);
        return std::forward<Work>(work)(list_);
    }
    template <class Work>
    auto Read(Work&& work) const {
        std::lock_guard lock(mutex_);
        return std::forward<Work>(work)(std::as_const(list_));
    }

private:
    mutable std::mutex mutex_;
    JobList list_;
};

}  // namespace tavrin
