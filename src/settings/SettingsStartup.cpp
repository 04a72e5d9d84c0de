#include "settings/SettingsStartup.h"

#include <array>
#include <string_view>
#include <system_error>

#include "settings/SearchWindows.h"
#include "settings/SettingsStore.h"

namespace tavrin {

namespace {

constexpr std::array<std::string_view, 6> kPageSizeNames = {"A5", "A4", "A3", "A2", "A1", "A0"};

bool IniFileExists(const SettingsLocation& location) {
    std::error_code error;
    return std::filesystem::is_regular_file(location.IniFileName, error);
}

}  // namespace

StoredSettings FirstRunValues(const SettingsLocation& location, int left, int top) {
    StoredSettings values;
    values.plain.xpos = left;
    values.plain.ypos = top;
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

StartedSettings StartSettings(const SettingsLocation& location, int left, int top) {
    StartedSettings started;
    started.firstRun = !IniFileExists(location);
    if (!started.firstRun) {
        started.values = ReadStoredSettings(location);
        return started;
    }
    Settings position;
    position.xpos = left;
    position.ypos = top;
    WriteDefaultSettings(location, position);
    CreateCacheFolder(location);
    started.values = FirstRunValues(location, left, top);
    return started;
}

std::optional<int> PageSizeItemNamed(const std::string& name) {
    for (std::size_t i = 0; i < kPageSizeNames.size(); ++i)
        if (name == kPageSizeNames[i])
            return static_cast<int>(i);
    return std::nullopt;
}

std::string PageSizeItemName(int index) {
    return std::string(kPageSizeNames.at(static_cast<std::size_t>(index)));
}

std::string FitToPageCaption(const std::string& pageSize) {
    return "Fit to page: " + pageSize;
}

void FillEmptyTempFilesPath(const SettingsLocation& location, Settings& settings) {
    if (!settings.TempFilesPath.empty())
        return;
    CreateCacheFolder(location);
    settings.TempFilesPath = location.CacheFolder;
}

}  // namespace tavrin
