// SPDX-License-Identifier: GPL-3.0-or-later
// Draws arbitrary bytes as an HP-GL/2 plot the way a preview does: once to measure the drawing,
// then again into a small picture fitted to it. The parser must never throw, must stop near its
// deadline, and must keep to what it tells its sink: pens of a width of at least 0, points that
// are numbers, drawing on the first page only, a page counted once drawn on, and the same
// drawing on both readings (else the picture would cut off what the measure left out).
#include <chrono>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "FuzzSupport.h"
#include "preview/HpglPlot.h"
#include "preview/PlotFrame.h"
#include "preview/RasterPlotSink.h"

namespace {

using tavrin::fuzz::Check;
using Clock = std::chrono::steady_clock;

// Checks each call, counts it into a digest of the drawing, and hands it on.
class CheckingSink final : public tavrin::PlotSink {
public:
    explicit CheckingSink(tavrin::PlotSink& next) : next_(next) {}

    void SelectPen(int pen, tavrin::Rgb colour, double widthMillimetres) override {
        Check(std::isfinite(widthMillimetres) && widthMillimetres >= 0, "a pen width below 0");
        Drawing(static_cast<double>(pen) + widthMillimetres);
        next_.SelectPen(pen, colour, widthMillimetres);
    }
    void MoveTo(tavrin::PlotPoint to) override {
        Point(to);
        next_.MoveTo(to);
    }
    void LineTo(tavrin::PlotPoint to) override {
        Point(to);
        drewLines = true;
        next_.LineTo(to);
    }
    void PageEnd() override {
        Check(pageEnds == 0, "a second page reaches the sink with firstPageOnly");
        ++pageEnds;
        next_.PageEnd();
    }

    bool drewLines = false;
    int pageEnds = 0;
    std::uint64_t calls = 0;
    double digest = 0;

private:
    void Point(tavrin::PlotPoint at) {
        Check(std::isfinite(at.x) && std::isfinite(at.y), "a point that is no number");
        Drawing(at.x * 3 + at.y);
    }
    void Drawing(double value) {
        Check(pageEnds == 0, "drawing after the first page's end");
        ++calls;
        digest = digest * 0.5 + value;
    }

    tavrin::PlotSink& next_;
};

struct Reading {
    tavrin::HpglPlotSummary summary;
    CheckingSink sink;
};

Reading Draw(const std::string& bytes, tavrin::PlotSink& into) {
    std::istringstream file(bytes);
    Reading reading{{}, CheckingSink(into)};
    const auto start = Clock::now();
    const tavrin::HpglPlotLimits limits{true, start + std::chrono::milliseconds(500)};
    reading.summary = tavrin::DrawHpglPlot(file, reading.sink, limits);
    Check(Clock::now() - start < std::chrono::seconds(5), "the deadline passed long ago");
    Check(reading.summary.pages >= reading.sink.pageEnds, "a page end the summary does not count");
    Check(!reading.sink.drewLines || reading.summary.pages >= 1, "lines drawn on no page");
    return reading;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    tavrin::PlotExtent extent;
    const Reading measured = Draw(bytes, extent);
    if (!extent.Box())
        return 0;
    const tavrin::PlotFrame frame = tavrin::FitPlot(*extent.Box(), 48);
    tavrin::RasterImage image = tavrin::RasterImage::White(frame.width, frame.height);
    tavrin::RasterPlotSink raster(image, frame);
    const Reading drawn = Draw(bytes, raster);
    Check(image.width == 48 && image.height >= 1 && image.height <= 3 * 48 + 1,
          "the picture is not fitted to the width");
    if (!measured.summary.cutShort && !drawn.summary.cutShort)
        Check(measured.sink.calls == drawn.sink.calls &&
                  (measured.sink.digest == drawn.sink.digest ||
                   (std::isnan(measured.sink.digest) && std::isnan(drawn.sink.digest))),
              "the second reading draws otherwise");
    return 0;
}
