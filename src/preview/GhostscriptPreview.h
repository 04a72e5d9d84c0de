// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <string>

#include "preview/RasterImage.h"

namespace tavrin {

struct GhostscriptRequest {
    std::string program = "gs";  // looked up on PATH when it holds no '/'
    int width = 800;             // pixels across the first page
    // The first page's width in PostScript points when the file says (BoundingBox, media);
    // 0 when unknown.
    double pageWidthPoints = 0;
    bool encapsulated = false;  // an EPS file: crop to its bounding box
    // The interpreter reads PostScript: it is told to stop once the first page is out. (Those
    // for other languages, gpcl6 among them, read the first page only and then the rest.)
    bool readsPostScript = true;
    std::chrono::milliseconds timeLimit{15000};
};

// Pictures the first page of a PostScript, EPS or PDF file by running Ghostscript as a separate
// process with -dSAFER, killed when the time limit passes. Throws Error with the reason:
// kGhostscriptMissing when the program cannot be started, else what went wrong in plain words.
RasterImage RenderWithGhostscript(const std::string& path, const GhostscriptRequest& request);

inline constexpr const char* kGhostscriptMissing =
    "Ghostscript is not installed: install the ghostscript package to see PostScript and PDF "
    "files";

}  // namespace tavrin
