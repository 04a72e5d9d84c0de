#include "printers/PrinterSelection.h"

#include <exception>

#include "printers/DeviceClass.h"
#include "printers/DeviceName.h"
#include "printers/ProbeDeviceClass.h"
#include "printers/StartupPrinterIndex.h"

namespace tavrin {
std::string ReadPortName(PrinterHandle& printer) {
    if (!printer.ok())
        return {};
    return printer.PortName().value_or(std::string());
}

PrinterSelection::PrinterSelection(PrintSpooler& spooler, DeviceProbe& probe)
    : spooler_(spooler), probe_(probe), catalogue_(spooler) {}

std::string PrinterSelection::PrinterName() const {
    if (printerIndex_ < 0 || printerIndex_ >= catalogue_.Count())
        return {};
    return DeviceNameOf(catalogue_.Names()[static_cast<std::size_t>(printerIndex_)]);
}

std::unique_ptr<PrinterHandle> PrinterSelection::OpenSelectedPrinter() {
    return spooler_.Open(PrinterName());
}

std::string PrinterSelection::ProbeDeviceClass() {
    deviceName_ = PrinterName();
    formats_.reset();  // a probe that throws leaves none of the printer before
    const DeviceAnswer answer = probe_.Probe(deviceName_);
    formats_ = answer.documentFormats;
    return DeviceClassOf(answer);
}

void PrinterSelection::RefreshPortAndClass() {
    portName_ = ReadPortName(*OpenSelectedPrinter());
    try {
        deviceClass_ = ProbeDeviceClass();
    } catch (const std::exception&) {
        deviceClass_ = kInvalidDeviceClass;
    }
}

bool PrinterSelection::Choose(int selectedIndex) {
    if (selectedIndex < 0 || selectedIndex >= catalogue_.Count())
        return false;
    printerIndex_ = selectedIndex;
    RefreshPortAndClass();
    return true;
}

std::string PrinterSelection::PrinterPanelText(bool showType) const {
    return showType ? deviceClass_ + " printertype selected" : "Port: " + portName_;
}

std::string PrinterSelection::ProbedTypeText() {
    try {
        return ProbeDeviceClass() + " printertype selected";
    } catch (const std::exception&) {
        return "Invalid or unknown driver";
    }
}

bool PrinterSelection::SelectStartupPrinter(int storedIndex) {
    printerIndex_ = storedIndex;
    if (catalogue_.Count() == 0)
        return false;
    printerIndex_ = StartupPrinterIndex(storedIndex, catalogue_.Count());
    return true;
}

}  // namespace tavrin
