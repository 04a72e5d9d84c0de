// SPDX-License-Identifier: GPL-3.0-or-later
#include "preview/HpglPlot.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>

#include "preview/Preview.h"
#include "support/TempFolder.h"

namespace tavrin {
namespace {

// Writes down every call, coordinates rounded to whole plotter units.
class RecordingSink final : public PlotSink {
public:
    std::string calls;
    int lines = 0;

    void SelectPen(int pen, Rgb colour, double width) override {
        char text[64];
        std::snprintf(text, sizeof text, "pen %d #%02x%02x%02x %.2f; ", pen, colour.r, colour.g,
                      colour.b, width);
        calls += text;
    }
    void MoveTo(PlotPoint to) override { calls += "M" + Point(to) + "; "; }
    void LineTo(PlotPoint to) override {
        ++lines;
        calls += "L" + Point(to) + "; ";
    }
    void PageEnd() override { calls += "page; "; }

private:
    static std::string Point(PlotPoint p) {
        return std::to_string(std::lround(p.x)) + "," + std::to_string(std::lround(p.y));
    }
};

HpglPlotSummary Draw(const std::string& bytes, RecordingSink& sink, HpglPlotLimits limits = {}) {
    std::istringstream in(bytes);
    return DrawHpglPlot(in, sink, limits);
}

// A PE number: the sign in the lowest bit, base 64 (base 32 in 7-bit mode), least significant
// digit first, the last one from the terminator range.
std::string Encode(int value, bool sevenBit = false) {
    unsigned n =
        value < 0 ? static_cast<unsigned>(-value) * 2 + 1 : static_cast<unsigned>(value) * 2;
    const unsigned base = sevenBit ? 32 : 64;
    std::string out;
    for (; n >= base; n /= base)
        out += static_cast<char>(63 + n % base);
    out += static_cast<char>((sevenBit ? 95 : 191) + n);
    return out;
}

const std::string kEsc = "\x1b";
const std::string kPen1 = "pen 1 #000000 0.35; ";

TEST(HpglPlot, InstructionsDrawWhatTheySay) {
    struct Case {
        const char* name;
        std::string plot;
        std::string calls;
    } cases[] = {
        {"absolute lines", "IN;SP1;PU0,0;PD100,0,100,50;PU;",
         kPen1 + "M0,0; L100,0; L100,50; page; "},
        {"relative lines", "IN;SP1;PA10,10;PR;PD5,0,0,5;",
         kPen1 + "M10,10; L15,10; L15,15; page; "},
        {"lower case and spaces", "in; sp 2; pu 0 0; pd 10 0;",
         "pen 2 #ff0000 0.35; M0,0; L10,0; page; "},
        {"8-bit PE: move, relative lines, pen",
         "IN;PE:" + Encode(3) + "<=" + Encode(100) + Encode(200) + Encode(50) + Encode(-20) + ";",
         "pen 3 #00ff00 0.35; M100,200; L150,180; page; "},
        {"7-bit PE with fractional bits",
         "IN;SP1;PE7>" + Encode(2, true) + "=" + Encode(40, true) + Encode(0, true) + ";",
         kPen1 + "M0,0; L10,0; page; "},
        {"scaling", "IN;SP1;IP0,0,1000,1000;SC0,10,0,10;PU5,5;PD10,5;",
         kPen1 + "M500,500; L1000,500; page; "},
        {"isotropic scaling centres", "IN;SP1;IP0,0,2000,1000;SC0,10,0,10,1;PD10,10;",
         kPen1 + "M0,0; L1500,1000; page; "},
        {"soft-clip window", "IN;SP1;IW0,0,50,50;PD100,100;", kPen1 + "M0,0; L50,50; page; "},
        {"rectangle", "IN;SP1;PA10,10;EA20,30;",
         kPen1 + "M10,10; L20,10; L20,30; L10,30; L10,10; page; "},
        {"polygon outlined", "IN;SP1;PM0;PD10,0,10,10;PM2;EP;",
         kPen1 + "M0,0; L10,0; L10,10; L0,0; page; "},
        {"pen width and colour", "IN;PC2,0,0,128;PW0.7,2;SP2;PD1,0;",
         "pen 2 #000080 0.70; M0,0; L1,0; page; "},
        {"unknown instruction keeps the reading in step", "IN;SP1;ZZ1,2,3;QX;PD10,0;",
         kPen1 + "M0,0; L10,0; page; "},
        {"label boxes end at the terminator", "IN;SP1;SI0.1,0.1;DT*,1;LBA*PD0,0;",
         kPen1 + "M4,0; L36,0; L36,40; L4,40; L4,0; M60,0; L0,0; page; "},
        {"PJL and PCL around HP-GL/2, PCL data skipped",
         kEsc + "%-12345X@PJL JOB\r\n@PJL ENTER LANGUAGE=HPGL2\r\nIN;SP1;" + kEsc + "%1A" + kEsc +
             "*b5WPD9,9" + kEsc + "%1BPD10,0;" + kEsc + "%-12345X@PJL EOJ\r\n",
         kPen1 + "M0,0; L10,0; page; "},
        {"only the first page reaches the sink", "IN;SP1;PD10,0;PG;PU;PD20,0;PG;",
         kPen1 + "M0,0; L10,0; page; "},
    };
    for (const auto& c : cases) {
        RecordingSink sink;
        Draw(c.plot, sink);
        EXPECT_EQ(sink.calls, c.calls) << c.name;
    }
}

TEST(HpglPlot, ArcsAndCirclesTakeTheirChordSteps) {
    struct Case {
        const char* plot;
        int lines;
    } cases[] = {
        {"IN;SP1;PA100,100;CI50;", 72},          // 360 / 5
        {"IN;SP1;PA100,100;CI50,10;", 36},       // chord 10
        {"IN;SP1;PA100,100;CI50,0.0001;", 720},  // held at half a degree
        {"IN;SP1;PA0,0;PD;AA100,0,90;", 18},
        {"IN;SP1;PA0,0;PD;AR100,0,1000000000;", 72},  // sweep held at a full turn
        {"IN;SP1;PA0,0;PU;AA100,0,90;", 0},           // pen up: a move
    };
    for (const auto& c : cases) {
        RecordingSink sink;
        Draw(c.plot, sink);
        EXPECT_EQ(sink.lines, c.lines) << c.plot;
    }
}

TEST(HpglPlot, SummaryCountsPagesAndStopsAtTheDeadline) {
    RecordingSink sink;
    HpglPlotSummary summary = Draw("PS11880,8400;IN;SP1;PD1,1;PG;PD2,2;PG;PG;PD3,3;", sink);
    EXPECT_EQ(summary.pages, 3);
    ASSERT_TRUE(summary.paper);
    EXPECT_EQ(*summary.paper, (PlotPoint{11880, 8400}));
    std::string endless = "IN;SP1;PD";
    for (int i = 0; i < 20000; ++i)
        endless += "1,1,";
    summary = Draw(endless, sink, {true, std::chrono::steady_clock::now()});
    EXPECT_TRUE(summary.cutShort);
}

// Every HP-GL file among the samples, drawn 800 pixels across. The sizes and inked shares were
// noted from looking at each picture (test-output/preview/).
TEST(HpglPlot, SamplesRenderAsTheyLook) {
    struct Case {
        const char* file;
        double width, height;  // the drawing's extent, millimetres
        int pages;
        double inked;  // share of pixels that are not white
    } cases[] = {
        {"jem-green-HPGL2/XANADU-PLT-test.plt", 156, 184, 1, 0.0135},
        {"jem-green-HPGL2/XANADU-PLT-test2.plt", 184, 156, 1, 0.0114},
        {"jem-green-HPGL2/test-Model.PLT", 99, 99, 1, 0.0134},
        {"jem-green-HPGL2/test2a-Layout1.PLT", 163, 232, 1, 0.0042},
        {"hp2xx/286x192.5_qh.hpg", 286, 192, 1, 0.0786},
        {"hp2xx/acad.hp", 107, 91, 1, 0.0384},
        {"hp2xx/dt.plt", 143, 27, 1, 0.0882},
        {"hp2xx/inter.hp", 187, 178, 1, 0.0473},
        {"hp2xx/lo-slash.hp", 18, 3, 3, 0.2943},
        {"hp2xx/pages.hp", 25, 25, 3, 0.0632},
        {"hp2xx/spectrum.plt", 271, 187, 1, 0.0517},
        {"hp2xx/win_1.hp", 251, 162, 1, 0.0211},
        {"hpgl-rendering/test.plt", 234, 176, 1, 0.0394},
        {"plotutils/plot2hpgl.xout", 126, 134, 1, 0.0365},
    };
    for (const auto& c : cases) {
        const Preview preview = RenderPreview((test::SamplesDir() / c.file).string(), {});
        ASSERT_TRUE(preview.drawn) << c.file << ": " << preview.why;
        ASSERT_TRUE(preview.size) << c.file;
        EXPECT_NEAR(preview.size->width, c.width, 1) << c.file;
        EXPECT_NEAR(preview.size->height, c.height, 1) << c.file;
        EXPECT_EQ(preview.pages, c.pages) << c.file;
        EXPECT_EQ(preview.image.width, 800) << c.file;
        EXPECT_NEAR(preview.image.InkedFraction(), c.inked, c.inked * 0.1) << c.file;
    }
}

// Damaged plots draw what they can, in bounded time: cut at many places, bytes flipped, noise.
TEST(HpglPlot, DamagedPlotsNeverHangOrCrash) {
    const std::string whole =
        test::ReadFile(test::SamplesDir() / "jem-green-HPGL2/XANADU-PLT-test.plt");
    std::mt19937 random(7);
    std::vector<std::string> inputs;
    for (std::size_t cut = 1000; cut < whole.size(); cut += whole.size() / 7)
        inputs.push_back(whole.substr(0, cut));
    for (int i = 0; i < 40; ++i) {
        std::string damaged = whole;
        for (int flips = 0; flips < 200; ++flips)
            damaged[random() % damaged.size()] = static_cast<char>(random());
        inputs.push_back(damaged);
        std::string noise(4096, '\0');
        for (char& c : noise)
            c = static_cast<char>(random());
        inputs.push_back("IN;PE" + noise);
    }
    for (const auto& input : inputs) {
        RecordingSink sink;
        const auto start = std::chrono::steady_clock::now();
        Draw(input, sink, {true, start + std::chrono::seconds(2)});
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
    }
}

TEST(HpglPlot, SvgHoldsThePathsOfThePlot) {
    test::TempFolder folder;
    test::WriteBytes(folder / "box.plt", "IN;SP2;PU0,0;PD400,0,400,400;");
    std::ostringstream svg;
    PreviewRequest request;
    request.width = 100;
    const Preview preview = WritePreviewSvg((folder / "box.plt").string(), request, svg);
    EXPECT_TRUE(preview.drawn);
    EXPECT_NE(svg.str().find("width=\"100\" height=\"100\""), std::string::npos) << svg.str();
    EXPECT_NE(svg.str().find("stroke=\"#ff0000\""), std::string::npos) << svg.str();
    EXPECT_NE(svg.str().find("d=\"M2.0 98.0L98.0 98.0L98.0 2.0\""), std::string::npos) << svg.str();
    EXPECT_NE(svg.str().rfind("</svg>\n"), std::string::npos);
}

}  // namespace
}  // namespace tavrin
