#pragma once

#include <optional>
#include <string>

#include "settings/SettingsLocation.h"
#include "settings/SettingsStore.h"

namespace tavrin {

// The settings a window starts with.
struct StartedSettings {
    StoredSettings values;
    bool firstRun = false;  // the window is then centred when it is first shown
};

// Loads the INI file when it exists. Otherwise (the first run) writes the first-run file with the
// window's design position (`left`, `top`) and returns the first-run values: FromStart 600,
// FromEnd 30, PSPageSize A4, the printer port in the status bar, the set order reversed, the
// cache folder (made) as TempFilesPath; the list mode, the clearing and the start time as a new
// window has them. An Error from writing the first-run file passes on.
StartedSettings StartSettings(const SettingsLocation& location, int left, int top);
// The first-run values, with the window at (`left`, `top`).
StoredSettings FirstRunValues(const SettingsLocation& location, int left, int top);

// The "PS fit to size:" item a page-size text names (A5 .. A0), none for any other text.
std::optional<int> PageSizeItemNamed(const std::string& name);
// The names of the page-size items, by index 0 (A5) .. 5 (A0).
std::string PageSizeItemName(int index);
// The caption of "Fit to page" for a page-size text.
std::string FitToPageCaption(const std::string& pageSize);

// An empty TempFilesPath becomes the cache folder (made when missing).
void FillEmptyTempFilesPath(const SettingsLocation& location, Settings& settings);

}  // namespace tavrin
