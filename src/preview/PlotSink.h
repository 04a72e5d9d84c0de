// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "preview/RasterImage.h"

namespace tavrin {

// A point in plotter units (0.025 mm), x to the right and y up.
struct PlotPoint {
    double x = 0;
    double y = 0;

    bool operator==(const PlotPoint&) const = default;
};

inline constexpr double kPlotUnitsPerMillimetre = 40.0;

// Where a plot's drawing goes: the parser calls these in drawing order. Between a MoveTo and
// the next one, each LineTo draws on from where the last call left the pen.
class PlotSink {
public:
    virtual ~PlotSink() = default;
    // The pen the following lines are drawn with; `widthMillimetres` is at least 0.
    virtual void SelectPen(int pen, Rgb colour, double widthMillimetres) = 0;
    virtual void MoveTo(PlotPoint to) = 0;
    virtual void LineTo(PlotPoint to) = 0;
    // The end of a page (PG, or the end of the plot when it drew on the page).
    virtual void PageEnd() = 0;
};

}  // namespace tavrin
