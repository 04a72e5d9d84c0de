// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace tavrin {

struct Rgb {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;

    bool operator==(const Rgb&) const = default;
};

inline constexpr Rgb kWhite{255, 255, 255};

// A rectangle of whole pixels, right and bottom exclusive.
struct PixelBox {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool operator==(const PixelBox&) const = default;
};

// An RGB picture, rows from the top, three bytes a pixel.
struct RasterImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;

    // A white picture of `width` x `height` (each at least 1).
    static RasterImage White(int width, int height);

    Rgb At(int x, int y) const;
    void Set(int x, int y, Rgb colour);
    bool Empty() const { return width <= 0 || height <= 0; }

    // The share of pixels that are not white, 0 to 1.
    double InkedFraction() const;
    // The smallest box holding every pixel that is not white; nothing for a white picture.
    std::optional<PixelBox> InkedBox() const;
};

// `image` scaled to `width` pixels across, its height in proportion (each output pixel the
// average of the pixels it covers when shrinking, the nearest one when growing).
RasterImage ScaledToWidth(const RasterImage& image, int width);

}  // namespace tavrin
