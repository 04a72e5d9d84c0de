// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "preview/PlotFrame.h"
#include "preview/PlotSink.h"
#include "preview/RasterImage.h"

namespace tavrin {

// Draws a plot's lines into a picture, each pen in its colour and width.
class RasterPlotSink final : public PlotSink {
public:
    RasterPlotSink(RasterImage& image, const PlotFrame& frame) : image_(image), frame_(frame) {}

    void SelectPen(int pen, Rgb colour, double widthMillimetres) override;
    void MoveTo(PlotPoint to) override { from_ = to; }
    void LineTo(PlotPoint to) override;
    void PageEnd() override {}

private:
    void Span(int x, int y, bool across);
    void Thin(int ax, int ay, int bx, int by);

    RasterImage& image_;
    PlotFrame frame_;
    PlotPoint from_{};
    Rgb colour_{};
    int thickness_ = 1;
};

}  // namespace tavrin
