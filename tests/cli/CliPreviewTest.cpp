// SPDX-License-Identifier: GPL-3.0-or-later
// tavrin-cli preview: a picture of a file's first page as PNG or SVG, written whole or not at all.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <set>

#include "preview/PngFile.h"
#include "support/SandboxPrintServer.h"

namespace tavrin {
namespace {

namespace fs = std::filesystem;

const std::string kUsage = "usage: tavrin-cli preview FILE -o OUT.png|OUT.svg [--width PIXELS]\n";

std::string Sample(const std::string& name) {
    return (test::SamplesDir() / name).string();
}

// `text` with each "%NAME" of `names` replaced by its value.
std::string Filled(std::string text,
                   const std::vector<std::pair<std::string, std::string>>& names) {
    for (const auto& [name, value] : names)
        for (std::size_t at; (at = text.find(name)) != std::string::npos;)
            text.replace(at, name.size(), value);
    return text;
}

std::set<std::string> FilesIn(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

TEST(CliPreview, DrawsTheFirstPageAtTheWidthAsked) {
    test::TempFolder folder;
    const std::string plot = Sample("jem-green-HPGL2/XANADU-PLT-test.plt");
    struct Row {
        std::string out;
        std::string options;
        int width;
        int height;
    };
    const Row rows[] = {
        {"plot.png", "--width 640", 640, 755},
        {"Plot.PNG", "--width=16", 16, 19},
        {"plot.svg", "", 800, 943},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.out);
        const std::string out = (folder / row.out).string();
        const test::CliResult run =
            test::RunCli(folder.path(), "preview '" + plot + "' -o '" + out + "' " + row.options);
        EXPECT_EQ(std::tie(run.exitCode, run.err), std::tuple(0, ""));
        EXPECT_EQ(run.out, plot + ": HP-GL/2, 156 x 184 mm, 1 page, " + std::to_string(row.width) +
                               " x " + std::to_string(row.height) + " pixels -> " + out + "\n");
        if (row.out.ends_with(".svg")) {
            const std::string svg = test::ReadFile(out);
            EXPECT_TRUE(svg.starts_with("<svg") || svg.starts_with("<?xml")) << svg.substr(0, 80);
            EXPECT_NE(svg.find("<path"), std::string::npos);
        } else {
            const RasterImage image = ReadPng(out);
            EXPECT_EQ(std::pair(image.width, image.height), std::pair(row.width, row.height));
            EXPECT_GT(image.InkedFraction(), 0.002);
        }
    }
}

TEST(CliPreview, BadInputFailsAndLeavesTheOutputAsItWas) {
    test::TempFolder folder;
    const fs::path pictures = folder / "pictures";
    test::WriteBytes(folder / "blank.plt", "IN;SP1;PU100,100;SP0;");
    ASSERT_EQ(::mkfifo((folder / "fifo.plt").c_str(), 0600), 0);  // nobody writes to it
    const std::vector<std::pair<std::string, std::string>> names = {
        {"%FIFO", (folder / "fifo.plt").string()},
        {"%PLOT", Sample("jem-green-HPGL2/XANADU-PLT-test.plt")},
        {"%PCL", Sample("cups/testfile.pcl")},
        {"%GONE", (folder / "gone.plt").string()},
        {"%BLANK", (folder / "blank.plt").string()},
        {"%FOLDER", folder.path().string()},
        {"%OUT", (pictures / "out").string()},
        {"%USAGE", kUsage}};
    struct Row {
        std::string arguments;
        std::string out;  // the picture the command would write
        int exitCode;
        std::string err;
    };
    const Row rows[] = {
        {"preview '%GONE' -o '%OUT.png'", "out.png", 2, "Cannot open file %GONE\n"},
        {"preview '%FOLDER' -o '%OUT.png'", "out.png", 2, "Cannot open file %FOLDER\n"},
        {"preview '%FIFO' -o '%OUT.svg'", "out.svg", 2, "Cannot open file %FIFO\n"},
        {"preview /dev/zero -o '%OUT.png'", "out.png", 2, "Cannot open file /dev/zero\n"},
        {"preview '%PLOT' -o '%OUT.jpg'", "out.jpg", 64,
         "tavrin-cli: preview writes .png or .svg files, not '%OUT.jpg'\n%USAGE"},
        {"preview '%PLOT' -o '%OUT.png' --width 3", "out.png", 64,
         "tavrin-cli: --width takes a number of pixels from 16 to 20000, not '3'\n%USAGE"},
        {"preview '%PLOT' --width 640", "out.png", 64,
         "tavrin-cli: preview needs -o OUT.png or -o OUT.svg\n%USAGE"},
        {"preview '%PCL' -o '%OUT.png'", "out.png", 1,
         "%PCL: no preview: no PCL renderer is installed\n"},
        {"preview '%BLANK' -o '%OUT.svg'", "out.svg", 1,
         "%BLANK: no preview: the plot draws nothing on its first page\n"},
        {"preview '%PCL' -o '%OUT.svg'", "out.svg", 2,
         "SVG previews are made of HP-GL and HP-GL/2 files only\n"},
    };
    for (const Row& row : rows) {
        const std::string arguments = Filled(row.arguments, names);
        SCOPED_TRACE(arguments);
        for (const bool existing : {false, true}) {
            fs::remove_all(pictures);
            fs::create_directory(pictures);
            if (existing)
                test::WriteBytes(pictures / row.out, "the picture made before");
            const test::CliResult run = test::RunCli(folder.path(), arguments);
            EXPECT_EQ(std::tie(run.exitCode, run.out), std::tuple(row.exitCode, ""));
            EXPECT_EQ(run.err, Filled(row.err, names));
            // Nothing written, not even a temporary file left beside the picture.
            EXPECT_EQ(FilesIn(pictures),
                      existing ? std::set<std::string>{row.out} : std::set<std::string>{});
            if (existing) {
                EXPECT_EQ(test::ReadFile(pictures / row.out), "the picture made before");
            }
        }
    }
}

}  // namespace
}  // namespace tavrin
