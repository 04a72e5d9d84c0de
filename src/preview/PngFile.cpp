// SPDX-License-Identifier: GPL-3.0-or-later
#include "preview/PngFile.h"

#include <png.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <system_error>
#include <vector>

#include "platform/AtomicFileWrite.h"
#include "platform/Error.h"

namespace tavrin {
namespace {

// Larger pictures are refused, so that a damaged file cannot make us ask for gigabytes.
constexpr png_uint_32 kLongestSide = 20000;
constexpr std::uint64_t kMostPixels = 100'000'000;

// libpng reports an error by a long jump back to the setjmp of the function that called it. The
// functions below that hold a setjmp keep only plain pointers and numbers, so that a jump skips
// no destructor, and read nothing after it that changed since.

void IgnoreWarning(png_structp, png_const_charp) {}

[[noreturn]] void JumpBack(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}

void Append(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<std::string*>(png_get_io_ptr(png));
    try {
        out->append(reinterpret_cast<const char*>(data), length);
    } catch (...) {
        png_error(png, "out of memory");
    }
}

void FlushNothing(png_structp) {}

bool Encode(png_structp png, png_infop info, const RasterImage& image, std::string* out) {
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_write_fn(png, out, Append, FlushNothing);
    // Previews are mostly white paper, which every level packs well; higher ones only cost time.
    png_set_compression_level(png, 3);
    png_set_IHDR(png, info, static_cast<png_uint_32>(image.width),
                 static_cast<png_uint_32>(image.height), 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    const std::size_t rowBytes = static_cast<std::size_t>(image.width) * 3;
    for (int y = 0; y < image.height; ++y)
        png_write_row(png, image.pixels.data() + y * rowBytes);
    png_write_end(png, info);
    return true;
}

struct Layout {
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    int channels = 0;  // 3: RGB, 4: RGB and alpha, each 8 bits
    int passes = 1;    // more than one when the file is interlaced
};

bool ReadLayout(png_structp png, png_infop info, std::FILE* file, Layout* layout) {
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_init_io(png, file);
    png_set_user_limits(png, kLongestSide, kLongestSide);
    png_read_info(png, info);
    png_set_expand(png);  // palettes to RGB, grey below 8 bits to 8, transparent colours to alpha
    png_set_scale_16(png);
    png_set_gray_to_rgb(png);
    layout->passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    layout->width = png_get_image_width(png, info);
    layout->height = png_get_image_height(png, info);
    layout->channels = png_get_channels(png, info);
    return png_get_bit_depth(png, info) == 8;
}

void OverWhite(png_const_bytep rgba, png_bytep rgb, std::size_t width) {
    for (std::size_t x = 0; x < width; ++x, rgba += 4, rgb += 3)
        for (int c = 0; c < 3; ++c)
            rgb[c] = static_cast<png_byte>((rgba[c] * rgba[3] + 255 * (255 - rgba[3]) + 127) / 255);
}

// Reads the rows into `pixels`. Rows with alpha go to `rgba` first: one row, or all of them when
// the file is interlaced, as each pass adds pixels to the rows the passes before it left.
bool ReadRows(png_structp png, const Layout* layout, png_bytep pixels, png_bytep rgba) {
    if (setjmp(png_jmpbuf(png)))
        return false;
    const std::size_t width = layout->width;
    for (int pass = 0; pass < layout->passes; ++pass)
        for (png_uint_32 y = 0; y < layout->height; ++y) {
            png_bytep rgb = pixels + y * width * 3;
            if (layout->channels == 3) {
                png_read_row(png, rgb, nullptr);
                continue;
            }
            png_bytep row = rgba + (layout->passes > 1 ? y * width * 4 : 0);
            png_read_row(png, row, nullptr);
            if (pass == layout->passes - 1)
                OverWhite(row, rgb, width);
        }
    png_read_end(png, nullptr);
    return true;
}

struct CloseFile {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

struct PngReading {
    png_structp png =
        png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, JumpBack, IgnoreWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    ~PngReading() { png_destroy_read_struct(&png, &info, nullptr); }
};

}  // namespace

void WritePng(const RasterImage& image, const std::string& path) {
    const std::string failure = FormatMessage("Cannot write file %s", path);
    if (image.Empty() || image.width > static_cast<int>(kLongestSide) ||
        image.height > static_cast<int>(kLongestSide) ||
        image.pixels.size() != static_cast<std::size_t>(image.width) * image.height * 3)
        throw Error(failure);
    std::string encoded;
    png_structp png =
        png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, JumpBack, IgnoreWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    const bool done = info && Encode(png, info, image, &encoded);
    png_destroy_write_struct(&png, &info);
    if (!done)
        throw Error(failure);
    try {
        WriteFileAtomically(path, encoded);
    } catch (const std::system_error&) {
        throw Error(failure);
    }
}

RasterImage ReadPng(const std::string& path) {
    const std::string failure = FormatMessage("Cannot read picture %s", path);
    const std::unique_ptr<std::FILE, CloseFile> file(std::fopen(path.c_str(), "rbe"));
    PngReading reading;
    Layout layout;
    if (!file || !reading.info || !ReadLayout(reading.png, reading.info, file.get(), &layout) ||
        layout.channels < 3 ||
        static_cast<std::uint64_t>(layout.width) * layout.height > kMostPixels)
        throw Error(failure);

    RasterImage image;
    image.width = static_cast<int>(layout.width);
    image.height = static_cast<int>(layout.height);
    image.pixels.resize(static_cast<std::size_t>(layout.width) * layout.height * 3);
    std::vector<png_byte> rgba;
    if (layout.channels == 4)
        rgba.resize(static_cast<std::size_t>(layout.width) * 4 *
                    (layout.passes > 1 ? layout.height : 1));
    if (!ReadRows(reading.png, &layout, image.pixels.data(), rgba.data()))
        throw Error(failure);
    return image;
}

}  // namespace tavrin
