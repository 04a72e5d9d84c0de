#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

#include "spool/SpoolOptions.h"
#include "support/TempFolder.h"
#include "support/TestPaths.h"

namespace tavrin::rewrite_test {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::WriteBytes;

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

// A scratch folder with "src" for print files and "tmp", the folder of the temporary file.
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

    std::string Source(const std::string& bytes, const std::string& name = "plot.plt") const {
        WriteBytes(sourceDir() / name, bytes);
        return (sourceDir() / name).string();
    }

    std::string TempBytes() const {
        EXPECT_TRUE(fs::exists(tempFile())) << "no temporary file";
        return ReadBytes(tempFile());
    }

    RewriterOptions options;

private:
    test::ScratchFolder scratch_;
};

}  // namespace tavrin::rewrite_test
