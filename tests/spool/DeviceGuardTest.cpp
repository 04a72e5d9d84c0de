// SPDX-License-Identifier: GPL-3.0-or-later
#include "spool/DeviceGuard.h"

#include <gtest/gtest.h>

#include "printers/DeviceClass.h"
#include "support/TempFolder.h"

namespace tavrin {
namespace {

using Lines = std::vector<std::string>;

// One list of every language, and the lines each device class flags of it.
TEST(DeviceGuard, FlagsOnlyWhatThePrinterClassCannotRead) {
    test::TempFolder folder;
    // No PDF among the samples: its first bytes are all that detection reads.
    test::WriteBytes(folder / "drawing.pdf", "%PDF-1.4\n");
    Lines files = {(folder / "drawing.pdf").string(), (folder / "gone.ps").string()};
    for (const char* sample : {"ghostpdl/colorcir.ps", "hp2xx/inter.hp", "hp2xx/dt.plt",
                               "jem-green-HPGL2/test-Model.PLT", "cups/testfile.pcl",
                               "ghostpdl/gl-chars.pcl", "SOURCES.md"})
        files.push_back((test::SamplesDir() / sample).string());
    const std::pair<const char*, Lines> rows[] = {
        {"HPGL/2", {"drawing.pdf (PDF)", "colorcir.ps (PostScript)"}},
        {"POSTSCRIPT", {"inter.hp (HP-GL)", "dt.plt (HP-GL/2)", "test-Model.PLT (HP-GL/2)"}},
        {kOceDeviceClass, {}},
        {kUnknownDeviceClass, {}},
        {kInvalidDeviceClass, {}},
    };
    for (const auto& [deviceClass, flagged] : rows) {
        Lines lines;
        for (const WrongDeviceFile& file : FilesForWrongDevice(deviceClass, files))
            lines.push_back(WrongDeviceLine(file));
        EXPECT_EQ(lines, flagged) << deviceClass;
    }
}

}  // namespace
}  // namespace tavrin
