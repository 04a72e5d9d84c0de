// SPDX-License-Identifier: GPL-3.0-or-later
#include "spool/DeviceGuard.h"

#include <gtest/gtest.h>

#include "platform/Utf8Path.h"
#include "printers/DeviceClass.h"
#include "support/TempFolder.h"

namespace tavrin {
namespace {

using Lines = std::vector<std::string>;

using Formats = std::optional<std::vector<std::string>>;

// One list of every language, and the lines each printer flags of it: by the formats it lists
// where it lists them, else by its class.
TEST(DeviceGuard, FlagsOnlyWhatThePrinterCannotRead) {
    test::TempFolder folder;
    // No PDF among the samples: its first bytes are all that detection reads.
    test::WriteBytes(folder / "drawing.pdf", "%PDF-1.4\n");
    Lines files = {(folder / "drawing.pdf").string(), (folder / "gone.ps").string()};
    for (const char* sample : {"ghostpdl/colorcir.ps", "hp2xx/inter.hp", "hp2xx/dt.plt",
                               "jem-green-HPGL2/test-Model.PLT", "cups/testfile.pcl",
                               "ghostpdl/gl-chars.pcl", "SOURCES.md"})
        files.push_back((test::SamplesDir() / sample).string());
    // A name outside ASCII, which Windows must not read through its ANSI code page.
    const std::filesystem::path named = folder / PathFromUtf8("Größe чертёж.plt");
    std::filesystem::copy_file(test::SamplesDir() / "hp2xx/dt.plt", named);
    files.insert(files.begin() + 5, Utf8OfPath(named));
    const Lines plots = {"inter.hp (HP-GL)", "dt.plt (HP-GL/2)", "Größe чертёж.plt (HP-GL/2)",
                         "test-Model.PLT (HP-GL/2)"};
    const Lines pcl = {"testfile.pcl (PCL)", "gl-chars.pcl (PCL with HP-GL/2)"};
    const std::string hpgl = "application/vnd.hp-hpgl", ps = "application/postscript",
                      pdf = "application/pdf", pclFormat = "application/vnd.hp-pcl",
                      any = "application/octet-stream";
    struct Row {
        const char* deviceClass;
        Formats formats;
        Lines flagged;
    } rows[] = {
        {"HPGL/2", {}, {"drawing.pdf (PDF)", "colorcir.ps (PostScript)"}},
        {"POSTSCRIPT", {}, plots},
        {kOceDeviceClass, {}, {}},
        {kUnknownDeviceClass, {}, {}},
        {kInvalidDeviceClass, {}, {}},
        {"HPGL/2", Lines{}, {"drawing.pdf (PDF)", "colorcir.ps (PostScript)"}},
        // A plotter with a PostScript option reads what it lists.
        {"HPGL/2", Lines{hpgl, ps, pclFormat}, {"drawing.pdf (PDF)"}},
        {"POSTSCRIPT", Lines{ps, pdf},
         [&] {
             Lines lines = plots;
             lines.insert(lines.end(), pcl.begin(), pcl.end());
             return lines;
         }()},
        // "application/octet-stream" reads no language; PCL with HP-GL/2 goes as either.
        {kUnknownDeviceClass,
         Lines{pdf, any},
         {"colorcir.ps (PostScript)", "inter.hp (HP-GL)", "dt.plt (HP-GL/2)",
          "Größe чертёж.plt (HP-GL/2)", "test-Model.PLT (HP-GL/2)", "testfile.pcl (PCL)",
          "gl-chars.pcl (PCL with HP-GL/2)"}},
        {kOceDeviceClass,
         Lines{hpgl},
         {"drawing.pdf (PDF)", "colorcir.ps (PostScript)", "testfile.pcl (PCL)"}},
    };
    for (const Row& row : rows) {
        Lines lines;
        for (const WrongDeviceFile& file : FilesForWrongDevice(row.deviceClass, row.formats, files))
            lines.push_back(WrongDeviceLine(file));
        EXPECT_EQ(lines, row.flagged) << row.deviceClass << " " << row.formats.has_value();
    }
}

}  // namespace
}  // namespace tavrin
