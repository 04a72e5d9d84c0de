#include "spool/JobVerdict.h"

#include <algorithm>
#include <iterator>
#include <string_view>

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

bool Listed(const std::vector<std::string>& words, const char* word) {
    return std::find(words.begin(), words.end(), word) != words.end();
}

bool NamesAnError(const std::string& reason) {
    const auto ends = [&](std::string_view end) {
        return reason.size() >= end.size() &&
               reason.compare(reason.size() - end.size(), end.size(), end) == 0;
    };
    return ends("-error") || ends("-errors");
}

// What CUPS's device programs write as their error when the device did not take the job, and
// then still end "with no errors", so that the server marks the job completed. Their warnings
// and progress lines ("The printer is in use.", "Waiting for job to complete.") are not here,
// nor errors after which they try again and may still print ("The printer is not responding.").
bool IsDeliveryFailure(const std::string& message) {
    static const char* const kFailures[] = {
        "Unable to add document to print job.",
        "Print job was not accepted.",
        "Printer cannot print supplied content.",
        "Printer cannot print with supplied options.",
        "Print job canceled at printer.",
        "Print job too large.",
        "Unable to print file",
        "Unable to open print file",
        "Unable to read print data",
        "Unable to write print data",
        "Unable to open device file",
        "Printer does not support required IPP attributes or document formats.",
        "The printer configuration is incorrect or the printer no longer exists."};
    return std::any_of(std::begin(kFailures), std::end(kFailures),
                       [&](const char* failure) { return message.rfind(failure, 0) == 0; });
}

// A job the server calls completed although its device never took it: the device program
// said why and counted no impression. In front of an IPP printer the device program counts
// one only once the printer took the document, so any word of it then means failure, in
// whatever language the server speaks; elsewhere only its known failure texts do.
bool DeviceRefused(const JobStatus& job, const PrinterStatus& printer) {
    if (job.printerMessage.empty() || job.impressionsCompleted > 0)
        return false;
    return printer.ippDevice || IsDeliveryFailure(job.printerMessage);
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
            if (Listed(reasons, "job-completed-with-errors"))
                return {JobOutcome::NotPrinted, false,
                        WithMessage("completed with errors", job->message)};
            if (DeviceRefused(*job, printer))
                return {JobOutcome::NotPrinted, false, job->printerMessage};
            const auto error = std::find_if(reasons.begin(), reasons.end(), NamesAnError);
            if (error != reasons.end())
                return {JobOutcome::NotPrinted, false,
                        WithMessage(*error, job->printerMessage.empty() ? job->message
                                                                        : job->printerMessage)};
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
