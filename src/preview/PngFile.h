// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "preview/RasterImage.h"

namespace tavrin {

// Writes `image` as an 8-bit RGB PNG file. Throws "Cannot write file %s".
void WritePng(const RasterImage& image, const std::string& path);

// Reads a PNG file of any colour type as RGB (alpha over white). Throws "Cannot read picture %s"
// for a file that is missing or no PNG.
RasterImage ReadPng(const std::string& path);

}  // namespace tavrin
