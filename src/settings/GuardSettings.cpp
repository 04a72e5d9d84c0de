// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/GuardSettings.h"

#include <system_error>

#include "platform/PrivateProfile.h"
#include "settings/IniNumbers.h"

namespace tavrin {
namespace {

constexpr const char* kSection = "Guard";
constexpr const char* kWrongDevice = "WrongDevice";

}  // namespace

bool ReadWrongDeviceGuard(const SettingsLocation& location) {
    return IniTextToBool(ReadProfileString(location.IniFileName, kSection, kWrongDevice, ""), true);
}

void WriteWrongDeviceGuard(const SettingsLocation& location, bool on) {
    // A folder that cannot be made is reported by the write.
    std::error_code ignored;
    std::filesystem::create_directories(location.IniFileName.parent_path(), ignored);
    WriteProfileString(location.IniFileName, kSection, kWrongDevice, IniBoolText(on));
}

}  // namespace tavrin
