#include <gtest/gtest.h>

#include <string>

#include "JobListFileTestSupport.h"
#include "joblist/GridModel.h"
#include "joblist/JobListFile.h"
#include "platform/Controls.h"

namespace tavrin::test {
namespace {

using namespace listfile;

// The load on the grid the window shows, whose columns really are made afresh when the column
// count falls and rises.
TEST(JobListFileOnGridModel, LoadsKeepTheJobListColumnsAcrossWideNarrowAndEmptyFiles) {
    GridModel grid;
    grid.setColCount(2);
    grid.setRowCount(30);
    grid.setFixedRows(1);
    SetUpJobListColumns(grid);
    FillJobs(grid, {{"/old/a.plt", "2"}, {"/old/b.plt", "3"}});
    const ColumnSettings fileName = grid.column(0);
    const ColumnSettings copies = grid.column(1);

    ScratchDir dir;
    int fileCount = 2;
    int batchCount = 2;
    PlainStatusBar statusBar;
    const auto open = [&](const std::string& name, const std::string& bytes) {
        WriteBytes(dir.file(name), bytes);
        OpenJobListFile(grid, dir.file(name), fileCount, batchCount, statusBar);
        EXPECT_EQ(grid.column(0), fileName) << name;
        EXPECT_EQ(grid.column(1), copies) << name;
        EXPECT_EQ(grid.colWidth(0), 461) << name;
        EXPECT_EQ(grid.colWidth(1), 36) << name;
    };

    open("wide.tjf", ";\r\n/p/x.plt;1;extra\r\n");
    EXPECT_EQ(grid.colCount(), 3);
    EXPECT_EQ(grid.column(2).titleCaption, "");
    EXPECT_EQ(grid.cell(2, 1), "extra");

    open("names.tjf", "/p/y.plt\r\n/p/z.plt\r\n");
    EXPECT_EQ(grid.colCount(), 2);
    EXPECT_EQ(fileCount, 1);
    EXPECT_EQ(grid.cell(0, 1), "/p/z.plt");
    EXPECT_EQ(grid.cell(1, 1), "");

    open("empty.tjf", "");
    EXPECT_EQ(grid.colCount(), 2);
    EXPECT_EQ(grid.rowCount(), 1);
    EXPECT_EQ(fileCount, 0);
    EXPECT_EQ(statusBar.panel(1), "Files in joblist: 0");

    open("list.tjf", ";\r\n/p/a.plt;1\r\n/p/b.plt;3\r\n");
    EXPECT_EQ(grid.rowCount(), 3);
    EXPECT_EQ(fileCount, 2);
    EXPECT_EQ(JobListText(grid), ";\r\n/p/a.plt;1\r\n/p/b.plt;3\r\n");
}

}  // namespace
}  // namespace tavrin::test
