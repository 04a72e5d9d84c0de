// SPDX-License-Identifier: GPL-3.0-or-later
#include "preview/HpglShapes.h"

#include <algorithm>
#include <cmath>

namespace tavrin {
namespace {

constexpr double kRadiansPerDegree = 3.14159265358979323846 / 180;

PlotPoint OnCircle(PlotPoint centre, double radius, double degrees) {
    return {centre.x + radius * std::cos(degrees * kRadiansPerDegree),
            centre.y + radius * std::sin(degrees * kRadiansPerDegree)};
}

double Bounded(double value, double most) {
    return std::isfinite(value) ? std::clamp(value, -most, most) : 0;
}

// Points of an arc around `centre` (user units) from `startDegrees` through `sweepDegrees`,
// each handed to the target in plotter units.
void Trace(ShapeTarget& target, PlotPoint centre, double radius, double startDegrees,
           double sweepDegrees, double chordDegrees, bool down) {
    const int steps =
        std::max(1, static_cast<int>(std::ceil(std::abs(sweepDegrees) / chordDegrees)));
    for (int i = 1; i <= steps; ++i)
        target.Go(
            target.ToPlotter(OnCircle(centre, radius, startDegrees + sweepDegrees * i / steps)),
            down);
}

PlotPoint Along(PlotPoint from, const Labels& labels, double across, double up) {
    const PlotPoint d = labels.direction;
    return {from.x + d.x * across - d.y * up, from.y + d.y * across + d.x * up};
}

}  // namespace

double Chord(double degrees) {
    return std::isfinite(degrees) ? std::clamp(std::abs(degrees), 0.5, 180.0)
                                  : kDefaultChordDegrees;
}

void DrawCircle(ShapeTarget& target, double radius, double chordDegrees) {
    const PlotPoint centrePlotter = target.At();
    const PlotPoint centre = target.ToUser(centrePlotter);
    radius = Bounded(radius, 1e12);
    target.Go(target.ToPlotter(OnCircle(centre, radius, 0)), false);
    Trace(target, centre, radius, 0, 360, chordDegrees, true);
    target.Go(centrePlotter, false);
}

void DrawArc(ShapeTarget& target, PlotPoint centre, double sweepDegrees, double chordDegrees,
             bool down) {
    const PlotPoint from = target.ToUser(target.At());
    const double radius = std::hypot(from.x - centre.x, from.y - centre.y);
    const double start = std::atan2(from.y - centre.y, from.x - centre.x) / kRadiansPerDegree;
    Trace(target, centre, radius, start, Bounded(sweepDegrees, 360), chordDegrees, down);
}

void DrawWedge(ShapeTarget& target, double radius, double startDegrees, double sweepDegrees,
               double chordDegrees) {
    const PlotPoint centrePlotter = target.At();
    const PlotPoint centre = target.ToUser(centrePlotter);
    radius = Bounded(radius, 1e12);
    startDegrees = Bounded(startDegrees, 360);
    target.Go(target.ToPlotter(OnCircle(centre, radius, startDegrees)), true);
    Trace(target, centre, radius, startDegrees, Bounded(sweepDegrees, 360), chordDegrees, true);
    target.Go(centrePlotter, true);
}

void DrawRectangle(ShapeTarget& target, PlotPoint corner) {
    const PlotPoint start = target.At();
    const PlotPoint from = target.ToUser(start);
    target.Go(target.ToPlotter({corner.x, from.y}), true);
    target.Go(target.ToPlotter(corner), true);
    target.Go(target.ToPlotter({from.x, corner.y}), true);
    target.Go(start, true);
}

void Labels::SetDirection(PlotPoint run) {
    const double length = std::hypot(run.x, run.y);
    direction = std::isfinite(length) && length > 0 ? PlotPoint{run.x / length, run.y / length}
                                                    : PlotPoint{1, 0};
}

void DrawCharacter(ShapeTarget& target, Labels& labels, int c) {
    const PlotPoint at = target.At();
    const double cell = labels.size.x * 1.5;
    const double line = labels.size.y * 2;
    switch (c) {
        case '\r':
            target.Go(labels.lineStart, false);
            return;
        case '\n':
            labels.lineStart = Along(labels.lineStart, labels, 0, -line);
            target.Go(Along(at, labels, 0, -line), false);
            return;
        case '\b':
            target.Go(Along(at, labels, -cell, 0), false);
            return;
        case ' ':
            target.Go(Along(at, labels, cell, 0), false);
            return;
        default:
            break;
    }
    if (c < 0x20 || c == 0x7f)
        return;
    // The box of the character, a little inside its cell.
    const PlotPoint corner = Along(at, labels, labels.size.x * 0.1, 0);
    const double width = labels.size.x * 0.8;
    const double height = labels.size.y;
    target.Go(corner, false);
    target.Go(Along(corner, labels, width, 0), true);
    target.Go(Along(corner, labels, width, height), true);
    target.Go(Along(corner, labels, 0, height), true);
    target.Go(corner, true);
    target.Go(Along(at, labels, cell, 0), false);
}

void MoveByCharacters(ShapeTarget& target, Labels& labels, double spaces, double lines,
                      bool newLine) {
    if (newLine) {
        DrawCharacter(target, labels, '\r');
        DrawCharacter(target, labels, '\n');
        return;
    }
    const PlotPoint to = Along(target.At(), labels, Bounded(spaces, 1e6) * labels.size.x * 1.5,
                               Bounded(lines, 1e6) * labels.size.y * 2);
    target.Go(to, false);
}

}  // namespace tavrin
