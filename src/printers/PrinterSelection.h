#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/DeviceProbe.h"
#include "platform/Form.h"
#include "platform/PrintSpooler.h"
#include "printers/PrinterCatalogue.h"

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

    // RefreshPortAndClass, then sets the option controls for the printer's class.
    void ClassifyPrinter(Form& form);
    // The printer box's change event; `selectedIndex` is its selected item (-1: none).
    void PrinterListChange(Form& form, int selectedIndex);
    void Printertype1Click(Form& form);
    void PortinStatusbar1Click(Form& form);

    // Start-up, before the printer box is filled: with no printer installed, shows the message
    // and returns false; otherwise selects the stored index (the first printer when it is out
    // of range) and returns true. The window then fills its printer box from Printers() and
    // shows the entry at PrinterIndex().
    bool SelectStartupPrinter(Form& form, int storedIndex);
    // Later in the start-up: classifies the selected printer and writes the printer panel.
    // Does nothing when no printer is installed.
    void ClassifyAtStartup(Form& form);

    // The printer panel's text: the printer type or the port, as the menu says.
    void WritePrinterPanel(Form& form);

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
