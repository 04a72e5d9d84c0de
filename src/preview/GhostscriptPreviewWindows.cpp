// SPDX-License-Identifier: GPL-3.0-or-later
// Ghostscript is run as a program of its own on POSIX systems only, for now.
#include "platform/Error.h"
#include "preview/GhostscriptPreview.h"

namespace tavrin {

RasterImage RenderWithGhostscript(const std::string&, const GhostscriptRequest&) {
    throw Error("this build of Tavrin draws no PostScript or PDF previews");
}

}  // namespace tavrin
