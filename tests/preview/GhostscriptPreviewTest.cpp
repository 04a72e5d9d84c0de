// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <cerrno>
#include <filesystem>
#include <functional>

#include "platform/Error.h"
#include "preview/GhostscriptPreview.h"
#include "preview/PngFile.h"
#include "support/TempFolder.h"

namespace tavrin {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

std::string ErrorOf(const std::function<void()>& run) {
    try {
        run();
    } catch (const Error& error) {
        return error.what();
    }
    return "no error";
}

long OpenFiles() {
    return std::distance(fs::directory_iterator("/proc/self/fd"), {});
}

// Temporary files go to a folder of the test's own, to see that none stays.
class GhostscriptPreview : public ::testing::Test {
protected:
    void SetUp() override { setenv("TMPDIR", tmp_.path().c_str(), 1); }
    void TearDown() override {
        unsetenv("TMPDIR");
        EXPECT_TRUE(fs::is_empty(tmp_.path()));
        EXPECT_EQ(OpenFiles(), files_);
        EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1) << "a child process is left";
        EXPECT_EQ(errno, ECHILD);
    }
    test::TempFolder tmp_, folder_;
    long files_ = OpenFiles();
};

struct Render {
    const char* name;
    std::string file;  // a sample, or PostScript written for the test
    int width;
    double pageWidthPoints;
    bool encapsulated;
    int minHeight, maxHeight;
    double minInk, maxInk;  // set after looking at the pictures saved in test-output
    int inkedRight;         // where the ink ends at the most
};

const Render kRenders[] = {
    // No page width given: Ghostscript's own paper, A4 here, letter elsewhere.
    {"colorcir", "ghostpdl/colorcir.ps", 400, 0, false, 510, 570, 0.2, 0.33, 400},
    {"golfer", "ghostpdl/golfer.eps", 570, 570, true, 694, 696, 0.65, 0.76, 570},
    // Page 2 inks the right half, then loops for ever: only page 1 may be read.
    {"first_page_only",
     "%!PS\n<< /PageSize [612 792] >> setpagedevice 0 0 306 792 rectfill showpage\n"
     "306 0 306 792 rectfill showpage {} loop\n",
     200, 612, false, 258, 260, 0.49, 0.51, 101},
};

TEST_F(GhostscriptPreview, DrawsTheFirstPageAtTheWidthAsked) {
    fs::create_directories(test::OutputDir());
    for (const Render& row : kRenders) {
        SCOPED_TRACE(row.name);
        std::string path = test::SamplesDir() / row.file;
        if (row.file.starts_with("%!"))
            test::WriteBytes(path = folder_ / "pages.ps", row.file);
        const RasterImage image =
            RenderWithGhostscript(path, {.width = row.width,
                                         .pageWidthPoints = row.pageWidthPoints,
                                         .encapsulated = row.encapsulated});
        WritePng(image, test::OutputDir() / (std::string("gs_") + row.name + ".png"));
        EXPECT_EQ(image.width, row.width);
        EXPECT_TRUE(image.height >= row.minHeight && image.height <= row.maxHeight) << image.height;
        const double ink = image.InkedFraction();
        EXPECT_TRUE(ink >= row.minInk && ink <= row.maxInk) << ink;
        EXPECT_LE(image.InkedBox()->right, row.inkedRight);
    }
}

struct Failure {
    const char* name;
    std::string program, content, message;  // "%s" in the message: the file's path
    bool whole;                             // else the message starts so
    std::chrono::milliseconds limit;
};

const Failure kFailures[] = {
    {"missing_program", "gs-missing", "%!PS\nshowpage\n", kGhostscriptMissing, true, 15s},
    {"endless_loop", "gs", "%!PS\n{} loop\n",
     "Ghostscript took longer than 2 s over the first page of %s", true, 2s},
    {"garbage", "gs", "\x01\x02 garbage no printer reads\n",
     "Ghostscript could not read %s: Error: /undefined in ", false, 15s},
    {"no_page", "gs", "%!PS\n10 10 moveto 90 90 lineto stroke\n",
     "Ghostscript could not read %s: the file shows no page", true, 15s},
};

// The files are named relative to the working folder and start with '-', as options do.
TEST_F(GhostscriptPreview, SaysInPlainWordsWhyThereIsNoPicture) {
    const fs::path back = fs::current_path();
    fs::current_path(folder_.path());
    for (const Failure& row : kFailures) {
        SCOPED_TRACE(row.name);
        const std::string file = std::string("-") + row.name + ".ps";
        test::WriteBytes(file, row.content);
        const auto start = std::chrono::steady_clock::now();
        const std::string error = ErrorOf(
            [&] { RenderWithGhostscript(file, {.program = row.program, .timeLimit = row.limit}); });
        EXPECT_LT(std::chrono::steady_clock::now() - start, row.limit + 1s);
        const std::string expected = FormatMessage(row.message, file);
        EXPECT_EQ(row.whole ? error : error.substr(0, expected.size()), expected);
        EXPECT_EQ(test::ReadFile(file), row.content);
    }
    fs::current_path(back);
}

TEST_F(GhostscriptPreview, PngFilesKeepEveryPixelAndRefuseDamage) {
    RasterImage image = RasterImage::White(256, 3);
    for (int x = 0; x < 256; ++x)
        for (int y = 0; y < 3; ++y)
            image.Set(x, y, Rgb{std::uint8_t(x), std::uint8_t(255 - x), std::uint8_t(x * y)});
    const std::string png = folder_ / "picture.png", folder = folder_ / "folder";
    WritePng(image, png);
    EXPECT_EQ(ReadPng(png).pixels, image.pixels);
    // A write that fails at its last step, the rename, and one of nothing leave the file alone.
    const std::string whole = test::ReadFile(png);
    fs::create_directory(folder);
    EXPECT_EQ(ErrorOf([&] { WritePng(image, folder); }), "Cannot write file " + folder);
    EXPECT_EQ(ErrorOf([&] { WritePng(RasterImage{}, png); }), "Cannot write file " + png);
    EXPECT_EQ(test::ReadFile(png), whole);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder_.path()), {}), 2) << "a half file stays";
    for (const std::string& bytes : {whole.substr(0, whole.size() / 2), whole.substr(0, 40),
                                     std::string("no picture"), std::string()}) {
        test::WriteBytes(png, bytes);
        EXPECT_EQ(ErrorOf([&] { ReadPng(png); }), "Cannot read picture " + png);
    }
    EXPECT_EQ(ErrorOf([&] { ReadPng(folder + "/missing.png"); }),
              "Cannot read picture " + folder + "/missing.png");
}

}  // namespace
}  // namespace tavrin
