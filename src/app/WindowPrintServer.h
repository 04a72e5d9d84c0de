#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "app/RunPrintServer.h"
#include "printers/AddressedPrinters.h"
#include "printers/ServerCallsOffThread.h"
#include "printers/StartupPrefetch.h"
#include "printsystem/SystemSpooler.h"
#include "spool/JobWatch.h"

namespace tavrin {

// Waits on the window's thread by handling its events, all but the user's input and the sockets
// (a hand-over from a later start, a signal to close): the window paints, its timers run, and
// clicks made meanwhile come in their order once the wait is over. A wait the user may notice
// shows the busy cursor.
class PaintingWait final : public WaitingCaller {
public:
    void WaitUntil(const std::function<bool()>& done) override;
    void Wake() override;
    // Whether the window's thread is inside a wait now.
    static bool Waiting() { return depth_ > 0; }

private:
    static inline int depth_ = 0;
};

// The print server as the window uses it, with the printers by address after its queues: what
// the start-up needs is asked for at once on a worker, and every request after that, to a queue
// or to a printer by address, runs on a worker too while the window keeps painting.
class WindowPrintServer {
public:
    // `storedPrinterIndex` is called on the worker; it reads the index the settings keep.
    WindowPrintServer(CupsTimeouts timeouts, std::function<int()> storedPrinterIndex,
                      std::vector<AddressedPrinter> printersByAddress = {});

    PrintSpooler& Spooler() { return calls_.Spooler(); }
    DeviceProbe& Probe() { return calls_.Probe(); }
    // The printers by address; a new list shows from the next printer list read.
    AddressedPrinters& ByAddress() { return byAddress_; }
    StartupPrefetch& Prefetch() { return prefetch_; }
    // Follows the jobs the window sends, with connections of its own.
    JobWatch& Watch() { return watch_; }
    // Connections of its own for each spool run, to the queues and the printers by address as
    // the window lists them at each use; none of its requests waits on the window's thread.
    RunPrintServerFactory RunConnections();

private:
    CupsTimeouts timeouts_;
    std::unique_ptr<PrintSpooler> spooler_;
    std::unique_ptr<DeviceProbe> probe_;
    AddressedPrinters byAddress_;
    StartupPrefetch prefetch_;
    PaintingWait wait_;
    ServerCallsOffThread calls_;
    JobWatch watch_;
};

}  // namespace tavrin
