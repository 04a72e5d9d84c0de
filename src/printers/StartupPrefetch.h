#pragma once

#include <exception>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "printsystem/DeviceProbe.h"
#include "printsystem/PrintSpooler.h"

namespace tavrin {

// The print-server work of the window's start-up, begun on a worker thread the moment this is
// made, so that it runs while the window builds its controls: the printer list, then the
// printer the stored index will select, opened (which reads its port) and probed.
//
// Spooler() and Probe() stand in for the real spooler and probe. The first PrinterNames(), the
// first Open() and the first Probe() take the worker's answers, the last two only when they ask
// for the printer the worker chose; every other request goes to the real ones. Each request
// waits for the worker first, so the real spooler and probe are never used by two threads at
// once. Destroying this waits for the worker too.
class StartupPrefetch {
public:
    // `storedPrinterIndex` is called on the worker; it reads the index the settings keep.
    StartupPrefetch(PrintSpooler& spooler, DeviceProbe& probe,
                    std::function<int()> storedPrinterIndex);
    ~StartupPrefetch();
    StartupPrefetch(const StartupPrefetch&) = delete;
    StartupPrefetch& operator=(const StartupPrefetch&) = delete;

    PrintSpooler& Spooler() { return spooler_; }
    DeviceProbe& Probe() { return probe_; }
    // `ready` is called once the worker's answers are there, so that the first requests of
    // Spooler() and Probe() no longer wait: on the worker thread when it ends, or at once when it
    // has ended already. At most one; a later one replaces an earlier one not yet called.
    void WhenReady(std::function<void()> ready);

private:
    // An answer got ready on the worker, or the exception it ended in. Only the first request
    // of its kind may take it, and only when that request asks for what it was got for.
    template <typename T>
    struct OneAnswer {
        std::optional<T> value;
        std::exception_ptr failure;
        bool offered = false;

        std::optional<T> Take(bool wanted) {
            const bool first = !offered;
            offered = true;
            std::optional<T> taken = std::move(value);
            value.reset();
            if (!first || !wanted)
                return std::nullopt;
            if (failure)
                std::rethrow_exception(failure);
            return taken;
        }
    };

    struct Answers {
        OneAnswer<std::vector<std::string>> names;
        std::string printer;  // the device the stored index selects; empty: none
        OneAnswer<std::unique_ptr<PrinterHandle>> handle;
        OneAnswer<DeviceAnswer> probed;
    };

    class PrefetchedSpooler final : public PrintSpooler {
    public:
        explicit PrefetchedSpooler(StartupPrefetch& owner) : owner_(owner) {}
        std::vector<std::string> PrinterNames() override;
        std::unique_ptr<PrinterHandle> Open(const std::string& printerName) override;
        std::string LastError() const override;

    private:
        StartupPrefetch& owner_;
    };

    class PrefetchedProbe final : public DeviceProbe {
    public:
        explicit PrefetchedProbe(StartupPrefetch& owner) : owner_(owner) {}
        DeviceAnswer Probe(const std::string& deviceName) override;

    private:
        StartupPrefetch& owner_;
    };

    Answers Fetch(const std::function<int()>& storedPrinterIndex);
    // Waits for the worker once and keeps its answers.
    Answers& Settled();

    std::mutex readyMutex_;
    bool fetched_ = false;
    std::function<void()> whenReady_;

    PrintSpooler& realSpooler_;
    DeviceProbe& realProbe_;
    std::future<Answers> pending_;
    Answers answers_;
    PrefetchedSpooler spooler_{*this};
    PrefetchedProbe probe_{*this};
};

}  // namespace tavrin
