// SPDX-License-Identifier: GPL-3.0-or-later
#include "preview/SvgPlotSink.h"

#include <cmath>
#include <cstdio>

namespace tavrin {
namespace {

constexpr std::size_t kPathBytes = 8192;

}  // namespace

SvgPlotSink::SvgPlotSink(std::ostream& out, const PlotFrame& frame) : out_(out), frame_(frame) {
    out_ << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
         << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << frame_.width << "\" height=\""
         << frame_.height << "\" viewBox=\"0 0 " << frame_.width << ' ' << frame_.height
         << "\">\n<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n";
    SelectPen(1, {0, 0, 0}, 0.35);
}

SvgPlotSink::~SvgPlotSink() {
    Finish();
}

void SvgPlotSink::Finish() {
    if (finished_)
        return;
    Flush();
    out_ << "</svg>\n";
    out_.flush();
    finished_ = true;
}

void SvgPlotSink::SelectPen(int, Rgb colour, double widthMillimetres) {
    Flush();
    char style[160];
    const double width =
        std::max(0.5, widthMillimetres * kPlotUnitsPerMillimetre * frame_.pixelsPerUnit);
    std::snprintf(style, sizeof style,
                  "fill=\"none\" stroke=\"#%02x%02x%02x\" stroke-width=\"%.2f\" "
                  "stroke-linecap=\"round\" stroke-linejoin=\"round\"",
                  colour.r, colour.g, colour.b, width);
    style_ = style;
}

void SvgPlotSink::Flush() {
    if (path_.empty())
        return;
    out_ << "<path " << style_ << " d=\"" << path_ << "\"/>\n";
    path_.clear();
}

void SvgPlotSink::Point(char command, PlotPoint at) {
    const double x = frame_.X(at.x);
    const double y = frame_.Y(at.y);
    if (!std::isfinite(x) || !std::isfinite(y))
        return;
    char text[64];
    std::snprintf(text, sizeof text, "%c%.1f %.1f", command, x, y);
    path_ += text;
}

void SvgPlotSink::MoveTo(PlotPoint to) {
    if (path_.size() > kPathBytes)
        Flush();
    last_ = to;
    Point('M', to);
}

void SvgPlotSink::LineTo(PlotPoint to) {
    if (path_.empty())
        Point('M', last_);
    Point('L', to);
    last_ = to;
    if (path_.size() > kPathBytes)
        Flush();
}

}  // namespace tavrin
