#pragma once

#include "printsystem/CupsConnection.h"
#include "printsystem/PrintSpooler.h"

namespace tavrin {

// The print spooler on CUPS: queues are printers, their device URI is the port, and a raw job is
// Create-Job plus one Send-Document of format application/vnd.cups-raw.
class CupsPrintSpooler : public PrintSpooler {
public:
    explicit CupsPrintSpooler(CupsTimeouts timeouts = {}) : timeouts_(timeouts) {}

    std::vector<std::string> PrinterNames() override;
    std::unique_ptr<PrinterHandle> Open(const std::string& printerName) override;
    std::string LastError() const override { return lastError_; }

private:
    CupsTimeouts timeouts_;
    std::string lastError_;
};

}  // namespace tavrin
