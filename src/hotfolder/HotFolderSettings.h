// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

#include "hotfolder/HotFolder.h"
#include "settings/SettingsLocation.h"

namespace tavrin {

// The hot folders as the INI file's section [HotFolders] holds them, and what was wrong with it.
struct HotFolderSettings {
    bool watchInWindow = false;         // Watch=1: the window watches them while it is open
    std::vector<HotFolder> folders;     // the good entries, in order
    std::vector<std::string> problems;  // one line per bad entry: "Hot folder 3: ..."
    bool operator==(const HotFolderSettings&) const = default;
};

// Reads [HotFolders]: Watch, Count=N and, for i = 1..N, Path<i>, Printer<i>, Copies<i>,
// DeviceCopies<i>, Quality<i>, Collate<i>, Fit<i> (A0..A5 or empty), Settle<i> (seconds),
// Poll<i>. A missing file or section reads as no folders. A bad entry (no path, no printer,
// copies outside 1..99, an unknown page, a settle time outside 1..3600) is left out with a
// problem line; the others are read.
HotFolderSettings ReadHotFolderSettings(const SettingsLocation& location);
// The same from the text of an INI file (the fuzz target's way in).
HotFolderSettings HotFolderSettingsFromText(const std::string& iniText);
// Replaces the section's entries; every other line of the file stays as it was. The file is
// replaced in one step. Throws Error "Unable to write to <path>".
void WriteHotFolderSettings(const SettingsLocation& location, const HotFolderSettings& settings);

}  // namespace tavrin
