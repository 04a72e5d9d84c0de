// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <cstdint>
#include <istream>
#include <optional>

#include "preview/PlotSink.h"

namespace tavrin {

struct HpglPlotLimits {
    // Drawing calls reach the sink for the first page only; later pages are only counted.
    bool firstPageOnly = true;
    // Parsing stops here (checked every few thousand instructions); the summary says so.
    std::chrono::steady_clock::time_point deadline = std::chrono::steady_clock::time_point::max();
};

struct HpglPlotSummary {
    // Pages with drawing on them; a plot that ends without PG after drawing counts one.
    int pages = 0;
    // The deadline passed before the end of the file.
    bool cutShort = false;
    // The paper size the first PS instruction gave, in plotter units (width, height).
    std::optional<PlotPoint> paper;
};

// Reads an HP-GL or HP-GL/2 plot from `file`, a piece at a time, past any PJL and PCL around
// it, and sends what it draws to `sink`. Damaged input draws what it can; it never throws for
// the file's content.
HpglPlotSummary DrawHpglPlot(std::istream& file, PlotSink& sink, const HpglPlotLimits& limits = {});

}  // namespace tavrin
