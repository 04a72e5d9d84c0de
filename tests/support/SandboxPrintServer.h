#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/PrintSpooler.h"

namespace tavrin::test {

// A job that reached a sandbox queue's device.
struct ReceivedJob {
    int id = 0;
    std::string title;           // the job's name in the queue
    std::filesystem::path file;  // the bytes the device received
    std::uintmax_t size = 0;
};

// A private print server (tools/sandbox-print-server) in a temporary folder, for end-to-end
// tests. Starting it points this process at it (CUPS_SERVER and cupsSetServer); destroying it
// stops it and removes its folder. Throws std::runtime_error when it cannot start.
class SandboxPrintServer {
public:
    static constexpr const char* kHpglQueue = "hpgl-plotter";      // technology "HPGL/2"
    static constexpr const char* kPostScriptQueue = "ps-printer";  // technology "PostScript"
    static constexpr const char* kOceQueue = "oce-9600";     // "Oce 9600 plot room", no technology
    static constexpr const char* kRawQueue = "raw-printer";  // no technology
    // The queues in the order the print server lists them.
    static std::vector<std::string> Queues();

    SandboxPrintServer();
    ~SandboxPrintServer();
    SandboxPrintServer(const SandboxPrintServer&) = delete;
    SandboxPrintServer& operator=(const SandboxPrintServer&) = delete;

    const std::string& CupsServer() const { return cupsServer_; }
    const std::filesystem::path& Folder() const { return folder_; }
    // Stops the server; CUPS_SERVER keeps pointing at its (now dead) socket.
    void Stop();

    // Every job the server knows for `queue`, done or not, oldest first.
    std::vector<QueueJob> AllJobs(const std::string& queue);
    // Waits until `count` jobs of `queue` are completed and received and none is pending or
    // processing, then returns the received jobs in order. Throws on timeout.
    std::vector<ReceivedJob> WaitForJobs(const std::string& queue, std::size_t count,
                                         std::chrono::seconds timeout = std::chrono::seconds(120));
    // The files received so far for `queue`, in order.
    std::vector<std::filesystem::path> ReceivedFiles(const std::string& queue) const;

private:
    std::filesystem::path folder_;
    std::string cupsServer_;
    bool running_ = false;
};

}  // namespace tavrin::test
