// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "printers/PrinterAddress.h"
#include "printers/SocketPrinter.h"
#include "printsystem/DeviceProbe.h"
#include "printsystem/IppPrinters.h"
#include "printsystem/PrintSpooler.h"

namespace tavrin {

// A printer kept by its address, with the name the user gave it and, for a socket (which
// cannot be asked), the technology of its device ("HPGL/2", "PostScript", "Oce 9X00"; empty for
// none).
struct AddressedPrinter {
    std::string name;
    std::string address;
    std::string technology;

    bool operator==(const AddressedPrinter&) const = default;
};

// The print server's queues and, after them, printers reached at their own addresses: each one
// listed, by its name or its address when it has no name. Opening a listed name or any printer
// address opens the printer there; every other name goes to the queues. An IPP printer is asked
// what it is once per run, when it is first probed. Safe to use from several threads. The
// spooler and probe of the queues must outlive this.
class AddressedPrinters {
public:
    AddressedPrinters(PrintSpooler& queues, DeviceProbe& queueProbe,
                      std::vector<AddressedPrinter> printers, SocketTimeouts socketTimeouts = {},
                      IppTimeouts ippTimeouts = {});

    PrintSpooler& Spooler() { return spooler_; }
    DeviceProbe& Probe() { return probe_; }

    // The addressed printer `name` stands for: one of the list, or an address itself; nothing
    // for a queue's name.
    std::optional<AddressedPrinter> Find(const std::string& name) const;

    // The printers listed after the queues; a new list shows from the next PrinterNames().
    std::vector<AddressedPrinter> Printers() const;
    void SetPrinters(std::vector<AddressedPrinter> printers);

private:
    // What the IPP printer at `address` said of itself, asked once per run; nothing while it
    // has not answered.
    std::optional<IppPrinterDescription> Describe(const PrinterAddress& address);
    // What the printer at `address` said, if it has been asked.
    std::optional<IppPrinterDescription> Known(const std::string& address) const;

    class Spooling final : public PrintSpooler {
    public:
        explicit Spooling(AddressedPrinters& owner) : owner_(owner) {}
        std::vector<std::string> PrinterNames() override;
        std::unique_ptr<PrinterHandle> Open(const std::string& printerName) override;
        // The queues' failure fails the list only when no printer by address is on it.
        std::string LastError() const override;

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
    mutable std::mutex mutex_;
    std::vector<AddressedPrinter> printers_;
    SocketTimeouts socketTimeouts_;
    IppTimeouts ippTimeouts_;
    std::map<std::string, IppPrinterDescription> described_;  // by address
    Spooling spooler_{*this};
    Probing probe_{*this};
};

// What an IPP printer is, from what it says of itself: an "Oce 9" make and model is an Oce
// device, one that takes HP-GL/2 a plotter, one that takes PostScript a PostScript printer.
DeviceAnswer DeviceAnswerOfIppPrinter(const std::string& shownName,
                                      const IppPrinterDescription& description);

// Where the IPP printer at `address` is reached.
IppEndpoint IppEndpointOf(const PrinterAddress& address);

}  // namespace tavrin
