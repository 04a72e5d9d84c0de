// SPDX-License-Identifier: GPL-3.0-or-later
#include "preview/HpglPens.h"

#include <algorithm>
#include <cmath>

namespace tavrin {

void HpglPens::DefaultColours() {
    for (int pen = 0; pen < kCount; ++pen)
        colours_[pen] = DefaultColourOf(pen);
}

void HpglPens::Reset() {
    DefaultColours();
    widths_.fill(kDefaultWidthMillimetres);
    std::fill(std::begin(black_), std::end(black_), 0.0);
    std::fill(std::begin(white_), std::end(white_), 255.0);
}

int HpglPens::Index(double pen) {
    if (!std::isfinite(pen))
        return 1;
    const long long whole = static_cast<long long>(std::clamp(pen, -1e15, 1e15));
    return static_cast<int>(((whole % kCount) + kCount) % kCount);
}

Rgb HpglPens::DefaultColourOf(int pen) {
    // White, then black, red, green, yellow, blue, magenta and cyan, repeated for pens above 7.
    static constexpr Rgb kPalette[] = {{0, 0, 0},   {255, 0, 0},   {0, 255, 0},  {255, 255, 0},
                                       {0, 0, 255}, {255, 0, 255}, {0, 255, 255}};
    if (pen == 0)
        return kWhite;
    return kPalette[(pen - 1) % 7];
}

double HpglPens::Clamped(double millimetres) {
    return std::isfinite(millimetres) ? std::clamp(millimetres, 0.0, 1000.0)
                                      : kDefaultWidthMillimetres;
}

void HpglPens::SetColour(int pen, const double* rgb) {
    std::uint8_t channel[3];
    for (int i = 0; i < 3; ++i) {
        const double span = white_[i] - black_[i];
        const double share = span == 0 || !std::isfinite(rgb[i]) ? 0 : (rgb[i] - black_[i]) / span;
        channel[i] = static_cast<std::uint8_t>(std::lround(std::clamp(share, 0.0, 1.0) * 255));
    }
    colours_[Index(pen)] = {channel[0], channel[1], channel[2]};
}

void HpglPens::SetRange(const double (&black)[3], const double (&white)[3]) {
    std::copy(std::begin(black), std::end(black), black_);
    std::copy(std::begin(white), std::end(white), white_);
}

void HpglPens::SetWidth(int pen, double millimetres) {
    widths_[Index(pen)] = Clamped(millimetres);
}

}  // namespace tavrin
