#pragma once

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <queue>
#include <thread>
#include <type_traits>
#include <utility>

#include "printsystem/DeviceProbe.h"
#include "printsystem/PrintSpooler.h"

namespace tavrin {

// How a caller spends the time a request to the print server takes: a window keeps painting.
class WaitingCaller {
public:
    virtual ~WaitingCaller() = default;
    // Returns once `done()` is true, doing the caller's own work meanwhile. May be entered again
    // from that work.
    virtual void WaitUntil(const std::function<bool()>& done) = 0;
    // Called on the worker whenever a request has ended, so that a WaitUntil asleep looks again.
    virtual void Wake() = 0;
};

// Every request to the print server on one worker thread, in the order they are made, while the
// caller waits through a WaitingCaller, so that the caller's thread never waits on the network
// itself. The spooler, probe, printer handles and jobs given out here stand in for the real ones;
// answers and exceptions come back unchanged. A request made from inside a wait (a timer of the
// window) queues behind the one under way.
//
// The real spooler and probe must outlive this; destroying it waits for the request under way.
class ServerCallsOffThread {
public:
    ServerCallsOffThread(PrintSpooler& spooler, DeviceProbe& probe, WaitingCaller& caller);
    ~ServerCallsOffThread();
    ServerCallsOffThread(const ServerCallsOffThread&) = delete;
    ServerCallsOffThread& operator=(const ServerCallsOffThread&) = delete;

    PrintSpooler& Spooler() { return spooler_; }
    DeviceProbe& Probe() { return probe_; }

    // Runs `request` on the worker and returns its answer once it has ended.
    template <typename Request>
    std::invoke_result_t<Request&> Run(Request&& request) {
        using Answer = std::invoke_result_t<Request&>;
        if constexpr (std::is_void_v<Answer>) {
            RunOnWorker(request);
        } else {
            std::optional<Answer> answer;
            RunOnWorker([&] { answer.emplace(request()); });
            return std::move(*answer);
        }
    }

private:
    void RunOnWorker(const std::function<void()>& request);
    void Work();

    class WorkerSpooler final : public PrintSpooler {
    public:
        explicit WorkerSpooler(ServerCallsOffThread& owner) : owner_(owner) {}
        std::vector<std::string> PrinterNames() override;
        std::unique_ptr<PrinterHandle> Open(const std::string& printerName) override;
        std::string LastError() const override;

    private:
        ServerCallsOffThread& owner_;
    };

    class WorkerProbe final : public DeviceProbe {
    public:
        explicit WorkerProbe(ServerCallsOffThread& owner) : owner_(owner) {}
        DeviceAnswer Probe(const std::string& deviceName) override;

    private:
        ServerCallsOffThread& owner_;
    };

    PrintSpooler& realSpooler_;
    DeviceProbe& realProbe_;
    WaitingCaller& caller_;
    WorkerSpooler spooler_{*this};
    WorkerProbe probe_{*this};

    std::mutex mutex_;
    std::condition_variable queued_;
    std::queue<std::function<void()>> requests_;
    bool ending_ = false;
    std::thread worker_;
};

}  // namespace tavrin
