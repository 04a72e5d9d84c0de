#include <iostream>
#include <string>

#include "cli/CliCommands.h"
#include "cli/CliSpooler.h"
#include "platform/Error.h"
#include "printers/PrinterSelection.h"
#include "printsystem/NetworkBrowse.h"

namespace tavrin::cli {
namespace {

constexpr int kDefaultBrowseSeconds = 3;
constexpr int kLongestBrowseSeconds = 60;

// Nothing without --discover, else how long to browse the network, in seconds.
int BrowseSeconds(const Args& args) {
    if (args.empty())
        return 0;
    const std::string& arg = args[0];
    if (args.size() > 1 || (arg != "--discover" && arg.rfind("--discover=", 0) != 0))
        throw UsageError("printers takes no arguments but --discover[=SECONDS]");
    if (arg == "--discover")
        return kDefaultBrowseSeconds;
    const std::string value = arg.substr(11);
    if (const std::optional<int> seconds = WholeNumberIn(value, 1, kLongestBrowseSeconds))
        return *seconds;
    throw UsageError("--discover takes whole seconds from 1 to " +
                     std::to_string(kLongestBrowseSeconds) + ", not '" + value + "'");
}

}  // namespace

int RunPrinters(const Args& args) {
    const int browseSeconds = BrowseSeconds(args);
    // The printers by address come after the queues, in the same columns.
    CliSpooler printersByAddress(LocateSettings(WindowProgramFile()));
    PrinterSelection selection(printersByAddress.Spooler(), printersByAddress.Probe());
    if (!selection.Catalogue().ReadError().empty())
        throw Error(selection.Catalogue().ReadError());
    const std::vector<std::string>& printers = selection.Printers();
    if (printers.empty() && browseSeconds == 0) {
        std::cerr << "No printer or plotter installed\n";
        return kExitOk;
    }
    for (int index = 0; index < static_cast<int>(printers.size()); ++index) {
        selection.SetPrinterIndex(index);
        selection.RefreshPortAndClass();
        std::cout << index << '\t' << printers[static_cast<std::size_t>(index)] << '\t'
                  << selection.PortName() << '\t' << selection.DeviceClass() << '\n';
    }
    if (browseSeconds == 0)
        return kExitOk;
    // Printers on the network without a queue have no index: -p takes their name.
    for (const NetworkPrinter& found : BrowseNetworkPrinters(browseSeconds * 1000, printers))
        std::cout << "-\t" << found.name << '\t' << found.uri << "\tno queue on the print server\n";
    return kExitOk;
}

}  // namespace tavrin::cli
