// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/AddressedPrinterSettings.h"

#include <algorithm>
#include <system_error>

#include "platform/PrivateProfile.h"
#include "settings/IniNumbers.h"

namespace tavrin {
namespace {

constexpr const char* kSection = "PrintersByAddress";
// More entries than anyone keeps: a damaged Count cannot make the start-up read for long.
constexpr int kMostEntries = 1000;

std::string Key(const char* stem, std::size_t index) {
    return stem + std::to_string(index + 1);
}

}  // namespace

std::vector<AddressedPrinter> ReadAddressedPrinters(const SettingsLocation& location) {
    const auto read = [&location](const std::string& key) {
        return ReadProfileString(location.IniFileName, kSection, key, "");
    };
    const int count = std::clamp(IniTextToInt(read("Count"), 0), 0, kMostEntries);
    std::vector<AddressedPrinter> printers;
    for (std::size_t i = 0; i < static_cast<std::size_t>(count); ++i) {
        AddressedPrinter printer{read(Key("Name", i)), read(Key("Address", i)),
                                 read(Key("Class", i))};
        if (!printer.address.empty())
            printers.push_back(std::move(printer));
    }
    return printers;
}

void WriteAddressedPrinters(const SettingsLocation& location,
                            const std::vector<AddressedPrinter>& printers) {
    // A folder that cannot be made is reported by the write.
    std::error_code ignored;
    std::filesystem::create_directories(location.IniFileName.parent_path(), ignored);
    std::vector<ProfileEntry> entries{
        {kSection, "Count", IniIntText(static_cast<int>(printers.size()))}};
    for (std::size_t i = 0; i < printers.size(); ++i) {
        entries.push_back({kSection, Key("Name", i), printers[i].name});
        entries.push_back({kSection, Key("Address", i), printers[i].address});
        entries.push_back({kSection, Key("Class", i), printers[i].technology});
    }
    WriteProfileStrings(location.IniFileName, entries);
}

}  // namespace tavrin
