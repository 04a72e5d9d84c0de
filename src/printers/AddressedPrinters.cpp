// SPDX-License-Identifier: GPL-3.0-or-later
#include "printers/AddressedPrinters.h"

#include "platform/Error.h"

namespace tavrin {
namespace {

// A job at an address that cannot be used: refused from the start.
class RefusedJob final : public PrintJob {
public:
    explicit RefusedJob(std::string error) : error_(std::move(error)) {}
    bool ok() const override { return false; }
    std::string error() const override { return error_; }
    std::size_t Write(const char*, std::size_t) override { return 0; }
    bool Finish() override { return false; }
    void Cancel() override {}
    int id() const override { return 0; }

private:
    std::string error_;
};

// A handle for an address that cannot be used.
class UnusableAddress final : public PrinterHandle {
public:
    explicit UnusableAddress(std::string error) : error_(std::move(error)) {}
    bool ok() const override { return false; }
    std::string error() const override { return error_; }
    std::optional<std::string> PortName() override { return std::nullopt; }
    std::unique_ptr<PrintJob> StartRawDocument(const std::string&) override {
        return std::make_unique<RefusedJob>(error_);
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

}  // namespace

AddressedPrinters::AddressedPrinters(PrintSpooler& queues, DeviceProbe& queueProbe,
                                     std::vector<AddressedPrinter> printers,
                                     SocketTimeouts timeouts)
    : queues_(queues),
      queueProbe_(queueProbe),
      printers_(std::move(printers)),
      timeouts_(timeouts) {}

std::optional<AddressedPrinter> AddressedPrinters::Find(const std::string& name) const {
    for (const AddressedPrinter& printer : printers_)
        if (ShownName(printer) == name)
            return printer;
    if (LooksLikePrinterAddress(name))
        return AddressedPrinter{{}, name, {}};
    return std::nullopt;
}

std::vector<std::string> AddressedPrinters::Spooling::PrinterNames() {
    std::vector<std::string> names = owner_.queues_.PrinterNames();
    for (const AddressedPrinter& printer : owner_.printers_)
        names.push_back(ShownName(printer));
    return names;
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
        return std::make_unique<SocketPrinter>(*address, owner_.timeouts_);
    return std::make_unique<UnusableAddress>("IPP printers by address are not supported yet");
}

DeviceAnswer AddressedPrinters::Probing::Probe(const std::string& deviceName) {
    const auto printer = owner_.Find(deviceName);
    if (!printer)
        return owner_.queueProbe_.Probe(deviceName);
    DeviceAnswer answer{ShownName(*printer), std::nullopt};
    if (!printer->technology.empty())
        answer.technology = printer->technology;
    return answer;
}

}  // namespace tavrin
