#include "printers/PrinterSelection.h"

#include <exception>

#include "platform/StatusPanels.h"
#include "printers/DeviceClass.h"
#include "printers/DeviceName.h"
#include "printers/OptionControls.h"
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

void PrinterSelection::ClassifyPrinter(Form& form) {
    RefreshPortAndClass();
    SetOptionControls(form, ClassOf(deviceClass_));
}

void PrinterSelection::WritePrinterPanel(Form& form) {
    form.StatusBar1().setPanel(status_panel::kPrinter, form.Printertype1().checked()
                                                           ? deviceClass_ + " printertype selected"
                                                           : "Port: " + portName_);
}

void PrinterSelection::PrinterListChange(Form& form, int selectedIndex) {
    if (selectedIndex < 0 || selectedIndex >= catalogue_.Count())
        return;
    printerIndex_ = selectedIndex;
    ClassifyPrinter(form);
    WritePrinterPanel(form);
    if (form.JobAsSet().checked()) {
        form.SmartReplots().setEnabled(false);
        form.PSCollate().setEnabled(false);
    } else if (deviceClass_ == "POSTSCRIPT") {
        form.SmartReplots().setEnabled(true);
        form.PSCollate().setEnabled(true);
    }
}

void PrinterSelection::Printertype1Click(Form& form) {
    form.Printertype1().setChecked(true);
    form.PortinStatusbar1().setChecked(false);
    StatusBar& status = form.StatusBar1();
    status.setPanel(status_panel::kPrinter, "");
    try {
        status.setPanel(status_panel::kPrinter, ProbeDeviceClass() + " printertype selected");
    } catch (const std::exception&) {
        status.setPanel(status_panel::kPrinter, "Invalid or unknown driver");
    }
}

void PrinterSelection::PortinStatusbar1Click(Form& form) {
    form.Printertype1().setChecked(false);
    form.PortinStatusbar1().setChecked(true);
    form.StatusBar1().setPanel(status_panel::kPrinter, "");
    form.StatusBar1().setPanel(status_panel::kPrinter, "Port: " + portName_);
}

bool PrinterSelection::SelectStartupPrinter(Form& form, int storedIndex) {
    printerIndex_ = storedIndex;
    if (catalogue_.Count() == 0) {
        form.ShowMessage(
            "No printer or plotter installed\rInstall a driver before you use this program");
        return false;
    }
    printerIndex_ = StartupPrinterIndex(storedIndex, catalogue_.Count());
    return true;
}

void PrinterSelection::ClassifyAtStartup(Form& form) {
    if (catalogue_.Count() == 0)
        return;
    ClassifyPrinter(form);
    WritePrinterPanel(form);
}

}  // namespace tavrin
