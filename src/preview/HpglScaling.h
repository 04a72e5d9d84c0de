// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>

#include "preview/PlotSink.h"

namespace tavrin {

// Where user units (after SC) fall in plotter units: the scaling points P1 and P2 (IP, IR) in
// the hard-clip limits the paper size (PS) and rotation (RO) give, and the scaling SC sets.
class HpglScaling {
public:
    HpglScaling() { SetPaper({kDefaultPaper.x, kDefaultPaper.y}, 0); }

    // An A4 sheet across when the plot states no size.
    static constexpr PlotPoint kDefaultPaper{11880, 8400};

    // PS and RO: the limits, and P1 and P2 back to their corners. Scaling stays.
    void SetPaper(PlotPoint paper, int rotation);
    void SetRotation(int rotation) { SetPaper(paper_, rotation); }
    PlotPoint Paper() const { return paper_; }
    int Rotation() const { return rotation_; }

    // IP with 0, 2 or 4 values; IR with the same, in percent of the limits.
    void SetPoints(const double* values, std::size_t count);
    void SetRelativePoints(const double* values, std::size_t count);
    // SC with its values (none turns scaling off).
    void SetScale(const double* values, std::size_t count);
    void ScaleOff() { scaled_ = false; }
    bool Scaled() const { return scaled_; }

    PlotPoint ToPlotter(PlotPoint user) const;
    PlotPoint ToUser(PlotPoint plotter) const;
    // A relative step in user units, in plotter units.
    PlotPoint StepToPlotter(PlotPoint step) const;
    // The distance from P1 to P2 in plotter units (relative pen widths and sizes use it).
    PlotPoint PointSpan() const { return {p2_.x - p1_.x, p2_.y - p1_.y}; }

private:
    PlotPoint Limits() const;
    void Rescale();

    PlotPoint paper_{};
    int rotation_ = 0;
    PlotPoint p1_{};
    PlotPoint p2_{};
    bool scaled_ = false;
    double scale_[7] = {};
    int scaleType_ = 0;
    // Plotter = origin + user * factor, for each axis.
    PlotPoint origin_{};
    PlotPoint factor_{1, 1};
};

}  // namespace tavrin
