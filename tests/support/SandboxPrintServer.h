#pragma once

#include <chrono>

#include "printsystem/PrintSpooler.h"
#include "support/TempFolder.h"

namespace tavrin::test {

struct CliResult {
    int exitCode = -1;  // -1: the program did not run or did not exit normally
    std::string out;
    std::string err;
};

// Runs a shell command: its output, exit code, and the text of `errFile` where it sent errors.
CliResult RunCommand(const std::string& command, const std::filesystem::path& errFile = {});
// Runs tavrin-cli with `arguments` (quoted) and its home, config, cache and stderr in `folder`.
CliResult RunCli(const std::filesystem::path& folder, const std::string& arguments);

// A job that reached a sandbox queue's device.
struct ReceivedJob {
    std::string title;           // the job's name in the queue
    std::filesystem::path file;  // the bytes the device received
    std::uintmax_t size = 0;
};

// A private print server (tools/sandbox-print-server) in a temporary folder; starting it points
// this process at it, and it throws std::runtime_error when it cannot start.
class SandboxPrintServer {
public:
    static constexpr const char* kHpglQueue = "hpgl-plotter";      // technology "HPGL/2"
    static constexpr const char* kPostScriptQueue = "ps-printer";  // technology "PostScript"
    static constexpr const char* kOceQueue = "oce-9600";     // "Oce 9600 plot room", no technology
    static constexpr const char* kRawQueue = "raw-printer";  // no technology
    // The queues in the order the print server lists them.
    static std::vector<std::string> Queues() {
        return {kHpglQueue, kOceQueue, kPostScriptQueue, kRawQueue};
    }

    // With `troubled`, two more queues whose devices fail: the first refuses every connection,
    // the second drops the connection after the first 4 KB of each job.
    static constexpr const char* kDeadQueue = "dead-plotter";
    static constexpr const char* kDroppingQueue = "dropping-plotter";

    // With `maxJobs`, the server takes at most that many jobs that have not ended.
    explicit SandboxPrintServer(bool troubled = false, int maxJobs = 0);
    ~SandboxPrintServer() { Stop(); }

    // Where it listens: the domain socket CUPS_SERVER names.
    const std::string& Socket() const { return cupsServer_; }
    // Stops the server; CUPS_SERVER keeps pointing at its (now dead) socket.
    void Stop();
    // Every job the server knows for `queue`, done or not, oldest first: id, name and state.
    std::vector<QueueJob> AllJobs(const std::string& queue);
    // Waits until `count` jobs of `queue` are done and received and none is busy; throws on
    // timeout.
    std::vector<ReceivedJob> WaitForJobs(const std::string& queue, std::size_t count,
                                         std::chrono::seconds timeout = std::chrono::seconds(120));
    std::vector<std::filesystem::path> ReceivedFiles(const std::string& queue) const;
    // How many requests the server has answered so far, by its access log.
    std::size_t RequestsAnswered() const;

private:
    TempFolder folder_;
    std::string cupsServer_;
    bool running_ = true;
};

}  // namespace tavrin::test
