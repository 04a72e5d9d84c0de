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

bool StartSettings(const SettingsLocation& location, Settings& settings, Form& form) {
    const bool firstRun = !IniFileExists(location);
    if (firstRun) {
        settings.xpos = form.Left();
        settings.ypos = form.Top();
        WriteDefaultSettings(location, settings);
        ApplyFirstRunSettings(location, settings, form);
    } else {
        LoadSettings(location, settings, form);
    }
    ApplyPageSizeSetting(settings, form);
    form.MoveTo(settings.xpos, settings.ypos);
    return firstRun;
}

void ApplyFirstRunSettings(const SettingsLocation& location, Settings& settings, Form& form) {
    settings.FromStart = kFromStartFirstRun;
    settings.FromEnd = kFromEndFirstRun;
    settings.PSPageSize = "A4";
    form.Printertype1().setChecked(false);
    form.PortinStatusbar1().setChecked(true);
    form.Reverseset1().setChecked(true);
    CreateCacheFolder(location);
    settings.TempFilesPath = location.CacheFolder;
}

void ApplyPageSizeSetting(const Settings& settings, Form& form) {
    for (std::size_t i = 0; i < kPageSizeNames.size(); ++i) {
        if (settings.PSPageSize != kPageSizeNames[i])
            continue;
        const int match = static_cast<int>(i);
        form.PageSizeItem(match).setChecked(true);
        for (int other = 0; other < static_cast<int>(kPageSizeNames.size()); ++other) {
            if (other != match)
                form.PageSizeItem(other).setChecked(false);
        }
        break;
    }
    form.FitToPage().setCaption("Fit to page: " + settings.PSPageSize);
}

void FillEmptyTempFilesPath(const SettingsLocation& location, Settings& settings) {
    if (!settings.TempFilesPath.empty())
        return;
    CreateCacheFolder(location);
    settings.TempFilesPath = location.CacheFolder;
}

}  // namespace tavrin
