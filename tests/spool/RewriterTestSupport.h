// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/PlainSpoolOptions.h"
#include "support/TempFolder.h"

namespace tavrin::rewrite_test {

namespace fs = std::filesystem;
using test::ReadFile;
using test::WriteBytes;

inline const std::string kUel = "\x1b%-12345X";  // the printer's universal exit
inline const std::string kCollate = "<< /Collate true >> setpagedevice\r\n";
inline std::string Copies(int count) {
    return "<< /NumCopies " + std::to_string(count) + " >> setpagedevice\r\n";
}
// The PostScript header's lines for a paper size.
inline std::string Size(const std::string& pair) {
    return "<< /PageSize [ " + pair +
           " ] >> setpagedevice\r\n"
           "<< /Policies << /PageSize 3 >> >> setpagedevice\r\n";
}
inline std::string Record(const std::string& count) {
    return "BEGMF \"Oce RCF by Dorwen\";\r\n"
           "MFDESC 'Oce RCF, Version=2.5, Type=Header, Unit=Metric';\r\n"
           "APPLDATA 002 \"CO=" +
           count + "\";\r\nENDMF;\r\n";
}

// A scratch folder with "src" for print files and "tmp", the folder of the temporary file.
struct RewriterTest : public ::testing::Test {
    RewriterTest() {
        fs::create_directory(sourceDir);
        fs::create_directory(tempDir);
        options.tempFilesPath = tempDir.string();
    }
    std::string Source(const std::string& bytes, const std::string& name = "plot.plt") const {
        WriteBytes(sourceDir / name, bytes);
        return (sourceDir / name).string();
    }
    std::string TempBytes() const {
        EXPECT_TRUE(fs::exists(tempFile)) << "no temporary file";
        return ReadFile(tempFile);
    }

    test::TempFolder scratch;
    const fs::path sourceDir = scratch.path() / "src", tempDir = scratch.path() / "tmp";
    const fs::path tempFile = tempDir / "temp.$$$";
    test::PlainSpoolOptions options;
};

}  // namespace tavrin::rewrite_test
