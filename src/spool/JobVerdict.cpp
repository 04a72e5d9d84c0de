#include "spool/JobVerdict.h"

#include <algorithm>
#include <iterator>

namespace tavrin {
namespace {

std::string WithMessage(std::string words, const std::string& message) {
    return message.empty() ? words : words + ": " + message;
}

std::string Joined(const std::vector<std::string>& words) {
    std::string text;
    for (const std::string& word : words)
        text += (text.empty() ? "" : ", ") + word;
    return text;
}

}  // namespace

bool PrinterReportsTrouble(const PrinterStatus& printer) {
    static const char* const kProgress[] = {"Connecting to printer.",
                                            "Connected to printer.",
                                            "Sending data to printer.",
                                            "Waiting for job to complete.",
                                            "Waiting for printer to finish.",
                                            "Preparing to print.",
                                            "Printing.",
                                            "Ready to print.",
                                            "Print file sent.",
                                            "Spooling job",
                                            "Processing page"};
    if (!printer.reasons.empty())
        return true;
    if (printer.message.empty())
        return false;
    return std::none_of(std::begin(kProgress), std::end(kProgress), [&](const char* progress) {
        return printer.message.rfind(progress, 0) == 0;
    });
}

JobVerdict JudgeJob(const JobStatus* job, const PrinterStatus& printer, bool troubleLasts) {
    if (!job)
        return {JobOutcome::NotPrinted, false, kUnknownToTheServer};
    switch (job->state) {
        case QueueJobState::Completed: {
            const auto& reasons = job->reasons;
            if (std::find(reasons.begin(), reasons.end(), "job-completed-with-errors") !=
                reasons.end())
                return {JobOutcome::NotPrinted, false,
                        WithMessage("completed with errors", job->message)};
            return {JobOutcome::Printed, false, "completed"};
        }
        case QueueJobState::Canceled:
            return {JobOutcome::NotPrinted, false, WithMessage("canceled", job->message)};
        case QueueJobState::Aborted:
            return {JobOutcome::NotPrinted, false, WithMessage("aborted", job->message)};
        default:
            break;
    }
    const bool held = job->state == QueueJobState::Held;
    const bool stopped = printer.stopped || job->state == QueueJobState::Stopped;
    if (!stopped && !held && !troubleLasts)
        return {};
    if (!printer.message.empty())
        return {JobOutcome::Open, true, printer.message};
    if (held)
        return {JobOutcome::Open, true, WithMessage("the job is held", job->message)};
    if (!stopped)
        return {JobOutcome::Open, true, Joined(printer.reasons)};
    const auto& reasons = printer.reasons;
    const bool paused = std::find(reasons.begin(), reasons.end(), "paused") != reasons.end();
    return {JobOutcome::Open, true, paused ? "the printer is paused" : "the printer is stopped"};
}

}  // namespace tavrin
