// SPDX-License-Identifier: GPL-3.0-or-later
// The Windows build has no libpng (Debian has none for mingw-w64): its previews are SVG files.
#include "platform/Error.h"
#include "preview/PngFile.h"

namespace tavrin {
namespace {

constexpr const char* kNoPng = "This build of Tavrin makes no PNG pictures: write an .svg file";

}  // namespace

void WritePng(const RasterImage&, const std::string&) {
    throw Error(kNoPng);
}

RasterImage ReadPng(const std::string&) {
    throw Error(kNoPng);
}

}  // namespace tavrin
