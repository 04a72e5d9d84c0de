// SPDX-License-Identifier: GPL-3.0-or-later
// The scratch folders, tavrin-cli runs, the sandbox print server and the fake spooler.
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

#include "platform/CupsQueueAttributes.h"
#include "support/FakePrintSpooler.h"
#include "support/SandboxPrintServer.h"

namespace tavrin::test {

namespace fs = std::filesystem;

TempFolder::TempFolder() {
    std::string pattern = "/tmp/tavrin-test-XXXXXX";
    path_ = mkdtemp(pattern.data()) ? pattern : throw std::runtime_error("cannot make a folder");
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(path_, ignored);
}

void WriteBytes(const std::filesystem::path& file, std::string_view bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + file.string());
}

void WritePatternFile(const std::filesystem::path& path, std::uintmax_t size, std::uint32_t seed) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    std::vector<char> buffer(1 << 16);
    std::uint32_t state = seed * 2654435761u + 12345u;
    for (std::size_t piece; size > 0; size -= piece) {
        piece = std::min<std::uintmax_t>(size, buffer.size());
        for (std::size_t i = 0; i < piece; ++i)
            buffer[i] = static_cast<char>((state = state * 1664525u + 1013904223u) >> 24);
        out.write(buffer.data(), static_cast<std::streamsize>(piece));
    }
    if (!out)
        throw std::runtime_error("cannot write " + path.string());
}

bool SameContents(const std::filesystem::path& a, const std::filesystem::path& b) {
    std::ifstream left(a, std::ios::binary), right(b, std::ios::binary);
    return left && right &&
           std::equal(std::istreambuf_iterator<char>(left), std::istreambuf_iterator<char>(),
                      std::istreambuf_iterator<char>(right), std::istreambuf_iterator<char>());
}

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
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
                          (folder / "cache").string() + "' '" + CliPath().string() + "' " +
                          arguments + " 2>'" + errFile + "'",
                      errFile);
}

namespace {

CliResult Tool(const std::string& verb, const TempFolder& folder) {
    return RunCommand("'" TAVRIN_SOURCE_DIR "/tools/sandbox-print-server' " + verb + " '" +
                      folder.path().string() + "' 2>&1");
}

// A job the spooler started (`index` into its records), or one it refused at the start.
class FakeJob : public PrintJob {
public:
    FakeJob(FakePrintSpooler* spooler, std::size_t index)
        : spooler_(spooler), index_(index), error_(spooler ? "" : "start refused") {}
    ~FakeJob() override {
        Cancel();
        if (spooler_)
            --spooler_->liveJobs;
    }

    bool ok() const override { return error_.empty(); }
    std::string error() const override { return error_; }
    std::size_t Write(const char* data, std::size_t size) override {
        if (!ok() || record().finished)
            return 0;
        const int index = static_cast<int>(record().offered.size());
        record().offered.push_back(size);
        if (index == spooler_->failWriteAt)
            return Fail("write refused"), 0;
        const std::size_t taken =
            index == spooler_->zeroProgressAt ? 0 : std::min(size, spooler_->maxTakenPerWrite);
        record().bytes.append(data, taken);
        return taken;
    }
    bool Finish() override {
        if (ok() && spooler_->refuseFinish)
            Fail("No file in print request");
        return ok() && (record().finished = true);
    }
    void Cancel() override {
        if (!spooler_ || record().finished || record().cancelled)
            return;
        record().cancelled = true;
        Fail("cancelled");
    }

    int id() const override { return spooler_ ? static_cast<int>(index_) + 1 : 0; }

private:
    FakeJobRecord& record() const { return spooler_->jobs[index_]; }
    void Fail(const std::string& error) {
        if (error_.empty())
            error_ = error;
        Cancel();
    }

    FakePrintSpooler* spooler_;
    std::size_t index_;
    std::string error_;
};

class FakeHandle : public PrinterHandle {
public:
    FakeHandle(FakePrintSpooler& spooler, std::string name, bool ok)
        : spooler_(spooler), name_(std::move(name)), ok_(ok) {}
    ~FakeHandle() override { --spooler_.openHandles; }

    bool ok() const override { return ok_; }
    std::string error() const override { return ok_ ? "" : "The printer or class does not exist."; }
    std::optional<std::string> PortName() override {
        const auto found = spooler_.ports.find(name_);
        return ok_ && found != spooler_.ports.end() ? std::optional(found->second) : std::nullopt;
    }
    std::unique_ptr<PrintJob> StartRawDocument(const std::string& documentName) override {
        if (!ok_ || spooler_.refuseStart)
            return std::make_unique<FakeJob>(nullptr, 0);
        spooler_.jobs.push_back({name_, documentName, {}, {}, false, false});
        ++spooler_.liveJobs;
        return std::make_unique<FakeJob>(&spooler_, spooler_.jobs.size() - 1);
    }
    bool Send(QueueCommand command) override {
        return ok_ && !spooler_.refuseCommands &&
               (spooler_.commands.emplace_back(name_, command), true);
    }
    std::optional<std::vector<QueueJob>> Jobs(JobsWanted) override {
        return ok_ ? std::optional(spooler_.queue) : std::nullopt;
    }
    std::optional<QueueStatus> Status(int firstJobId) override {
        ++spooler_.statusLooks;
        const auto found = spooler_.status.find(name_);
        if (!ok_ || found == spooler_.status.end())
            return std::nullopt;
        QueueStatus status = found->second;
        std::erase_if(status.jobs, [&](const JobStatus& job) { return job.id < firstJobId; });
        return status;
    }

private:
    FakePrintSpooler& spooler_;
    std::string name_;
    bool ok_;
};

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

std::unique_ptr<PrinterHandle> FakePrintSpooler::Open(const std::string& printerName) {
    ++opened, ++openHandles;
    // An entry may also name a printer with its port ("PRINTER on PORT").
    const bool listed = std::any_of(printers.begin(), printers.end(), [&](const std::string& e) {
        return e == printerName || e.rfind(printerName + " on ", 0) == 0;
    });
    const bool known = unreachable.empty() && listed && !refuseOpen.count(printerName);
    return std::make_unique<FakeHandle>(*this, printerName, known);
}

}  // namespace tavrin::test
