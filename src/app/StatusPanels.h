// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace tavrin {

// The main window's status bar panels, by what each one shows.
namespace status_panel {
inline constexpr int kMode = 0;       // "Mode: add files to joblist" or "Mode: start a new joblist"
inline constexpr int kFileCount = 1;  // kFilesInJoblist and the number of files
inline constexpr int kPrinter = 2;    // the printer type or the port of the selected printer
inline constexpr int kRun = 3;        // how the last spool run ended
inline constexpr int kCount = 4;
}  // namespace status_panel

// The text of the file-count panel before its number.
inline constexpr const char* kFilesInJoblist = "Files in joblist: ";

}  // namespace tavrin
