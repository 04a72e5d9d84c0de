#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "printers/PrinterCatalogue.h"
#include "printsystem/DeviceProbe.h"
#include "printsystem/PrintSpooler.h"

namespace tavrin {

// The port a printer is reached through; empty when it cannot be read.
std::string ReadPortName(PrinterHandle& printer);

// The installed printers and the selected one: its index, device name, port and DeviceClass,
// and the commands that change them. Lives as long as the main window.
class PrinterSelection {
public:
    PrinterSelection(PrintSpooler& spooler, DeviceProbe& probe);
    // Without asking the spooler yet: the list stays empty until ReadCatalogue.
    struct ReadLater {};
    PrinterSelection(PrintSpooler& spooler, DeviceProbe& probe, ReadLater)
        : spooler_(spooler), probe_(probe) {}
    void ReadCatalogue() { catalogue_.Read(spooler_); }

    const std::vector<std::string>& Printers() const { return catalogue_.Names(); }
    const PrinterCatalogue& Catalogue() const { return catalogue_; }
    int PrinterIndex() const { return printerIndex_; }
    const std::string& DeviceName() const { return deviceName_; }
    const std::string& PortName() const { return portName_; }
    const std::string& DeviceClass() const { return deviceClass_; }
    // The document formats the selected printer said it reads at its last probe; nothing when
    // it said nothing.
    const std::optional<std::vector<std::string>>& DeviceFormats() const { return formats_; }

    // The spooler's name of the selected printer (the list entry without a port); empty when
    // the index selects no printer.
    std::string PrinterName() const;
    // Makes `index` the selected printer without classifying it.
    void SetPrinterIndex(int index) { printerIndex_ = index; }

    // Opens the selected printer for queue commands; the handle's ok() tells whether it opened.
    std::unique_ptr<PrinterHandle> OpenSelectedPrinter();
    // Probes the selected printer afresh: updates DeviceName and returns its DeviceClass.
    // Errors of the probe pass through.
    std::string ProbeDeviceClass();
    // Reads PortName and DeviceClass of the selected printer ("Invalid or unknown" when the
    // probe fails).
    void RefreshPortAndClass();

    // The printer box's choice (-1: none): makes it the selected printer and reads its port and
    // class. False when the index selects no printer: then nothing changes.
    bool Choose(int selectedIndex);
    // The text of the printer panel: the printer type or the port, as the menu says.
    std::string PrinterPanelText(bool showType) const;
    // The printer type probed afresh, as the printer panel shows it.
    std::string ProbedTypeText();

    // Start-up, before the printer box is filled: false when no printer is installed (the
    // front end says so); otherwise selects the stored index (the first printer when it is out
    // of range).
    bool SelectStartupPrinter(int storedIndex);

    static constexpr const char* kNoPrinterInstalled =
        "No printer or plotter installed\rInstall a driver before you use this program";

private:
    PrintSpooler& spooler_;
    DeviceProbe& probe_;
    PrinterCatalogue catalogue_;
    int printerIndex_ = 0;
    std::string deviceName_;
    std::string portName_;
    std::string deviceClass_;
    std::optional<std::vector<std::string>> formats_;
};

}  // namespace tavrin
