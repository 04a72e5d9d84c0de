// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "printsystem/DeviceProbe.h"
#include "printsystem/PrintSpooler.h"

namespace tavrin {

// The print spooler on Windows: the printers EnumPrinters lists (level 2, the local ones and
// the connections), the port GetPrinter gives, RAW documents through StartDocPrinter and
// WritePrinter, pause, resume and purge through SetPrinter, and the queue read with EnumJobs
// (or, where the spooler lists no queue, each job asked for with GetJob). The spooler forgets a
// job once it has printed it, so a job this program started that it no longer has counts as
// printed.
class WinPrintSpooler : public PrintSpooler {
public:
    std::vector<std::string> PrinterNames() override;
    std::unique_ptr<PrinterHandle> Open(const std::string& printerName) override;
    std::string LastError() const override { return lastError_; }

private:
    std::string lastError_;
};

// The driver's technology: a device context for the printer (CreateDC), then ExtEscape with
// QUERYESCSUPPORT for GETTECHNOLOGY and, when the driver supports it, GETTECHNOLOGY itself.
class WinDeviceProbe : public DeviceProbe {
public:
    DeviceAnswer Probe(const std::string& deviceName) override;
};

}  // namespace tavrin
