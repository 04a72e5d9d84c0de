// SPDX-License-Identifier: GPL-3.0-or-later
// The scratch folders, tavrin-cli runs and the sandbox print server on POSIX systems.
#include <cups/cups.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <atomic>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <thread>
#include <utility>

#include "printsystem/CupsQueueAttributes.h"
#include "support/SandboxPrintServer.h"

namespace tavrin::test {

namespace fs = std::filesystem;

TempFolder::TempFolder() {
    std::string pattern = "/tmp/tavrin-test-XXXXXX";
    path_ = mkdtemp(pattern.data()) ? pattern : throw std::runtime_error("cannot make a folder");
}

CliResult RunCommand(const std::string& command, const std::filesystem::path& errFile) {
    CliResult result;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr)
        return result;
    char buffer[4096];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        result.out.append(buffer, got);
    const int status = ::pclose(pipe);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.err = errFile.empty() ? std::string() : ReadFile(errFile);
    return result;
}

CliResult RunCli(const std::filesystem::path& folder, const std::string& arguments) {
    // One stderr file per run: runs in one folder may overlap.
    static std::atomic<int> runs{0};
    const std::string errFile = (folder / ("stderr-" + std::to_string(++runs))).string();
    return RunCommand("env HOME='" + (folder / "home").string() + "' XDG_CONFIG_HOME='" +
                          (folder / "config").string() + "' XDG_CACHE_HOME='" +
                          (folder / "cache").string() + "' XDG_DATA_HOME='" +
                          (folder / "data").string() + "' '" + CliPath().string() + "' " +
                          arguments + " 2>'" + errFile + "'",
                      errFile);
}

namespace {

CliResult Tool(const std::string& verb, const TempFolder& folder) {
    return RunCommand("'" TAVRIN_SOURCE_DIR "/tools/sandbox-print-server' " + verb + " '" +
                      folder.path().string() + "' 2>&1");
}

}  // namespace

SandboxPrintServer::SandboxPrintServer(bool troubled, int maxJobs) {
    const CliResult start = Tool(std::string(troubled ? "start --troubled" : "start") +
                                     (maxJobs ? " --max-jobs=" + std::to_string(maxJobs) : ""),
                                 folder_);
    const auto at = start.out.find("CUPS_SERVER=");
    if (start.exitCode != 0 || at == std::string::npos) {
        Tool("stop", folder_);
        throw std::runtime_error("the sandbox print server did not start: " + start.out);
    }
    cupsServer_ = start.out.substr(at + 12, start.out.find('\n', at) - at - 12);
    setenv("CUPS_SERVER", cupsServer_.c_str(), 1);
    cupsSetServer(cupsServer_.c_str());
}

void SandboxPrintServer::Stop() {
    if (std::exchange(running_, false))
        Tool("stop", folder_);
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
    static const char* const kAttributes[] = {"job-id", "job-name", "job-state"};
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", 3, nullptr,
                  kAttributes);
    ipp_t* response = cupsDoRequest(http, request, "/");
    std::vector<QueueJob> jobs;
    QueueJob* job = nullptr;
    for (ipp_attribute_t* attr = ippFirstAttribute(response); attr;
         attr = ippNextAttribute(response)) {
        if (ippGetGroupTag(attr) != IPP_TAG_JOB || !ippGetName(attr)) {
            job = nullptr;
            continue;
        }
        job = job ? job : &jobs.emplace_back();
        const std::string name = ippGetName(attr);
        if (name == "job-id")
            job->id = ippGetInteger(attr, 0);
        if (name == "job-name")
            job->documentName = ippGetString(attr, 0, nullptr);
        if (name == "job-state")
            job->state = QueueJobStateOf(ippGetInteger(attr, 0));
    }
    ippDelete(response);
    // The server may have set a finished job's attributes aside: asked alone, it gives its name.
    for (auto& each : jobs) {
        if (!each.documentName.empty())
            continue;
        ipp_t* single = ippNewRequest(IPP_OP_GET_JOB_ATTRIBUTES);
        ippAddString(single, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
        ippAddInteger(single, IPP_TAG_OPERATION, IPP_TAG_INTEGER, "job-id", each.id);
        ipp_t* answer = cupsDoRequest(http, single, "/");
        if (ipp_attribute_t* name = ippFindAttribute(answer, "job-name", IPP_TAG_NAME))
            each.documentName = ippGetString(name, 0, nullptr);
        ippDelete(answer);
    }
    httpClose(http);
    std::sort(jobs.begin(), jobs.end(), [](auto& a, auto& b) { return a.id < b.id; });
    return jobs;
}

std::size_t SandboxPrintServer::RequestsAnswered() const {
    std::ifstream log(folder_.path() / "log" / "access_log");
    std::size_t count = 0;
    for (std::string line; std::getline(log, line);)
        count += line.find("\"POST ") != std::string::npos;
    return count;
}

std::vector<fs::path> SandboxPrintServer::ReceivedFiles(const std::string& queue) const {
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(folder_.path() / "jobs" / queue)) {
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
    for (;; std::this_thread::sleep_for(std::chrono::milliseconds(50))) {
        std::vector<QueueJob> done;
        bool busy = false;
        for (const auto& job : AllJobs(queue)) {
            if (job.state == QueueJobState::Completed)
                done.push_back(job);
            busy = busy || job.state == QueueJobState::Pending ||
                   job.state == QueueJobState::Processing;
        }
        const auto files = ReceivedFiles(queue);
        const std::string counts = std::to_string(done.size()) + " jobs completed, " +
                                   std::to_string(files.size()) + " received";
        if (!busy && done.size() >= count && files.size() >= count) {
            if (done.size() != files.size())
                throw std::runtime_error("queue " + queue + ": " + counts);
            std::vector<ReceivedJob> received;
            for (std::size_t i = 0; i < files.size(); ++i)
                received.push_back({done[i].documentName, files[i], fs::file_size(files[i])});
            return received;
        }
        if (std::chrono::steady_clock::now() > deadline) {
            throw std::runtime_error("queue " + queue + ": waited in vain for " +
                                     std::to_string(count) + " jobs; " + counts);
        }
    }
}

}  // namespace tavrin::test
