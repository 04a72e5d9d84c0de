// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "printsystem/IppPrintJob.h"
#include "printsystem/IppPrinterDescription.h"
#include "printsystem/PrintSpooler.h"

namespace tavrin {

// An IPP printer reached at its own address. Opening it asks nothing; each call connects on
// its own. A job asks the printer for the formats it takes first unless they are known.
class IppPrinterHandle final : public PrinterHandle {
public:
    IppPrinterHandle(IppEndpoint endpoint, std::optional<std::vector<std::string>> knownFormats,
                     DocumentFormatChoice choice, IppTimeouts timeouts);

    bool ok() const override { return error_.empty(); }
    std::string error() const override { return error_; }
    std::optional<std::string> PortName() override { return endpoint_.uri; }
    std::unique_ptr<PrintJob> StartRawDocument(const std::string& documentName) override;
    bool Send(QueueCommand command) override;
    std::optional<std::vector<QueueJob>> Jobs(JobsWanted wanted) override;
    std::optional<QueueStatus> Status(int firstJobId) override;

private:
    std::unique_ptr<CupsConnection> Connect() const;

    IppEndpoint endpoint_;
    std::optional<std::vector<std::string>> knownFormats_;
    DocumentFormatChoice choice_;
    IppTimeouts timeouts_;
    std::string error_;  // why the printer refused a queue command
};

}  // namespace tavrin
