// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "printers/AddressedPrinters.h"
#include "printsystem/SystemSpooler.h"
#include "settings/SettingsLocation.h"

namespace tavrin::cli {

// The printers a command sees: the print server's queues and, after them, the printers by
// address that the window's INI file keeps, then `given` (a -p argument) when it is an address
// none of those is listed as.
class CliSpooler {
public:
    explicit CliSpooler(const SettingsLocation& location,
                        const std::optional<std::string>& given = std::nullopt);
    // The same with several printers given (hot folders' printers).
    CliSpooler(const SettingsLocation& location, const std::vector<std::string>& given);
    CliSpooler(const CliSpooler&) = delete;
    CliSpooler& operator=(const CliSpooler&) = delete;

    PrintSpooler& Spooler() { return printers_.Spooler(); }
    DeviceProbe& Probe() { return printers_.Probe(); }

private:
    std::unique_ptr<PrintSpooler> queues_ = MakeSystemSpooler();
    std::unique_ptr<DeviceProbe> queueProbe_ = MakeSystemDeviceProbe();
    AddressedPrinters printers_;
};

}  // namespace tavrin::cli
