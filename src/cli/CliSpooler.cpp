// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/CliSpooler.h"

#include <algorithm>

#include "settings/AddressedPrinterSettings.h"

namespace tavrin::cli {
namespace {

std::vector<AddressedPrinter> Listed(const SettingsLocation& location,
                                     const std::optional<std::string>& given) {
    std::vector<AddressedPrinter> printers = ReadAddressedPrinters(location);
    const auto shownAs = [&given](const AddressedPrinter& printer) {
        return (printer.name.empty() ? printer.address : printer.name) == *given;
    };
    if (given && LooksLikePrinterAddress(*given) &&
        std::none_of(printers.begin(), printers.end(), shownAs))
        printers.push_back({{}, *given, {}});
    return printers;
}

}  // namespace

CliSpooler::CliSpooler(const SettingsLocation& location, const std::optional<std::string>& given)
    : printers_(*queues_, *queueProbe_, Listed(location, given)) {}

}  // namespace tavrin::cli
