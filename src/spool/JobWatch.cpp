// SPDX-License-Identifier: GPL-3.0-or-later
#include "spool/JobWatch.h"

#include <chrono>
#include <ctime>

namespace tavrin {
namespace {

class NewsCollector : public JobObserver {
public:
    JobNews news;
    void JobEnded(const TrackedJob& job) override { news.ended.push_back(job); }
    void JobStuckChanged(const TrackedJob& job) override { news.stuckChanged.push_back(job); }
};

}  // namespace

JobWatch::JobWatch(std::function<std::unique_ptr<PrintSpooler>()> makeSpooler)
    : makeSpooler_(std::move(makeSpooler)), thread_([this] { Run(); }) {}

JobWatch::~JobWatch() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

void JobWatch::Follow(const std::vector<TrackedJob>& jobs) {
    if (jobs.empty())
        return;
    {
        const std::lock_guard lock(mutex_);
        incoming_.insert(incoming_.end(), jobs.begin(), jobs.end());
    }
    wake_.notify_all();
}

void JobWatch::SetListener(Listener listener) {
    const std::lock_guard lock(listenerMutex_);
    listener_ = std::move(listener);
}

WatchedJobs JobWatch::Jobs() const {
    const std::lock_guard lock(mutex_);
    return jobs_;
}

void JobWatch::Run() {
    std::unique_ptr<PrintSpooler> spooler;
    std::unique_ptr<JobTracker> tracker;
    std::unique_lock lock(mutex_);
    const auto woken = [this] { return stopping_ || !incoming_.empty(); };
    auto nextLookAllowed = std::chrono::steady_clock::now();
    while (!stopping_) {
        if (!incoming_.empty() && !tracker) {
            lock.unlock();
            spooler = makeSpooler_();
            tracker = std::make_unique<JobTracker>(*spooler);
            lock.lock();
        }
        for (TrackedJob& job : incoming_)
            tracker->Track(std::move(job));
        incoming_.clear();
        if (!tracker || !tracker->HasOpenJobs()) {
            wake_.wait(lock, woken);
            continue;
        }

        if (wake_.wait_until(lock, nextLookAllowed, [this] { return stopping_; }))
            break;
        nextLookAllowed = std::chrono::steady_clock::now() + std::chrono::seconds(1);
        lock.unlock();
        NewsCollector collector;
        collector.news.serverAnswers = tracker->Poll(std::time(nullptr), collector);
        lock.lock();
        const bool answeringChanged = collector.news.serverAnswers != jobs_.serverAnswers;
        jobs_ = {tracker->OpenJobs(), tracker->EndedJobs(), collector.news.serverAnswers};
        if (!collector.news.ended.empty() || !collector.news.stuckChanged.empty() ||
            answeringChanged) {
            lock.unlock();
            {
                const std::lock_guard listening(listenerMutex_);
                if (listener_)
                    listener_(collector.news);
            }
            lock.lock();
        }
        wake_.wait_for(lock, tracker->NextLookIn(), woken);
    }
}

}  // namespace tavrin
