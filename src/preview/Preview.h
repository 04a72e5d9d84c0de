// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <optional>
#include <ostream>
#include <string>

#include "preview/RasterImage.h"
#include "printers/PrintFileFacts.h"
#include "printers/PrintLanguage.h"

namespace tavrin {

struct PreviewRequest {
    int width = 800;  // pixels across the picture, 16 to 8000
    // Past it an HP-GL/2 picture shows what was drawn so far, and a Ghostscript run is stopped.
    std::chrono::milliseconds timeLimit{15000};
    std::string ghostscript = "gs";
};

// The first page of a print file as a picture, or why there is none.
struct Preview {
    PrintLanguage language = PrintLanguage::Unknown;
    bool drawn = false;  // `image` holds the first page
    RasterImage image;
    // The outline drawn around the plot, in millimetres: the drawing's extent (HP-GL/2) or the
    // page (PostScript, PDF).
    std::optional<Millimetres> size;
    int pages = 0;          // pages found; 0 when not known
    bool cutShort = false;  // the time limit stopped the drawing before the file's end
    std::string why;        // when not drawn: why, in plain words
};

// Pictures the first page of the file at `path`. Throws Error "Cannot open file %s" when the
// file cannot be read; a file without a preview is no error (see Preview::why).
Preview RenderPreview(const std::string& path, const PreviewRequest& request);

// Writes the first page of the HP-GL or HP-GL/2 file at `path` as SVG to `out`, `width` pixels
// across. Throws Error "Cannot open file %s", or "SVG previews are made of HP-GL and HP-GL/2
// files only" for other files.
Preview WritePreviewSvg(const std::string& path, const PreviewRequest& request, std::ostream& out);

// "HP-GL/2, 841 x 594 mm, 1 page", "PostScript, 210 x 297 mm", or "PCL: no preview (...)".
std::string DescribePreview(const Preview& preview);

}  // namespace tavrin
