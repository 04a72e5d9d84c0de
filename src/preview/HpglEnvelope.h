// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "preview/PlotBytes.h"

namespace tavrin {

// What a plot file's bytes are, as the escapes around the HP-GL/2 switch between them.
enum class PlotMode {
    HpGl,  // HP-GL or HP-GL/2 instructions
    Pcl,   // PCL between ESC%#A and ESC%#B: skipped
    Pjl,   // after the universal exit language: PJL lines until a language is entered
};

// Reads the escape sequence whose ESC has just been taken, and says which mode follows it when
// the mode is `now`. Binary data a PCL sequence carries (ESC*b#W and the like) is skipped.
PlotMode ReadEscape(PlotBytes& bytes, PlotMode now);

// Skips what is not HP-GL/2 in mode `now` (PCL, or PJL lines) up to where HP-GL/2 begins or
// the file ends; returns PlotMode::HpGl then.
void SkipToHpgl(PlotBytes& bytes, PlotMode now);

}  // namespace tavrin
