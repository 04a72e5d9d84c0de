#pragma once

#include "settings/Settings.h"
#include "settings/SettingsLocation.h"

namespace tavrin {

// Every value of the settings file: the plain variables and the list mode, the menu check marks
// and the start time that a window shows in its controls.
struct StoredSettings {
    Settings plain;
    bool AddMode = false;
    bool ClearAfterSpool = false;
    bool ShowPrinterType = false;
    bool ReverseSet = false;
    int Hours = 12;
    int Minutes = 30;
};

// Reads every key in the order xpos, ypos, Printer#, TempFilesPath, PlotFilesPath, FromStart,
// FromEnd, PSPageSize, AddMode, ClearAfterSpool, ShowPrinterType, ReverseSet, Hours, Minutes;
// an absent key or a text that is not a number gives the key's default. Never writes.
StoredSettings ReadStoredSettings(const SettingsLocation& location);

// Writes the first-run file: the window position from `settings`, the home folder as
// TempFilesPath, Printer# -1, FromStart 600, FromEnd 30, PSPageSize A4, AddMode 0,
// ClearAfterSpool 0, ShowPrinterType 0, ReverseSet 1, Hours 12, Minutes 30. Creates the INI
// file's folder when needed. Throws Error "Unable to write to <path>".
void WriteDefaultSettings(const SettingsLocation& location, const Settings& settings);

// Writes every value, each into its key; keys the file lacks are added at the end of their
// section. The file is replaced in one step, so a failure leaves it as it was. Throws Error
// "Unable to write to <path>".
void SaveSettings(const SettingsLocation& location, const StoredSettings& settings);

}  // namespace tavrin
