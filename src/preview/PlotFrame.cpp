// SPDX-License-Identifier: GPL-3.0-or-later
#include "preview/PlotFrame.h"

#include <algorithm>
#include <cmath>

namespace tavrin {

void PlotExtent::SelectPen(int, Rgb, double) {}

void PlotExtent::Take(PlotPoint point) {
    if (!std::isfinite(point.x) || !std::isfinite(point.y))
        return;
    if (!box_) {
        box_ = PlotBox{point, point};
        return;
    }
    box_->low = {std::min(box_->low.x, point.x), std::min(box_->low.y, point.y)};
    box_->high = {std::max(box_->high.x, point.x), std::max(box_->high.y, point.y)};
}

void PlotExtent::LineTo(PlotPoint to) {
    Take(from_);
    Take(to);
    from_ = to;
}

PlotFrame FitPlot(const PlotBox& box, int width) {
    PlotFrame frame;
    frame.width = std::clamp(width, 16, kMostPictureWidth);
    const int margin = std::max(2, frame.width / 100);
    // A plot that is one straight line still gets a little height (or width).
    const double longer = std::max({box.Width(), box.Height(), 1.0});
    const double across = std::max(box.Width(), longer / 100);
    const double up = std::max(box.Height(), longer / 100);
    const int inside = frame.width - 2 * margin;
    frame.pixelsPerUnit = inside / across;
    const int mostHeight = std::min(frame.width * 3, kMostPicturePixels / frame.width);
    if (up * frame.pixelsPerUnit + 2 * margin > mostHeight)
        frame.pixelsPerUnit = (mostHeight - 2 * margin) / up;
    frame.height = std::max(1, static_cast<int>(std::ceil(up * frame.pixelsPerUnit)) + 2 * margin);
    frame.left = (frame.width - box.Width() * frame.pixelsPerUnit) / 2;
    frame.bottom = (frame.height + box.Height() * frame.pixelsPerUnit) / 2;
    frame.low = box.low;
    return frame;
}

}  // namespace tavrin
