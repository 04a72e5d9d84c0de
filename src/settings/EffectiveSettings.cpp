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

}  // namespace

StoredSettings ReadEffectiveSettings(const SettingsLocation& location) {
    std::error_code error;
    StoredSettings values = std::filesystem::is_regular_file(location.IniFileName, error)
                                ? ReadStoredSettings(location)
                                : FirstRunValues(location, kDesignLeft, kDesignTop);
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
