// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/DeviceProbe.h"
#include "platform/PrintSpooler.h"
#include "printers/PrinterAddress.h"
#include "printers/SocketPrinter.h"

namespace tavrin {

// A printer kept by its address, with the name the user gave it and, for a socket (which
// cannot be asked), the technology of its device ("HPGL/2", "PostScript"; empty for none).
struct AddressedPrinter {
    std::string name;
    std::string address;
    std::string technology;

    bool operator==(const AddressedPrinter&) const = default;
};

// The print server's queues and, after them, printers reached at their own addresses: each one
// listed, by its name or its address when it has no name. Opening a listed name or any printer
// address opens the printer there; every other name goes to the queues. The spooler and probe
// of the queues must outlive this.
class AddressedPrinters {
public:
    AddressedPrinters(PrintSpooler& queues, DeviceProbe& queueProbe,
                      std::vector<AddressedPrinter> printers, SocketTimeouts timeouts = {});

    PrintSpooler& Spooler() { return spooler_; }
    DeviceProbe& Probe() { return probe_; }

    // The addressed printer `name` stands for: one of the list, or an address itself; nothing
    // for a queue's name.
    std::optional<AddressedPrinter> Find(const std::string& name) const;

private:
    class Spooling final : public PrintSpooler {
    public:
        explicit Spooling(AddressedPrinters& owner) : owner_(owner) {}
        std::vector<std::string> PrinterNames() override;
        std::unique_ptr<PrinterHandle> Open(const std::string& printerName) override;
        std::string LastError() const override { return owner_.queues_.LastError(); }

    private:
        AddressedPrinters& owner_;
    };
    class Probing final : public DeviceProbe {
    public:
        explicit Probing(AddressedPrinters& owner) : owner_(owner) {}
        DeviceAnswer Probe(const std::string& deviceName) override;

    private:
        AddressedPrinters& owner_;
    };

    PrintSpooler& queues_;
    DeviceProbe& queueProbe_;
    std::vector<AddressedPrinter> printers_;
    SocketTimeouts timeouts_;
    Spooling spooler_{*this};
    Probing probe_{*this};
};

}  // namespace tavrin
