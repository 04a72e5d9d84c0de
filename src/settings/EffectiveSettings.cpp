#include "settings/EffectiveSettings.h"

#include <system_error>

#include "printers/StartupPrinterIndex.h"
#include "settings/SearchWindows.h"
#include "settings/SettingsStartup.h"

namespace tavrin {

namespace {

// The window's design position, which a first run writes.
constexpr int kDesignLeft = 273;
constexpr int kDesignTop = 173;

StoredSettings FirstRunValues(const SettingsLocation& location) {
    StoredSettings values;
    values.plain.xpos = kDesignLeft;
    values.plain.ypos = kDesignTop;
    values.plain.PrinterIndex = 0;
    values.plain.FromStart = kFromStartFirstRun;
    values.plain.FromEnd = kFromEndFirstRun;
    values.plain.PSPageSize = "A4";
    values.plain.TempFilesPath = location.CacheFolder;
    values.AddMode = false;
    values.ClearAfterSpool = false;
    values.ShowPrinterType = false;
    values.ReverseSet = true;
    values.Hours = 12;
    values.Minutes = 0;
    return values;
}

}  // namespace

StoredSettings ReadEffectiveSettings(const SettingsLocation& location) {
    std::error_code error;
    StoredSettings values = std::filesystem::is_regular_file(location.IniFileName, error)
                                ? ReadStoredSettings(location)
                                : FirstRunValues(location);
    FillEmptyTempFilesPath(location, values.plain);
    if (values.plain.TempFilesPath == location.CacheFolder)
        CreateCacheFolder(location);
    return values;
}

CliDefaults ReadCliDefaults(const SettingsLocation& location, int printerCount) {
    const Settings plain = ReadEffectiveSettings(location).plain;
    CliDefaults defaults;
    defaults.PrinterIndex = StartupPrinterIndex(plain.PrinterIndex, printerCount);
    defaults.TempFilesPath = plain.TempFilesPath;
    defaults.FromStart = plain.FromStart;
    defaults.FromEnd = plain.FromEnd;
    defaults.PSPageSize = plain.PSPageSize;
    return defaults;
}

}  // namespace tavrin
