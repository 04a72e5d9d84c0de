#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/Error.h"
#include "spool/SpoolOptions.h"
#include "support/ScratchFolder.h"
#include "support/TestPaths.h"

namespace tavrin::rewrite_test {

namespace fs = std::filesystem;

// The options the rewriters read, as plain fields a test sets.
class RewriterOptions : public SpoolOptions {
public:
    bool smartReplots = false;
    bool removeQL = false;
    bool psCollate = false;
    bool fitToPage = false;
    std::optional<PageSize> pageSize = PageSize::A4;
    int fromStart = 600;
    int fromEnd = 30;
    std::string tempFilesPath;

    bool SmartReplots() const override { return smartReplots; }
    bool RemoveQL() const override { return removeQL; }
    bool PSCollate() const override { return psCollate; }
    bool FitToPage() const override { return fitToPage; }
    std::optional<PageSize> CheckedPageSize() const override { return pageSize; }
    bool JobAsSet() const override { return false; }
    bool ClearAfterSpooling() const override { return false; }
    bool ReverseSet() const override { return false; }
    int GlobalCopies() const override { return 1; }
    int FromStart() const override { return fromStart; }
    int FromEnd() const override { return fromEnd; }
    std::string TempFilesPath() const override { return tempFilesPath; }
};

using test::ReadBytes;
using test::ScratchFolder;
using test::WriteBytes;

inline std::vector<fs::path> SampleFiles() {
    return test::SamplePrintFiles();
}

inline fs::path SamplePath(const std::string& relative) {
    return test::SamplesDir() / relative;
}

// A scratch folder with a "src" folder for print files and a "tmp" folder that the options name
// as the folder of the temporary file.
class RewriterTest : public ::testing::Test {
protected:
    RewriterTest() {
        fs::create_directory(sourceDir());
        fs::create_directory(tempDir());
        options.tempFilesPath = tempDir().string();
    }

    fs::path sourceDir() const { return scratch_.path() / "src"; }
    fs::path tempDir() const { return scratch_.path() / "tmp"; }
    fs::path tempFile() const { return tempDir() / "temp.$$$"; }

    // Writes `bytes` as a print file in the source folder and returns its path.
    std::string Source(const std::string& bytes, const std::string& name = "plot.plt") const {
        const fs::path path = sourceDir() / name;
        WriteBytes(path, bytes);
        return path.string();
    }

    std::string TempBytes() const {
        EXPECT_TRUE(fs::exists(tempFile())) << "no temporary file";
        return ReadBytes(tempFile());
    }

    RewriterOptions options;

private:
    ScratchFolder scratch_;
};

}  // namespace tavrin::rewrite_test
