// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "preview/PlotSink.h"

namespace tavrin {

// What shapes are drawn on: the pen's place and the units of the plot.
class ShapeTarget {
public:
    virtual PlotPoint At() const = 0;
    virtual PlotPoint ToPlotter(PlotPoint user) const = 0;
    virtual PlotPoint ToUser(PlotPoint plotter) const = 0;
    // Moves the pen to `to` (plotter units), drawing when `down`.
    virtual void Go(PlotPoint to, bool down) = 0;

protected:
    ~ShapeTarget() = default;
};

inline constexpr double kDefaultChordDegrees = 5;

// A chord angle as read, bounded so that no arc takes more than a few hundred steps.
double Chord(double degrees);

// CI: a circle of `radius` user units around the pen, which ends where it began.
void DrawCircle(ShapeTarget& target, double radius, double chordDegrees);
// AA / AR: an arc from the pen around `centre` (user units) through `sweepDegrees`.
void DrawArc(ShapeTarget& target, PlotPoint centre, double sweepDegrees, double chordDegrees,
             bool down);
// EW / WG (outline only): a wedge with its point at the pen.
void DrawWedge(ShapeTarget& target, double radius, double startDegrees, double sweepDegrees,
               double chordDegrees);
// EA / ER / RA / RR (outline only): the rectangle from the pen to `corner` (user units).
void DrawRectangle(ShapeTarget& target, PlotPoint corner);

// How labels are drawn: each character as the outline of its box.
struct Labels {
    int terminator = 0x03;
    PlotPoint size{};  // character width and height, plotter units
    PlotPoint direction{1, 0};
    PlotPoint lineStart{};  // where a carriage return goes back to

    void SetDirection(PlotPoint run);
};

// One character of a label: a box, a space, or a control character that moves the pen.
void DrawCharacter(ShapeTarget& target, Labels& labels, int c);
// CP: moves the pen by character cells and lines; `newLine` when CP had no parameters.
void MoveByCharacters(ShapeTarget& target, Labels& labels, double spaces, double lines,
                      bool newLine);

}  // namespace tavrin
