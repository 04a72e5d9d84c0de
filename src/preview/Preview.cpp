// SPDX-License-Identifier: GPL-3.0-or-later
#include "preview/Preview.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "platform/Error.h"
#include "platform/Utf8Path.h"
#include "preview/GhostscriptPreview.h"
#include "preview/HpglPlot.h"
#include "preview/PlotFrame.h"
#include "preview/RasterPlotSink.h"
#include "preview/SvgPlotSink.h"

namespace tavrin {
namespace {

constexpr double kMillimetresPerPoint = 25.4 / 72;

bool IsHpgl(PrintLanguage language) {
    return language == PrintLanguage::HpGl2 || language == PrintLanguage::HpGl;
}

// Reads the plot once to measure it; the preview then draws it in a second reading, so that
// no more of the file than a piece at a time is ever held.
struct MeasuredPlot {
    Preview preview;
    std::optional<PlotBox> box;
    std::chrono::steady_clock::time_point deadline;
};

MeasuredPlot MeasurePlot(const std::string& path, PrintLanguage language,
                         const PreviewRequest& request) {
    MeasuredPlot plot;
    plot.preview.language = language;
    plot.deadline = std::chrono::steady_clock::now() + request.timeLimit;
    std::ifstream file = OpenPrintFile(path);
    PlotExtent extent;
    const HpglPlotSummary summary = DrawHpglPlot(file, extent, {true, plot.deadline});
    plot.preview.pages = summary.pages;
    plot.preview.cutShort = summary.cutShort;
    plot.box = extent.Box();
    if (!plot.box) {
        plot.preview.why = summary.cutShort ? "the plot took too long to read"
                                            : "the plot draws nothing on its first page";
        return plot;
    }
    plot.preview.size = Millimetres{plot.box->Width() / kPlotUnitsPerMillimetre,
                                    plot.box->Height() / kPlotUnitsPerMillimetre};
    return plot;
}

Preview DrawPlot(const std::string& path, PrintLanguage language, const PreviewRequest& request) {
    MeasuredPlot plot = MeasurePlot(path, language, request);
    if (!plot.box)
        return plot.preview;
    const PlotFrame frame = FitPlot(*plot.box, request.width);
    plot.preview.image = RasterImage::White(frame.width, frame.height);
    RasterPlotSink sink(plot.preview.image, frame);
    std::ifstream file = OpenPrintFile(path);
    const HpglPlotSummary summary = DrawHpglPlot(file, sink, {true, plot.deadline});
    plot.preview.cutShort = plot.preview.cutShort || summary.cutShort;
    plot.preview.drawn = true;
    return plot.preview;
}

// A page or box in points, "x0 y0 x1 y1" as a bounding box gives it.
std::optional<Millimetres> BoxSize(const std::string& box) {
    double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    if (std::sscanf(box.c_str(), "%lf %lf %lf %lf", &x0, &y0, &x1, &y1) != 4 || x1 <= x0 ||
        y1 <= y0)
        return std::nullopt;
    return Millimetres{(x1 - x0) * kMillimetresPerPoint, (y1 - y0) * kMillimetresPerPoint};
}

// "%%DocumentMedia: A4 595 842 80 white ()": the first medium's width and height in points.
std::optional<Millimetres> MediaSize(const std::string& media) {
    char name[64];
    double width = 0, height = 0;
    if (std::sscanf(media.c_str(), "%63s %lf %lf", name, &width, &height) != 3 || width <= 0 ||
        height <= 0)
        return std::nullopt;
    return Millimetres{width * kMillimetresPerPoint, height * kMillimetresPerPoint};
}

// An EPS file says so on its first line ("%!PS-Adobe-3.0 EPSF-3.0").
bool IsEncapsulated(const std::string& path) {
    std::ifstream file(PathFromUtf8(path), std::ios::binary);
    std::string line;
    std::getline(file, line);
    return line.rfind("%!", 0) == 0 && line.find("EPSF") != std::string::npos;
}

// The first page's size: the bounding box of an EPS file, the medium of a PostScript file
// that names one, a PDF file's first media box; nothing when the file does not say.
std::optional<Millimetres> PageSize(const PrintFileFacts& facts, bool encapsulated) {
    if (encapsulated)
        return BoxSize(facts.boundingBox);
    if (facts.language.language == PrintLanguage::PostScript)
        return MediaSize(facts.documentMedia);
    return facts.firstPage;
}

// `program` is Ghostscript, or another interpreter of its family (gpcl6 for PCL) when
// `readsPostScript` is false.
Preview DrawWithGhostscript(const std::string& path, const PreviewRequest& request,
                            const std::string& program, bool readsPostScript) {
    const PrintFileFacts facts = InspectPrintFile(path);
    Preview preview;
    preview.language = facts.language.language;
    preview.pages = facts.pages.value_or(0);
    GhostscriptRequest run;
    run.program = program;
    run.width = std::clamp(request.width, 16, kMostPictureWidth);
    run.encapsulated = preview.language == PrintLanguage::PostScript && IsEncapsulated(path);
    preview.size = PageSize(facts, run.encapsulated);
    run.pageWidthPoints = preview.size ? preview.size->width / kMillimetresPerPoint : 0;
    run.timeLimit = request.timeLimit;
    run.readsPostScript = readsPostScript;
    try {
        preview.image = RenderWithGhostscript(path, run);
        preview.drawn = true;
    } catch (const Error& e) {
        preview.why = e.what();
    }
    return preview;
}

}  // namespace

Preview RenderPreview(const std::string& path, const PreviewRequest& request) {
    const FileLanguage language = DetectFileLanguage(path);
    switch (language.language) {
        case PrintLanguage::HpGl2:
        case PrintLanguage::HpGl:
            return DrawPlot(path, language.language, request);
        case PrintLanguage::PostScript:
        case PrintLanguage::Pdf:
            return DrawWithGhostscript(path, request, request.ghostscript, true);
        case PrintLanguage::Pcl:
        case PrintLanguage::PclWithHpGl2: {
            Preview preview = DrawWithGhostscript(path, request, "gpcl6", false);
            if (!preview.drawn)
                preview.why = preview.why == kGhostscriptMissing ? "no PCL renderer is installed"
                                                                 : preview.why;
            preview.language = language.language;
            return preview;
        }
        case PrintLanguage::Unknown:
            break;
    }
    Preview preview;
    preview.why = "the file's language is not known";
    return preview;
}

Preview WritePreviewSvg(const std::string& path, const PreviewRequest& request, std::ostream& out) {
    const FileLanguage language = DetectFileLanguage(path);
    if (!IsHpgl(language.language))
        throw Error("SVG previews are made of HP-GL and HP-GL/2 files only");
    MeasuredPlot plot = MeasurePlot(path, language.language, request);
    if (!plot.box)
        return plot.preview;
    const PlotFrame frame = FitPlot(*plot.box, request.width);
    SvgPlotSink sink(out, frame);
    std::ifstream file = OpenPrintFile(path);
    const HpglPlotSummary summary = DrawHpglPlot(file, sink, {true, plot.deadline});
    sink.Finish();
    plot.preview.cutShort = plot.preview.cutShort || summary.cutShort;
    plot.preview.drawn = true;
    plot.preview.image.width = frame.width;
    plot.preview.image.height = frame.height;
    return plot.preview;
}

std::string DescribePreview(const Preview& preview) {
    std::string text = preview.language == PrintLanguage::Unknown ? "Unknown language"
                                                                  : LanguageName(preview.language);
    if (!preview.drawn)
        return text + ": no preview (" + preview.why + ")";
    if (preview.size) {
        char size[64];
        std::snprintf(size, sizeof size, ", %.0f x %.0f mm", preview.size->width,
                      preview.size->height);
        text += size;
    }
    if (preview.pages > 0)
        text += ", " + std::to_string(preview.pages) + (preview.pages == 1 ? " page" : " pages");
    if (preview.cutShort)
        text += " (cut short at the time limit)";
    return text;
}

}  // namespace tavrin
