// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "preview/PlotSink.h"

namespace tavrin {

// Cuts the line a-b to the rectangle from `low` to `high` (Liang and Barsky); false when none of
// it is inside.
bool ClipLine(PlotPoint& a, PlotPoint& b, PlotPoint low, PlotPoint high);

}  // namespace tavrin
