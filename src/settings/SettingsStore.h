#pragma once

#include "platform/Form.h"
#include "settings/Settings.h"
#include "settings/SettingsLocation.h"

namespace tavrin {

// Every value of the settings file: the plain variables and the values that otherwise live in
// the window's controls.
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

// Reads the file into the plain variables and applies the other values to the controls at once:
// checks AddMode when stored true (else RepMode stays checked), sets the check marks of
// Clearafterspooling1, Printertype1 and Reverseset1, the values of Uur and Minuut, and checks
// PortinStatusbar1 when Printertype1 ends up unchecked.
void LoadSettings(const SettingsLocation& location, Settings& settings, Form& form);

// Writes the first-run file: the window position from `settings`, the home folder as
// TempFilesPath, Printer# -1, FromStart 600, FromEnd 30, PSPageSize A4, AddMode 0,
// ClearAfterSpool 0, ShowPrinterType 0, ReverseSet 1, Hours 12, Minutes 30. Creates the INI
// file's folder when needed. Throws Error "Unable to write to <path>".
void WriteDefaultSettings(const SettingsLocation& location, const Settings& settings);

// Writes the window's current position, the plain variables and the control states, each into
// its key; keys the file lacks are added at the end of their section. The file is replaced in
// one step, so a failure leaves it as it was. Throws Error "Unable to write to <path>".
void SaveSettings(const SettingsLocation& location, const Settings& settings, Form& form);

}  // namespace tavrin
