// SPDX-License-Identifier: GPL-3.0-or-later
// IPP printers by address are spoken to through libcups, which a build for Windows has not: such
// a printer is refused with the reason, and a socket:// address is the way to a device there.
#include "printsystem/IppPrinters.h"
#include "printsystem/RefusedPrintJob.h"

namespace tavrin {

namespace {

const char* const kNoIpp =
    "IPP printers by address need CUPS, which Tavrin for Windows has not; add the printer to "
    "Windows, or reach the device as socket://HOST[:PORT]";

class NoIppPrinter final : public PrinterHandle {
public:
    explicit NoIppPrinter(std::string uri) : uri_(std::move(uri)) {}
    bool ok() const override { return false; }
    std::string error() const override { return kNoIpp; }
    std::optional<std::string> PortName() override { return uri_; }
    std::unique_ptr<PrintJob> StartRawDocument(const std::string&) override {
        return std::make_unique<RefusedPrintJob>(kNoIpp);
    }
    bool Send(QueueCommand) override { return false; }
    std::optional<std::vector<QueueJob>> Jobs(JobsWanted) override { return std::nullopt; }
    std::optional<QueueStatus> Status(int) override { return std::nullopt; }

private:
    std::string uri_;
};

}  // namespace

std::optional<IppPrinterDescription> DescribeIppPrinter(const IppEndpoint&, const CupsTimeouts&) {
    return std::nullopt;
}

std::unique_ptr<PrinterHandle> OpenIppPrinter(IppEndpoint endpoint,
                                              std::optional<std::vector<std::string>>,
                                              DocumentFormatChoice, IppTimeouts) {
    return std::make_unique<NoIppPrinter>(std::move(endpoint.uri));
}

}  // namespace tavrin
