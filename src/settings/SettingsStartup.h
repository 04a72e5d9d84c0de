#pragma once

#include "platform/Form.h"
#include "settings/Settings.h"
#include "settings/SettingsLocation.h"

namespace tavrin {

// The settings steps of the main window's creation, before any printer work: loads the INI
// file when it exists; otherwise (first run) takes the window's current position, writes the
// first-run file and sets the first-run values in memory and in the controls. Then checks the
// page-size item and sets the FitToPage caption, and moves the window to the stored position.
// Returns true on a first run: the window is then to be centred when it is first shown.
// An Error from writing the first-run file ends the steps where it arises.
bool StartSettings(const SettingsLocation& location, Settings& settings, Form& form);

// The first-run values in memory: FromStart 600, FromEnd 30, PSPageSize A4, Printertype1
// unchecked, PortinStatusbar1 and Reverseset1 checked, the cache folder as TempFilesPath. The
// other controls keep their initial states; PrinterIndex and PlotFilesPath are not touched.
void ApplyFirstRunSettings(const SettingsLocation& location, Settings& settings, Form& form);

// Checks the "PS fit to size" item whose name equals PSPageSize exactly (A5 .. A0) and clears
// the others; with no match the menu stays as it is. The FitToPage caption becomes
// "Fit to page: " followed by PSPageSize.
void ApplyPageSizeSetting(const Settings& settings, Form& form);

// After the printer work: an empty TempFilesPath becomes the cache folder.
void FillEmptyTempFilesPath(const SettingsLocation& location, Settings& settings);

}  // namespace tavrin
