// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>

#include "preview/RasterImage.h"

namespace tavrin {

// The pens of an HP-GL/2 plot: their colours (PC, CR) and widths (PW).
class HpglPens {
public:
    static constexpr int kCount = 256;  // pen numbers are taken modulo this
    static constexpr double kDefaultWidthMillimetres = 0.35;

    HpglPens() { Reset(); }

    // The palette and widths IN and DF set.
    void Reset();

    static int Index(double pen);
    Rgb Colour(int pen) const { return colours_[Index(pen)]; }
    double Width(int pen) const { return widths_[Index(pen)]; }

    // PC pen,r,g,b in the colour range; PC pen alone restores its own colour.
    void SetColour(int pen, const double* rgb);
    void DefaultColour(int pen) { colours_[Index(pen)] = DefaultColourOf(Index(pen)); }
    // PC alone: every pen's own colour back; widths and the colour range stay.
    void DefaultColours();
    // CR: the values that mean black and white for red, green and blue.
    void SetRange(const double (&black)[3], const double (&white)[3]);
    void SetWidth(int pen, double millimetres);
    void SetAllWidths(double millimetres) { widths_.fill(Clamped(millimetres)); }

private:
    static Rgb DefaultColourOf(int pen);
    static double Clamped(double millimetres);

    std::array<Rgb, kCount> colours_{};
    std::array<double, kCount> widths_{};
    double black_[3] = {0, 0, 0};
    double white_[3] = {255, 255, 255};
};

}  // namespace tavrin
