// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <memory>

#include "printsystem/DeviceProbe.h"
#include "printsystem/PrintSpooler.h"

namespace tavrin {

// The print server as a spool run uses it on the run's own thread: connections that no other
// thread uses and that never wait on the window's thread.
class RunPrintServer {
public:
    virtual ~RunPrintServer() = default;
    virtual PrintSpooler& Spooler() = 0;
    virtual DeviceProbe& Probe() = 0;
};

// Makes the connections of one run, on the run's thread, which also ends them.
using RunPrintServerFactory = std::function<std::unique_ptr<RunPrintServer>()>;

}  // namespace tavrin
