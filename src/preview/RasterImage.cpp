// SPDX-License-Identifier: GPL-3.0-or-later
#include "preview/RasterImage.h"

#include <algorithm>

namespace tavrin {

RasterImage RasterImage::White(int width, int height) {
    RasterImage image;
    image.width = std::max(width, 1);
    image.height = std::max(height, 1);
    image.pixels.assign(static_cast<std::size_t>(image.width) * image.height * 3, 255);
    return image;
}

Rgb RasterImage::At(int x, int y) const {
    const std::size_t at = (static_cast<std::size_t>(y) * width + x) * 3;
    return {pixels[at], pixels[at + 1], pixels[at + 2]};
}

void RasterImage::Set(int x, int y, Rgb colour) {
    const std::size_t at = (static_cast<std::size_t>(y) * width + x) * 3;
    pixels[at] = colour.r;
    pixels[at + 1] = colour.g;
    pixels[at + 2] = colour.b;
}

double RasterImage::InkedFraction() const {
    if (Empty())
        return 0;
    std::size_t inked = 0;
    for (std::size_t at = 0; at + 2 < pixels.size(); at += 3)
        inked += pixels[at] != 255 || pixels[at + 1] != 255 || pixels[at + 2] != 255;
    return static_cast<double>(inked) / (static_cast<double>(width) * height);
}

std::optional<PixelBox> RasterImage::InkedBox() const {
    std::optional<PixelBox> box;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            if (At(x, y) == kWhite)
                continue;
            if (!box)
                box = PixelBox{x, y, x + 1, y + 1};
            box->left = std::min(box->left, x);
            box->right = std::max(box->right, x + 1);
            box->bottom = y + 1;
        }
    return box;
}

RasterImage ScaledToWidth(const RasterImage& image, int width) {
    if (image.Empty() || width <= 0 || width == image.width)
        return image;
    const double scale = static_cast<double>(image.width) / width;
    const int height = std::max(1, static_cast<int>(image.height / scale + 0.5));
    RasterImage scaled = RasterImage::White(width, height);
    for (int y = 0; y < height; ++y) {
        const int top = std::min(image.height - 1, static_cast<int>(y * scale));
        const int bottom = std::clamp(static_cast<int>((y + 1) * scale), top + 1, image.height);
        for (int x = 0; x < width; ++x) {
            const int left = std::min(image.width - 1, static_cast<int>(x * scale));
            const int right = std::clamp(static_cast<int>((x + 1) * scale), left + 1, image.width);
            unsigned sum[3] = {0, 0, 0};
            for (int sy = top; sy < bottom; ++sy)
                for (int sx = left; sx < right; ++sx) {
                    const Rgb c = image.At(sx, sy);
                    sum[0] += c.r;
                    sum[1] += c.g;
                    sum[2] += c.b;
                }
            const unsigned count = static_cast<unsigned>((bottom - top) * (right - left));
            scaled.Set(x, y,
                       Rgb{static_cast<std::uint8_t>(sum[0] / count),
                           static_cast<std::uint8_t>(sum[1] / count),
                           static_cast<std::uint8_t>(sum[2] / count)});
        }
    }
    return scaled;
}

}  // namespace tavrin
