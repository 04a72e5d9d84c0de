// SPDX-License-Identifier: GPL-3.0-or-later
#include "preview/RasterPlotSink.h"

#include "preview/LineClip.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace tavrin {
namespace {

constexpr int kThickest = 64;

}  // namespace

void RasterPlotSink::SelectPen(int, Rgb colour, double widthMillimetres) {
    colour_ = colour;
    const double pixels = widthMillimetres * kPlotUnitsPerMillimetre * frame_.pixelsPerUnit;
    thickness_ = std::clamp(static_cast<int>(std::lround(pixels)), 1, kThickest);
}

// The pixels of a line `thickness_` wide at (x, y): a run across the line's main direction.
void RasterPlotSink::Span(int x, int y, bool across) {
    const int first = -(thickness_ - 1) / 2;
    for (int i = first; i < first + thickness_; ++i) {
        const int px = across ? x : x + i;
        const int py = across ? y + i : y;
        if (px >= 0 && py >= 0 && px < image_.width && py < image_.height)
            image_.Set(px, py, colour_);
    }
}

// A line one pixel wide, both ends inside the picture.
void RasterPlotSink::Thin(int ax, int ay, int bx, int by) {
    const int dx = std::abs(bx - ax);
    const int dy = -std::abs(by - ay);
    const std::ptrdiff_t stepX = ax < bx ? 3 : -3;
    const std::ptrdiff_t stepY = (ay < by ? 3 : -3) * static_cast<std::ptrdiff_t>(image_.width);
    std::uint8_t* pixel =
        image_.pixels.data() + (static_cast<std::ptrdiff_t>(ay) * image_.width + ax) * 3;
    int error = dx + dy;
    for (int x = ax, y = ay;;) {
        pixel[0] = colour_.r;
        pixel[1] = colour_.g;
        pixel[2] = colour_.b;
        if (x == bx && y == by)
            return;
        const int twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            x += ax < bx ? 1 : -1;
            pixel += stepX;
        }
        if (twice <= dx) {
            error += dx;
            y += ay < by ? 1 : -1;
            pixel += stepY;
        }
    }
}

void RasterPlotSink::LineTo(PlotPoint to) {
    PlotPoint a{frame_.X(from_.x), frame_.Y(from_.y)};
    PlotPoint b{frame_.X(to.x), frame_.Y(to.y)};
    from_ = to;
    if (!std::isfinite(a.x + a.y + b.x + b.y))
        return;
    // A thin line is cut to the picture itself and written straight into its rows; a wider one
    // is cut a pen's width outside, so that its edges still reach in.
    const bool thin = thickness_ == 1;
    const double edge = thin ? 0 : kThickest;
    const PlotPoint high = thin ? PlotPoint{image_.width - 1e-6, image_.height - 1e-6}
                                : PlotPoint{image_.width + edge, image_.height + edge};
    if (!ClipLine(a, b, {-edge, -edge}, high))
        return;
    const auto whole = [](double v, int most) {
        return std::clamp(static_cast<int>(std::floor(v)), -kThickest, most);
    };
    int ax = whole(a.x, image_.width + kThickest);
    int ay = whole(a.y, image_.height + kThickest);
    const int bx = whole(b.x, image_.width + kThickest);
    const int by = whole(b.y, image_.height + kThickest);
    if (thin) {
        ax = std::clamp(ax, 0, image_.width - 1);
        ay = std::clamp(ay, 0, image_.height - 1);
        Thin(ax, ay, std::clamp(bx, 0, image_.width - 1), std::clamp(by, 0, image_.height - 1));
        return;
    }
    const int dx = std::abs(bx - ax);
    const int dy = -std::abs(by - ay);
    const int sx = ax < bx ? 1 : -1;
    const int sy = ay < by ? 1 : -1;
    const bool across = dx >= -dy;  // mostly horizontal: the width runs up and down
    int error = dx + dy;
    for (;;) {
        Span(ax, ay, across);
        if (ax == bx && ay == by)
            break;
        const int twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            ax += sx;
        }
        if (twice <= dx) {
            error += dx;
            ay += sy;
        }
    }
}

}  // namespace tavrin
