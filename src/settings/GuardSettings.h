// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "settings/SettingsLocation.h"

namespace tavrin {

// Whether a run warns before sending files to a device that cannot read them: the INI file's
// section [Guard], key WrongDevice; on unless the user turned it off (WrongDevice=0).
bool ReadWrongDeviceGuard(const SettingsLocation& location);

// Writes the key, leaving every other line of the file as it was. Throws Error
// "Unable to write to <path>".
void WriteWrongDeviceGuard(const SettingsLocation& location, bool on);

}  // namespace tavrin
