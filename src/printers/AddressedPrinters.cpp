// SPDX-License-Identifier: GPL-3.0-or-later
#include "printers/AddressedPrinters.h"

#include <algorithm>

#include "platform/Error.h"
#include "printers/DeviceClass.h"
#include "printers/PrintLanguage.h"
#include "printsystem/IppPrinters.h"
#include "printsystem/RefusedPrintJob.h"

namespace tavrin {
namespace {

// A handle for an address that cannot be used.
class UnusableAddress final : public PrinterHandle {
public:
    explicit UnusableAddress(std::string error) : error_(std::move(error)) {}
    bool ok() const override { return false; }
    std::string error() const override { return error_; }
    std::optional<std::string> PortName() override { return std::nullopt; }
    std::unique_ptr<PrintJob> StartRawDocument(const std::string&) override {
        return std::make_unique<RefusedPrintJob>(error_);
    }
    bool Send(QueueCommand) override { return false; }
    std::optional<std::vector<QueueJob>> Jobs(JobsWanted) override { return std::nullopt; }
    std::optional<QueueStatus> Status(int) override { return std::nullopt; }

private:
    std::string error_;
};

const std::string& ShownName(const AddressedPrinter& printer) {
    return printer.name.empty() ? printer.address : printer.name;
}

// The document-format a document goes as, from its first bytes.
DocumentFormatChoice FormatFromLanguage() {
    return {kLanguageHeadBytes,
            [](std::string_view head, const std::vector<std::string>& supported) {
                return DocumentFormatFor(DetectPrintLanguage(head).language, supported);
            }};
}

bool Takes(const IppPrinterDescription& description, const std::string& format) {
    const auto& formats = description.documentFormats;
    return std::find(formats.begin(), formats.end(), format) != formats.end();
}

}  // namespace

DeviceAnswer DeviceAnswerOfIppPrinter(const std::string& shownName,
                                      const IppPrinterDescription& description) {
    if (description.makeAndModel.compare(0, 5, "Oce 9") == 0)
        return {description.makeAndModel, std::nullopt, description.documentFormats};
    DeviceAnswer answer{shownName, std::nullopt, description.documentFormats};
    if (Takes(description, "application/vnd.hp-hpgl"))
        answer.technology = "HPGL/2";
    else if (Takes(description, "application/postscript"))
        answer.technology = "PostScript";
    return answer;
}

IppEndpoint IppEndpointOf(const PrinterAddress& address) {
    return {address.text, address.host, address.port, address.resource,
            address.scheme == PrinterAddress::Scheme::Ipps};
}

AddressedPrinters::AddressedPrinters(PrintSpooler& queues, DeviceProbe& queueProbe,
                                     std::vector<AddressedPrinter> printers,
                                     SocketTimeouts socketTimeouts, IppTimeouts ippTimeouts)
    : queues_(queues),
      queueProbe_(queueProbe),
      printers_(std::move(printers)),
      socketTimeouts_(socketTimeouts),
      ippTimeouts_(ippTimeouts) {}

std::optional<IppPrinterDescription> AddressedPrinters::Known(const std::string& address) const {
    std::lock_guard lock(mutex_);
    const auto known = described_.find(address);
    return known == described_.end() ? std::nullopt : std::optional(known->second);
}

std::optional<IppPrinterDescription> AddressedPrinters::Describe(const PrinterAddress& address) {
    if (auto known = Known(address.text))
        return known;
    const auto description = DescribeIppPrinter(IppEndpointOf(address), ippTimeouts_.connection);
    if (description) {
        std::lock_guard lock(mutex_);
        described_[address.text] = *description;
    }
    return description;
}

std::vector<AddressedPrinter> AddressedPrinters::Printers() const {
    std::lock_guard lock(mutex_);
    return printers_;
}

void AddressedPrinters::SetPrinters(std::vector<AddressedPrinter> printers) {
    std::lock_guard lock(mutex_);
    printers_ = std::move(printers);
}

std::optional<AddressedPrinter> AddressedPrinters::Find(const std::string& name) const {
    std::lock_guard lock(mutex_);
    for (const AddressedPrinter& printer : printers_)
        if (ShownName(printer) == name)
            return printer;
    if (LooksLikePrinterAddress(name))
        return AddressedPrinter{{}, name, {}};
    return std::nullopt;
}

std::vector<std::string> AddressedPrinters::Spooling::PrinterNames() {
    std::vector<std::string> names = owner_.queues_.PrinterNames();
    for (const AddressedPrinter& printer : owner_.Printers())
        names.push_back(ShownName(printer));
    return names;
}

std::string AddressedPrinters::Spooling::LastError() const {
    return owner_.Printers().empty() ? owner_.queues_.LastError() : std::string();
}

std::unique_ptr<PrinterHandle> AddressedPrinters::Spooling::Open(const std::string& printerName) {
    const auto printer = owner_.Find(printerName);
    if (!printer)
        return owner_.queues_.Open(printerName);
    const auto address = ParsePrinterAddress(printer->address);
    if (!address)
        return std::make_unique<UnusableAddress>(
            FormatMessage("'%s' is no printer address", printer->address) +
            " (ipp://HOST[:PORT]/PATH, ipps://... or socket://HOST[:PORT])");
    if (address->scheme == PrinterAddress::Scheme::Socket)
        return std::make_unique<SocketPrinter>(*address, owner_.socketTimeouts_);
    std::optional<std::vector<std::string>> formats;
    if (const auto known = owner_.Known(address->text))
        formats = known->documentFormats;
    return OpenIppPrinter(IppEndpointOf(*address), std::move(formats), FormatFromLanguage(),
                          owner_.ippTimeouts_);
}

DeviceAnswer AddressedPrinters::Probing::Probe(const std::string& deviceName) {
    const auto printer = owner_.Find(deviceName);
    if (!printer)
        return owner_.queueProbe_.Probe(deviceName);
    const auto address = ParsePrinterAddress(printer->address);
    if (address && address->scheme != PrinterAddress::Scheme::Socket) {
        if (const auto description = owner_.Describe(*address))
            return DeviceAnswerOfIppPrinter(ShownName(*printer), *description);
        return {ShownName(*printer), std::nullopt};
    }
    DeviceAnswer answer{ShownName(*printer), std::nullopt};
    // An Oce device is known by its name, not by a driver's technology.
    if (printer->technology == kOceDeviceClass)
        answer.description = kOceDeviceClass;
    else if (!printer->technology.empty())
        answer.technology = printer->technology;
    return answer;
}

}  // namespace tavrin
