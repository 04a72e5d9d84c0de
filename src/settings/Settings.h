#pragma once

#include <string>

#include "settings/SearchWindows.h"

namespace tavrin {

// The settings kept in plain variables. The others (list mode, menu check marks, the schedule
// edits) live in the window's controls and are read and written through Form.
struct Settings {
    int xpos = 320;
    int ypos = 240;
    int PrinterIndex = 0;
    std::string TempFilesPath;
    std::string PlotFilesPath;
    int FromStart = kFromStartWhenKeyAbsent;
    int FromEnd = kFromEndWhenKeyAbsent;
    std::string PSPageSize = "A4";
};

}  // namespace tavrin
