// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <ostream>
#include <string>

#include "preview/PlotFrame.h"
#include "preview/PlotSink.h"

namespace tavrin {

// Writes a plot's lines as SVG paths, one per pen and run of connected lines, as they come.
class SvgPlotSink final : public PlotSink {
public:
    SvgPlotSink(std::ostream& out, const PlotFrame& frame);
    // Ends the picture (Finish), if that has not been done.
    ~SvgPlotSink() override;

    void SelectPen(int pen, Rgb colour, double widthMillimetres) override;
    void MoveTo(PlotPoint to) override;
    void LineTo(PlotPoint to) override;
    void PageEnd() override { Flush(); }

    // Writes what is held and closes the svg element.
    void Finish();

private:
    void Flush();
    void Point(char command, PlotPoint at);

    std::ostream& out_;
    PlotFrame frame_;
    std::string style_;
    std::string path_;
    PlotPoint last_{};
    bool finished_ = false;
};

}  // namespace tavrin
