// SPDX-License-Identifier: GPL-3.0-or-later
#include "preview/HpglScaling.h"

#include <algorithm>
#include <cmath>

namespace tavrin {
namespace {

// Keeps values from a file finite and within what a plot can hold.
double Bounded(double value) {
    return std::isfinite(value) ? std::clamp(value, -1e12, 1e12) : 0;
}

}  // namespace

void HpglScaling::SetPaper(PlotPoint paper, int rotation) {
    paper_ = {std::max(1.0, Bounded(std::abs(paper.x))), std::max(1.0, Bounded(std::abs(paper.y)))};
    rotation_ = ((rotation % 360) + 360) % 360;
    p1_ = {0, 0};
    p2_ = Limits();
    Rescale();
}

PlotPoint HpglScaling::Limits() const {
    const bool across = rotation_ == 90 || rotation_ == 270;
    return across ? PlotPoint{paper_.y, paper_.x} : paper_;
}

void HpglScaling::SetPoints(const double* values, std::size_t count) {
    if (count >= 4) {
        p1_ = {Bounded(values[0]), Bounded(values[1])};
        p2_ = {Bounded(values[2]), Bounded(values[3])};
    } else if (count >= 2) {
        const PlotPoint span = PointSpan();
        p1_ = {Bounded(values[0]), Bounded(values[1])};
        p2_ = {p1_.x + span.x, p1_.y + span.y};
    } else {
        p1_ = {0, 0};
        p2_ = Limits();
    }
    Rescale();
}

void HpglScaling::SetRelativePoints(const double* values, std::size_t count) {
    const PlotPoint limits = Limits();
    double points[4];
    for (std::size_t i = 0; i < std::min<std::size_t>(count, 4); ++i)
        points[i] = Bounded(values[i]) / 100.0 * (i % 2 == 0 ? limits.x : limits.y);
    SetPoints(points, std::min<std::size_t>(count, 4));
}

void HpglScaling::SetScale(const double* values, std::size_t count) {
    scaled_ = count >= 4;
    for (std::size_t i = 0; i < 7; ++i)
        scale_[i] = i < count ? Bounded(values[i]) : (i >= 5 ? 50 : 0);
    scaleType_ = count >= 5 ? static_cast<int>(scale_[4]) : 0;
    Rescale();
}

// Maps SC's window onto P1 and P2 as they stand; IP, IR, PS and RO call it again.
void HpglScaling::Rescale() {
    if (!scaled_)
        return;
    const double* v = scale_;
    const int type = scaleType_;
    const PlotPoint span = PointSpan();
    if (type == 2) {  // point factor: xmin, xfactor, ymin, yfactor
        factor_ = {v[1], v[3]};
        origin_ = {p1_.x - v[0] * v[1], p1_.y - v[2] * v[3]};
        return;
    }
    const double width = v[1] - v[0];
    const double height = v[3] - v[2];
    if (width == 0 || height == 0) {
        factor_ = {1, 1};
        origin_ = p1_;
        return;
    }
    factor_ = {span.x / width, span.y / height};
    PlotPoint offset{0, 0};
    if (type == 1) {  // isotropic: the smaller factor, the rest split as left and bottom say
        const double factor = std::min(std::abs(factor_.x), std::abs(factor_.y));
        const PlotPoint used{factor * std::abs(width), factor * std::abs(height)};
        offset = {(std::abs(span.x) - used.x) * std::clamp(v[5], 0.0, 100.0) / 100.0,
                  (std::abs(span.y) - used.y) * std::clamp(v[6], 0.0, 100.0) / 100.0};
        offset.x = std::copysign(offset.x, span.x);
        offset.y = std::copysign(offset.y, span.y);
        factor_ = {std::copysign(factor, factor_.x), std::copysign(factor, factor_.y)};
    }
    origin_ = {p1_.x + offset.x - v[0] * factor_.x, p1_.y + offset.y - v[2] * factor_.y};
}

PlotPoint HpglScaling::ToPlotter(PlotPoint user) const {
    if (!scaled_)
        return user;
    return {origin_.x + user.x * factor_.x, origin_.y + user.y * factor_.y};
}

PlotPoint HpglScaling::ToUser(PlotPoint plotter) const {
    if (!scaled_ || factor_.x == 0 || factor_.y == 0)
        return plotter;
    return {(plotter.x - origin_.x) / factor_.x, (plotter.y - origin_.y) / factor_.y};
}

PlotPoint HpglScaling::StepToPlotter(PlotPoint step) const {
    if (!scaled_)
        return step;
    return {step.x * factor_.x, step.y * factor_.y};
}

}  // namespace tavrin
