#pragma once

#include <string>

#include "settings/SearchWindows.h"
#include "settings/SettingsLocation.h"
#include "settings/SettingsStore.h"

namespace tavrin {

// The values the window holds after its start-up, worked out without a window and without
// writing anything: the file's values when it exists, else the first-run values in memory
// (with the controls' initial states: Add mode off, list not cleared, 12:00). An empty
// TempFilesPath becomes the cache folder. PrinterIndex is the stored index.
StoredSettings ReadEffectiveSettings(const SettingsLocation& location);

// What tavrin-cli takes from the window's settings when its flags do not say otherwise.
struct CliDefaults {
    int PrinterIndex = 0;  // into the printer list, with the start-up rule for bad indexes
    std::string TempFilesPath;
    int FromStart = kFromStartFirstRun;
    int FromEnd = kFromEndFirstRun;
    std::string PSPageSize = "A4";
};

CliDefaults ReadCliDefaults(const SettingsLocation& location, int printerCount);

}  // namespace tavrin
