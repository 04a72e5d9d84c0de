#include "spool/JobTracker.h"

#include <algorithm>
#include <set>

namespace tavrin {

void JobTracker::Track(TrackedJob job) {
    open_.push_back(std::move(job));
    wait_ = kShortestWait;
}

bool JobTracker::Poll(std::int64_t now, JobObserver& observer) {
    std::set<std::string> printers;
    for (const TrackedJob& job : open_)
        printers.insert(job.printerName);
    bool answered = true;
    bool changed = false;
    for (const std::string& printer : printers)
        answered = Look(printer, now, observer, changed) && answered;
    std::erase_if(printers_, [&](const auto& watch) { return !printers.count(watch.first); });
    wait_ = changed ? kShortestWait : std::min(wait_ * 2, kLongestWait);
    return answered;
}

bool JobTracker::Look(const std::string& printer, std::int64_t now, JobObserver& observer,
                      bool& changed) {
    PrinterWatch& watch = printers_[printer];
    if (!watch.handle || !watch.handle->ok())
        watch.handle = spooler_.Open(printer);
    int firstJobId = 0;
    for (const TrackedJob& job : open_)
        if (job.printerName == printer && (firstJobId == 0 || job.jobId < firstJobId))
            firstJobId = job.jobId;
    const auto status = watch.handle->ok() ? watch.handle->Status(firstJobId) : std::nullopt;
    if (!status) {
        watch.handle.reset();  // opened afresh next time, once the server answers again
        return false;
    }
    if (!PrinterReportsTrouble(status->printer))
        watch.troubleSince = 0;
    else if (watch.troubleSince == 0)
        watch.troubleSince = now;
    const bool troubleLasts =
        watch.troubleSince != 0 && now - watch.troubleSince >= kTroubleSeconds;

    for (auto job = open_.begin(); job != open_.end();) {
        if (job->printerName != printer) {
            ++job;
            continue;
        }
        const auto found = std::find_if(status->jobs.begin(), status->jobs.end(),
                                        [&](const JobStatus& s) { return s.id == job->jobId; });
        const JobStatus* word = found == status->jobs.end() ? nullptr : &*found;
        const JobVerdict verdict = JudgeJob(word, status->printer, troubleLasts);
        const QueueJobState state = word ? word->state : job->state;
        changed = changed || state != job->state || verdict != job->verdict;
        const bool stuckChanged = verdict.outcome == JobOutcome::Open &&
                                  (verdict.stuck != job->verdict.stuck ||
                                   (verdict.stuck && verdict.reason != job->verdict.reason));
        job->state = state;
        job->verdict = verdict;
        if (verdict.outcome == JobOutcome::Open) {
            if (stuckChanged)
                observer.JobStuckChanged(*job);
            ++job;
            continue;
        }
        job->endedAt = now;
        ended_.push_front(std::move(*job));
        if (ended_.size() > kEndedKept)
            ended_.pop_back();
        job = open_.erase(job);
        observer.JobEnded(ended_.front());
    }
    return true;
}

}  // namespace tavrin
