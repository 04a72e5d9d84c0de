#include "platform/CupsQueueStatus.h"

#include <algorithm>
#include <string_view>

#include "platform/CupsQueueAttributes.h"

namespace tavrin {
namespace {

// The words of a keyword list, without "none".
std::vector<std::string> Keywords(ipp_attribute_t* attr) {
    std::vector<std::string> words;
    for (int i = 0; i < ippGetCount(attr); ++i) {
        const char* word = ippGetString(attr, i, nullptr);
        if (word && std::string_view(word) != "none")
            words.emplace_back(word);
    }
    return words;
}

std::string Text(ipp_attribute_t* attr) {
    const char* text = ippGetString(attr, 0, nullptr);
    return text ? text : "";
}

}  // namespace

std::optional<QueueStatus> ReadQueueStatus(CupsConnection& connection, const std::string& queueName,
                                           int firstJobId) {
    if (!connection.ok())
        return std::nullopt;
    ipp_t* printer = connection.Ask(
        NewQueueRequest(IPP_OP_GET_PRINTER_ATTRIBUTES, queueName,
                        {"printer-state", "printer-state-reasons", "printer-state-message"}));
    if (!printer)
        return std::nullopt;
    QueueStatus status;
    for (ipp_attribute_t* attr = ippFirstAttribute(printer); attr;
         attr = ippNextAttribute(printer)) {
        const std::string_view name(ippGetName(attr) ? ippGetName(attr) : "");
        if (name == "printer-state")
            status.printer.stopped = ippGetInteger(attr, 0) == IPP_PSTATE_STOPPED;
        if (name == "printer-state-reasons")
            status.printer.reasons = Keywords(attr);
        if (name == "printer-state-message")
            status.printer.message = Text(attr);
    }
    ippDelete(printer);

    ipp_t* request =
        NewQueueRequest(IPP_OP_GET_JOBS, queueName,
                        {"job-id", "job-state", "job-state-reasons", "job-state-message"});
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "which-jobs", nullptr, "all");
    ippAddInteger(request, IPP_TAG_OPERATION, IPP_TAG_INTEGER, "first-job-id",
                  std::max(firstJobId, 1));
    ipp_t* jobs = connection.Ask(request);
    if (!jobs)
        return std::nullopt;
    JobStatus* current = nullptr;
    for (ipp_attribute_t* attr = ippFirstAttribute(jobs); attr; attr = ippNextAttribute(jobs)) {
        if (ippGetGroupTag(attr) != IPP_TAG_JOB) {
            current = nullptr;
            continue;
        }
        if (!current)
            current = &status.jobs.emplace_back();
        const std::string_view name(ippGetName(attr) ? ippGetName(attr) : "");
        if (name == "job-id")
            current->id = ippGetInteger(attr, 0);
        if (name == "job-state")
            current->state = QueueJobStateOf(ippGetInteger(attr, 0));
        if (name == "job-state-reasons")
            current->reasons = Keywords(attr);
        if (name == "job-state-message")
            current->message = Text(attr);
    }
    ippDelete(jobs);
    std::erase_if(status.jobs, [firstJobId](const JobStatus& job) { return job.id < firstJobId; });
    return status;
}

}  // namespace tavrin
