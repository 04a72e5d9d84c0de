// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

#include "preview/PlotSink.h"

namespace tavrin {

struct PlotBox {
    PlotPoint low;
    PlotPoint high;

    double Width() const { return high.x - low.x; }
    double Height() const { return high.y - low.y; }
};

// A sink that only measures: the box around every line drawn, and the widest pen drawn with.
class PlotExtent final : public PlotSink {
public:
    void SelectPen(int pen, Rgb colour, double widthMillimetres) override;
    void MoveTo(PlotPoint to) override { from_ = to; }
    void LineTo(PlotPoint to) override;
    void PageEnd() override {}

    const std::optional<PlotBox>& Box() const { return box_; }

private:
    void Take(PlotPoint point);

    std::optional<PlotBox> box_;
    PlotPoint from_{};
};

// Where plotter units fall on a picture: the plot's box scaled to fit, y turned to go down.
struct PlotFrame {
    int width = 1;
    int height = 1;
    double pixelsPerUnit = 1;
    double left = 0;    // the picture's x of the box's left edge
    double bottom = 0;  // the picture's y of the box's lower edge
    PlotPoint low{};    // the box's lower left corner, plotter units

    double X(double x) const { return left + (x - low.x) * pixelsPerUnit; }
    double Y(double y) const { return bottom - (y - low.y) * pixelsPerUnit; }
};

inline constexpr int kMostPictureWidth = 8000;
inline constexpr int kMostPicturePixels = 16 * 1000 * 1000;

// The frame that fits `box` into a picture `width` pixels across (16 to kMostPictureWidth),
// with a small margin; tall plots are held to three times the width, and to kMostPicturePixels
// in all, and centred.
PlotFrame FitPlot(const PlotBox& box, int width);

}  // namespace tavrin
