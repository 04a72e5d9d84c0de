#include "printsystem/CupsQueueStatus.h"

#include <algorithm>
#include <string_view>

#include "printsystem/CupsQueueAttributes.h"
#include "printsystem/IppValues.h"

namespace tavrin {

PrinterStatus PrinterStatusOfResponse(ipp_t* response) {
    PrinterStatus status;
    for (ipp_attribute_t* attr = ippFirstAttribute(response); attr;
         attr = ippNextAttribute(response)) {
        const std::string_view name(ippGetName(attr) ? ippGetName(attr) : "");
        if (name == "printer-state")
            status.stopped = ippGetInteger(attr, 0) == IPP_PSTATE_STOPPED;
        if (name == "printer-state-reasons")
            status.reasons = IppWords(attr);
        if (name == "printer-state-message")
            status.message = IppText(attr);
        if (name == "device-uri") {
            const std::string uri = IppText(attr);
            status.ippDevice = uri.rfind("ipp://", 0) == 0 || uri.rfind("ipps://", 0) == 0;
        }
    }
    return status;
}

namespace {

// Every job group of a Get-Jobs answer, read into a Job by `take(job, name, attr)`.
template <typename Job, typename Take>
std::vector<Job> JobsOfResponse(ipp_t* response, Take take) {
    std::vector<Job> jobs;
    Job* current = nullptr;
    for (ipp_attribute_t* attr = ippFirstAttribute(response); attr;
         attr = ippNextAttribute(response)) {
        if (ippGetGroupTag(attr) != IPP_TAG_JOB) {
            current = nullptr;
            continue;
        }
        if (!current)
            current = &jobs.emplace_back();
        take(*current, std::string_view(ippGetName(attr) ? ippGetName(attr) : ""), attr);
    }
    return jobs;
}

}  // namespace

std::vector<JobStatus> JobStatusesOfResponse(ipp_t* response) {
    return JobsOfResponse<JobStatus>(
        response, [](JobStatus& job, std::string_view name, ipp_attribute_t* attr) {
            if (name == "job-id")
                job.id = ippGetInteger(attr, 0);
            if (name == "job-state")
                job.state = QueueJobStateOf(ippGetInteger(attr, 0));
            if (name == "job-state-reasons")
                job.reasons = IppWords(attr);
            if (name == "job-state-message")
                job.message = IppText(attr);
            if (name == "job-printer-state-message")
                job.printerMessage = IppText(attr);
            if (name == "job-impressions-completed" && ippGetValueTag(attr) == IPP_TAG_INTEGER)
                job.impressionsCompleted = ippGetInteger(attr, 0);
        });
}

std::vector<QueueJob> QueueJobsOfResponse(ipp_t* response) {
    std::vector<QueueJob> jobs = JobsOfResponse<QueueJob>(
        response, [](QueueJob& job, std::string_view name, ipp_attribute_t* attr) {
            if (name == "job-id")
                job.id = ippGetInteger(attr, 0);
            if (name == "job-name")
                job.documentName = IppText(attr);
            if (name == "job-k-octets")
                job.sizeKBytes = ippGetInteger(attr, 0);
            if (name == "job-state")
                job.state = QueueJobStateOf(ippGetInteger(attr, 0));
            if (name == "time-at-creation")
                job.createdAt = ippGetInteger(attr, 0);
        });
    std::sort(jobs.begin(), jobs.end(),
              [](const QueueJob& a, const QueueJob& b) { return a.id < b.id; });
    return jobs;
}

std::optional<std::vector<QueueJob>> ReadQueueJobs(const CupsConnection& connection,
                                                   const std::string& printerUri,
                                                   const std::string& resource, JobsWanted wanted) {
    if (!connection.ok())
        return std::nullopt;
    ipp_t* request =
        NewPrinterRequest(IPP_OP_GET_JOBS, printerUri,
                          {"job-id", "job-name", "job-k-octets", "job-state", "time-at-creation"});
    if (wanted == JobsWanted::AlsoEnded)
        ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "which-jobs", nullptr, "all");
    ipp_t* response = connection.Ask(request, resource.c_str());
    if (!response)
        return std::nullopt;
    std::vector<QueueJob> jobs = QueueJobsOfResponse(response);
    ippDelete(response);
    // CUPS lists a job whose attributes it has not loaded with what it keeps in memory, which
    // may lack the name and the creation time; asked about alone, it loads them.
    for (QueueJob& job : jobs) {
        if (!job.documentName.empty() && job.createdAt != 0)
            continue;
        ipp_t* alone = NewPrinterRequest(
            IPP_OP_GET_JOB_ATTRIBUTES, printerUri,
            {"job-id", "job-name", "job-k-octets", "job-state", "time-at-creation"});
        ippAddInteger(alone, IPP_TAG_OPERATION, IPP_TAG_INTEGER, "job-id", job.id);
        if (ipp_t* answer = connection.Ask(alone, resource.c_str())) {
            const std::vector<QueueJob> loaded = QueueJobsOfResponse(answer);
            ippDelete(answer);
            if (loaded.size() == 1 && loaded.front().id == job.id)
                job = loaded.front();
        }
    }
    return jobs;
}

std::optional<QueueStatus> ReadQueueStatus(CupsConnection& connection, const std::string& queueName,
                                           int firstJobId) {
    return ReadPrinterStatus(connection, QueueUri(queueName), "/", firstJobId);
}

std::optional<QueueStatus> ReadPrinterStatus(CupsConnection& connection,
                                             const std::string& printerUri,
                                             const std::string& resource, int firstJobId) {
    if (!connection.ok())
        return std::nullopt;
    ipp_t* printer = connection.Ask(NewPrinterRequest(IPP_OP_GET_PRINTER_ATTRIBUTES, printerUri,
                                                      {"printer-state", "printer-state-reasons",
                                                       "printer-state-message", "device-uri"}),
                                    resource.c_str());
    if (!printer)
        return std::nullopt;
    QueueStatus status;
    status.printer = PrinterStatusOfResponse(printer);
    ippDelete(printer);

    ipp_t* request =
        NewPrinterRequest(IPP_OP_GET_JOBS, printerUri,
                          {"job-id", "job-state", "job-state-reasons", "job-state-message",
                           "job-printer-state-message", "job-impressions-completed"});
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "which-jobs", nullptr, "all");
    ippAddInteger(request, IPP_TAG_OPERATION, IPP_TAG_INTEGER, "first-job-id",
                  std::max(firstJobId, 1));
    ipp_t* jobs = connection.Ask(request, resource.c_str());
    if (!jobs)
        return std::nullopt;
    status.jobs = JobStatusesOfResponse(jobs);
    ippDelete(jobs);
    std::erase_if(status.jobs, [firstJobId](const JobStatus& job) { return job.id < firstJobId; });
    return status;
}

}  // namespace tavrin
