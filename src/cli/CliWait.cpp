#include "cli/CliWait.h"

#include <chrono>
#include <ctime>
#include <thread>

#include "cli/CliCommands.h"
#include "cli/ListByPrinter.h"

namespace tavrin::cli {
namespace {

using Clock = std::chrono::steady_clock;

std::string JobName(const TrackedJob& job) {
    return job.printerName + "-" + std::to_string(job.jobId);
}

const char* StateWord(QueueJobState state) {
    switch (state) {
        case QueueJobState::Held:
            return "held";
        case QueueJobState::Processing:
            return "processing";
        case QueueJobState::Stopped:
            return "stopped";
        default:
            return "pending";
    }
}

class Lines : public JobObserver {
public:
    Lines(std::ostream& out, std::ostream& err, const std::function<void(const TrackedJob&)>& ended)
        : out_(out), err_(err), ended_(ended) {}
    void JobEnded(const TrackedJob& job) override {
        if (ended_)
            ended_(job);
        const bool printed = job.verdict.outcome == JobOutcome::Printed;
        out_ << job.file << '\t' << JobName(job) << '\t' << (printed ? "printed" : "not printed")
             << '\t' << job.verdict.reason << std::endl;
        if (!printed)
            notPrinted.push_back(job);
    }
    void JobStuckChanged(const TrackedJob& job) override {
        if (job.verdict.stuck)
            err_ << "tavrin-cli: " << job.file << " (" << JobName(job)
                 << ") waits: " << job.verdict.reason << std::endl;
    }

    // Every job of the run that ended without printing, in the order they ended (the tracker
    // keeps only its latest ended jobs).
    std::vector<TrackedJob> notPrinted;

private:
    std::ostream& out_;
    std::ostream& err_;
    const std::function<void(const TrackedJob&)>& ended_;
};

}  // namespace

int WaitForJobs(PrintSpooler& spooler, const std::vector<TrackedJob>& jobs,
                std::optional<int> timeoutSeconds, std::ostream& out, std::ostream& err,
                const std::function<void(const TrackedJob&)>& ended) {
    JobTracker tracker(spooler);
    for (const TrackedJob& job : jobs)
        tracker.Track(job);
    Lines lines(out, err, ended);
    const auto deadline = timeoutSeconds ? Clock::now() + std::chrono::seconds(*timeoutSeconds)
                                         : Clock::time_point::max();
    while (tracker.HasOpenJobs() && Clock::now() < deadline) {
        const auto next = Clock::now() + tracker.NextLookIn();
        std::this_thread::sleep_until(std::min(next, deadline));
        tracker.Poll(std::time(nullptr), lines);
    }

    ListByPrinter(err, "Not printed on %s:", lines.notPrinted,
                  [](const TrackedJob& job) { return job.verdict.reason; });
    ListByPrinter(err, "Still open on %s:", tracker.OpenJobs(), [](const TrackedJob& job) {
        return std::string(StateWord(job.state)) +
               (job.verdict.reason.empty() ? "" : ": " + job.verdict.reason);
    });
    if (tracker.HasOpenJobs())
        return kExitStillOpen;
    return lines.notPrinted.empty() ? kExitOk : kExitRefused;
}

}  // namespace tavrin::cli
