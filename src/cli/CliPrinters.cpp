#include <iostream>

#include "cli/CliCommands.h"
#include "platform/CupsDeviceProbe.h"
#include "platform/CupsPrintSpooler.h"
#include "platform/Error.h"
#include "printers/PrinterSelection.h"

namespace tavrin::cli {

int RunPrinters(const Args& args) {
    if (!args.empty())
        throw UsageError("printers takes no arguments");
    CupsPrintSpooler spooler;
    CupsDeviceProbe probe;
    PrinterSelection selection(spooler, probe);
    if (!selection.Catalogue().ReadError().empty())
        throw Error(selection.Catalogue().ReadError());
    if (selection.Printers().empty()) {
        std::cerr << "No printer or plotter installed\n";
        return kExitOk;
    }
    for (int index = 0; index < static_cast<int>(selection.Printers().size()); ++index) {
        selection.SetPrinterIndex(index);
        selection.RefreshPortAndClass();
        std::cout << index << '\t' << selection.Printers()[static_cast<std::size_t>(index)] << '\t'
                  << selection.PortName() << '\t' << selection.DeviceClass() << '\n';
    }
    return kExitOk;
}

}  // namespace tavrin::cli
