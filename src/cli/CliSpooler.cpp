// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/CliSpooler.h"

#include <algorithm>

#include "settings/AddressedPrinterSettings.h"

namespace tavrin::cli {
namespace {

std::vector<AddressedPrinter> Listed(const SettingsLocation& location,
                                     const std::vector<std::string>& given) {
    std::vector<AddressedPrinter> printers = ReadAddressedPrinters(location);
    for (const std::string& name : given) {
        const auto shownAs = [&name](const AddressedPrinter& printer) {
            return (printer.name.empty() ? printer.address : printer.name) == name;
        };
        if (LooksLikePrinterAddress(name) &&
            std::none_of(printers.begin(), printers.end(), shownAs))
            printers.push_back({{}, name, {}});
    }
    return printers;
}

}  // namespace

CliSpooler::CliSpooler(const SettingsLocation& location, const std::optional<std::string>& given)
    : CliSpooler(location, given ? std::vector<std::string>{*given} : std::vector<std::string>{}) {}

CliSpooler::CliSpooler(const SettingsLocation& location, const std::vector<std::string>& given)
    : printers_(*queues_, *queueProbe_, Listed(location, given)) {}

}  // namespace tavrin::cli
