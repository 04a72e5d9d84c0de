#pragma once

#include <string>

#include "settings/SearchWindows.h"

namespace tavrin {

// The settings a front end keeps in plain variables; StoredSettings adds the ones a window shows
// in its controls.
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
