#include "support/SandboxPrintServer.h"

#include <cups/cups.h>
#include <stdlib.h>

#include <algorithm>
#include <stdexcept>
#include <thread>

#include "platform/CupsQueueAttributes.h"
#include "support/RunCli.h"
#include "support/TestPaths.h"

namespace tavrin::test {
namespace {

std::string ToolCommand(const char* verb, const std::filesystem::path& folder) {
    return "'" + (SourceDir() / "tools" / "sandbox-print-server").string() + "' " + verb + " '" +
           folder.string() + "' 2>&1";
}

}  // namespace

std::vector<std::string> SandboxPrintServer::Queues() {
    return {kHpglQueue, kOceQueue, kPostScriptQueue, kRawQueue};
}

SandboxPrintServer::SandboxPrintServer() {
    std::string pattern = "/tmp/tavrin-sandbox-XXXXXX";
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("cannot make a sandbox folder");
    folder_ = pattern;
    const CliResult start = RunCommand(ToolCommand("start", folder_));
    const std::string& output = start.out;
    const auto at = output.find("CUPS_SERVER=");
    if (start.exitCode != 0 || at == std::string::npos) {
        RunCommand(ToolCommand("stop", folder_));
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
        throw std::runtime_error("the sandbox print server did not start: " + output);
    }
    cupsServer_ = output.substr(at + 12, output.find('\n', at) - at - 12);
    running_ = true;
    setenv("CUPS_SERVER", cupsServer_.c_str(), 1);
    cupsSetServer(cupsServer_.c_str());
}

SandboxPrintServer::~SandboxPrintServer() {
    Stop();
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

void SandboxPrintServer::Stop() {
    if (!running_)
        return;
    running_ = false;
    RunCommand(ToolCommand("stop", folder_));
}

std::vector<QueueJob> SandboxPrintServer::AllJobs(const std::string& queue) {
    http_t* http = httpConnect2(cupsServer_.c_str(), ippPort(), nullptr, AF_UNSPEC,
                                HTTP_ENCRYPTION_IF_REQUESTED, 1, 5000, nullptr);
    if (!http)
        throw std::runtime_error("the sandbox print server does not answer");
    httpSetTimeout(http, 30, nullptr, nullptr);
    char uri[HTTP_MAX_URI];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof(uri), "ipp", nullptr, "localhost", 0,
                     "/printers/%s", queue.c_str());
    ipp_t* request = ippNewRequest(IPP_OP_GET_JOBS);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "which-jobs", nullptr, "all");
    static const char* const kAttributes[] = {"job-id", "job-name", "job-state", "job-k-octets"};
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", 4, nullptr,
                  kAttributes);
    ipp_t* response = cupsDoRequest(http, request, "/");
    std::vector<QueueJob> jobs;
    QueueJob* job = nullptr;
    for (ipp_attribute_t* attr = response ? ippFirstAttribute(response) : nullptr; attr;
         attr = ippNextAttribute(response)) {
        if (ippGetGroupTag(attr) != IPP_TAG_JOB || !ippGetName(attr)) {
            job = nullptr;
            continue;
        }
        if (!job)
            job = &jobs.emplace_back();
        const std::string name = ippGetName(attr);
        if (name == "job-id")
            job->id = ippGetInteger(attr, 0);
        if (name == "job-name")
            job->documentName = ippGetString(attr, 0, nullptr);
        if (name == "job-state")
            job->state = QueueJobStateOf(ippGetInteger(attr, 0));
        if (name == "job-k-octets")
            job->sizeKBytes = ippGetInteger(attr, 0);
    }
    ippDelete(response);
    // The server may have set a finished job's attributes aside; asking for the job alone
    // brings its name back.
    for (auto& job : jobs) {
        if (!job.documentName.empty())
            continue;
        ipp_t* single = ippNewRequest(IPP_OP_GET_JOB_ATTRIBUTES);
        ippAddString(single, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
        ippAddInteger(single, IPP_TAG_OPERATION, IPP_TAG_INTEGER, "job-id", job.id);
        ipp_t* answer = cupsDoRequest(http, single, "/");
        if (ipp_attribute_t* name = ippFindAttribute(answer, "job-name", IPP_TAG_NAME)) {
            job.documentName = ippGetString(name, 0, nullptr);
        }
        ippDelete(answer);
    }
    httpClose(http);
    std::sort(jobs.begin(), jobs.end(), [](auto& a, auto& b) { return a.id < b.id; });
    return jobs;
}

std::vector<std::filesystem::path> SandboxPrintServer::ReceivedFiles(
    const std::string& queue) const {
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder_ / "jobs" / queue)) {
        if (entry.path().extension() == ".job")
            files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::vector<ReceivedJob> SandboxPrintServer::WaitForJobs(const std::string& queue,
                                                         std::size_t count,
                                                         std::chrono::seconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (true) {
        std::vector<QueueJob> completed;
        bool busy = false;
        for (const auto& job : AllJobs(queue)) {
            if (job.state == QueueJobState::Completed)
                completed.push_back(job);
            if (job.state == QueueJobState::Pending || job.state == QueueJobState::Processing) {
                busy = true;
            }
        }
        const auto files = ReceivedFiles(queue);
        if (!busy && completed.size() >= count && files.size() >= count) {
            if (completed.size() != files.size()) {
                throw std::runtime_error("queue " + queue + ": " +
                                         std::to_string(completed.size()) + " jobs completed but " +
                                         std::to_string(files.size()) + " received");
            }
            std::vector<ReceivedJob> received;
            for (std::size_t i = 0; i < files.size(); ++i) {
                received.push_back({completed[i].id, completed[i].documentName, files[i],
                                    std::filesystem::file_size(files[i])});
            }
            return received;
        }
        if (std::chrono::steady_clock::now() > deadline) {
            throw std::runtime_error("queue " + queue + ": waited in vain for " +
                                     std::to_string(count) + " jobs; " +
                                     std::to_string(completed.size()) + " completed, " +
                                     std::to_string(files.size()) + " received");
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

}  // namespace tavrin::test
