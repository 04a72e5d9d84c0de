#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "FakeGrid.h"
#include "JobListFileTestSupport.h"
#include "joblist/JobListFile.h"
#include "platform/Controls.h"
#include "platform/Error.h"
#include "support/TestPaths.h"

namespace tavrin::test {
namespace {

using namespace listfile;

// Files that are no job lists at all: print files, random bytes, very long lists.
class JobListFileContent : public ::testing::Test {
protected:
    JobListFileContent() {
        SetUpJobListColumns(grid);
        FillJobs(grid, {{"/old/one.plt", "2"}});
    }

    // Opens `path`; either it opens as lines or it is refused with a message. Returns whether
    // it opened. Either way the grid is a usable job list afterwards.
    bool OpenAnything(const std::string& path) {
        bool opened = true;
        try {
            OpenJobListFile(grid, path, fileCount, batchCount, statusBar);
        } catch (const Error& error) {
            EXPECT_FALSE(std::string(error.what()).empty());
            opened = false;
        }
        EXPECT_GE(grid.rowCount(), 1);
        EXPECT_GE(grid.colCount(), 2);
        EXPECT_EQ(grid.column(1).titleCaption, "Copies");
        EXPECT_EQ(grid.column(1).format, ColumnFormat::Number);
        EXPECT_EQ(grid.colWidth(0), 461);
        EXPECT_EQ(grid.colWidth(1), 36);
        if (opened) {
            EXPECT_EQ(fileCount, grid.rowCount() - 1);
            EXPECT_EQ(batchCount, grid.rowCount() - 1);
            EXPECT_EQ(statusBar.panel(1), "Files in joblist: " + std::to_string(batchCount));
        }
        return opened;
    }

    // What the grid shows survives a save and an open unchanged.
    void ExpectStableOverSaveAndOpen() {
        const auto shown = VisibleCells(grid);
        const std::string copy = dir.file("copy.tjf");
        SaveJobListFile(grid, copy);
        FakeGrid other;
        SetUpJobListColumns(other);
        int files = 0;
        int batch = 0;
        PlainStatusBar bar;
        OpenJobListFile(other, copy, files, batch, bar);
        // A single row without title saves as one line, which opens as the same single row.
        EXPECT_EQ(VisibleCells(other), shown);
    }

    FakeGrid grid;
    int fileCount = 1;
    int batchCount = 1;
    PlainStatusBar statusBar;
    ScratchDir dir;
};

TEST_F(JobListFileContent, EverySamplePrintFileOpensAsTextLines) {
    int files = 0;
    for (const auto& sample : test::SamplePrintFiles()) {
        SCOPED_TRACE(sample.string());
        ++files;
        EXPECT_TRUE(OpenAnything(sample.string()));
        ExpectStableOverSaveAndOpen();
    }
    EXPECT_GE(files, 20);
}

TEST_F(JobListFileContent, PlotFileStartingWithNulBytesHasNoLines) {
    // 131072 NUL bytes come first: the text ends before it begins.
    ASSERT_TRUE(OpenAnything((SamplesDir() / "jem-green-HPGL2/XANADU-PLT-test.plt").string()));
    EXPECT_EQ(grid.rowCount(), 1);
    EXPECT_EQ(grid.colCount(), 2);
    EXPECT_EQ(fileCount, 0);
    EXPECT_EQ(grid.cell(0, 0), "");
}

TEST_F(JobListFileContent, CapturedPlotEndingInNulGivesItsTwoLines) {
    // One long line of 300 fields, an empty line, then the closing NUL.
    ASSERT_TRUE(OpenAnything((SamplesDir() / "hpgl-rendering/test.plt").string()));
    EXPECT_EQ(grid.rowCount(), 2);
    EXPECT_EQ(grid.colCount(), 300);
    EXPECT_EQ(fileCount, 1);
    EXPECT_EQ(grid.cell(0, 0), "SP1");
    EXPECT_EQ(grid.cell(1, 0), "PU");
    EXPECT_EQ(grid.cell(0, 1), "");
}

TEST_F(JobListFileContent, MultiPlotFileWithCrLfLinesGivesOneRowPerLine) {
    ASSERT_TRUE(OpenAnything((SamplesDir() / "hp2xx/spectrum.plt").string()));
    EXPECT_EQ(grid.rowCount(), 740);
    EXPECT_EQ(grid.colCount(), 219);
    EXPECT_EQ(fileCount, 739);
}

TEST_F(JobListFileContent, RandomBytesOpenAsLinesAndSurviveSaveAndOpen) {
    std::mt19937 random(20261206);
    for (int round = 0; round < 200; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        std::uniform_int_distribution<int> length(0, 3000);
        std::uniform_int_distribution<int> byte(0, 255);
        // Few NUL bytes, so that most texts run on past the first one.
        std::string bytes(static_cast<std::size_t>(length(random)), '\0');
        for (char& c : bytes) {
            int value = byte(random);
            if (value == 0 && byte(random) > 8)
                value = ';';
            c = static_cast<char>(value);
        }
        const std::string path = dir.file("garbage.tjf");
        WriteBytes(path, bytes);
        EXPECT_TRUE(OpenAnything(path));
        ExpectStableOverSaveAndOpen();
    }
}

TEST_F(JobListFileContent, HundredThousandLinesOpenWithWorkInProportionToTheLines) {
    constexpr int kFiles = 100000;
    std::string text = ";\r\n";
    for (int i = 1; i <= kFiles; ++i)
        text += "/srv/plots/project " + std::to_string(i) + "/sheet.plt;" +
                std::to_string(i % 99 + 1) + "\r\n";
    const std::string path = dir.file("long.tjf");
    WriteBytes(path, text);
    grid.cellReads = 0;
    grid.cellWrites = 0;

    ASSERT_TRUE(OpenAnything(path));
    EXPECT_EQ(grid.rowCount(), kFiles + 1);
    EXPECT_EQ(fileCount, kFiles);
    EXPECT_EQ(grid.cell(0, kFiles), "/srv/plots/project 100000/sheet.plt");
    EXPECT_EQ(grid.cell(1, kFiles), std::to_string(kFiles % 99 + 1));
    // Two cells per line and the old rows' names emptied, nothing more.
    EXPECT_LE(grid.cellReads + grid.cellWrites, 3LL * (kFiles + 1) + 100);
}

}  // namespace
}  // namespace tavrin::test
