#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "FakeGrid.h"
#include "JobListFileTestSupport.h"
#include "joblist/JobListFile.h"
#include "platform/Error.h"

namespace tavrin::test {
namespace {

using namespace listfile;

class JobListFileSave : public ::testing::Test {
protected:
    JobListFileSave() { SetUpJobListColumns(grid); }

    FakeGrid grid;
    ScratchDir dir;
};

TEST_F(JobListFileSave, TwoFilesGiveTitleLineThenOneLinePerFileEachEndedByCrLf) {
    FillJobs(grid, {{"C:\\plots\\first.plt", "1"}, {"/home/ans/plots/second.plt", "3"}});
    const std::string path = dir.file("two.tjf");
    SaveJobListFile(grid, path);
    EXPECT_EQ(ReadBytes(path), ";\r\nC:\\plots\\first.plt;1\r\n/home/ans/plots/second.plt;3\r\n");
}

TEST_F(JobListFileSave, EmptyListOfThirtyRowsGivesThirtySeparatorLines) {
    std::string expected;
    for (int i = 0; i < 30; ++i)
        expected += ";\r\n";
    EXPECT_EQ(JobListText(grid), expected);
}

TEST_F(JobListFileSave, WritesEveryColumnAndTheTitleCellsAsTheGridHoldsThem) {
    grid.setColCount(3);
    FillJobs(grid, {{"a.plt", "2"}});
    grid.setCell(2, 1, "extra");
    grid.setCell(0, 0, "title");
    grid.setCell(1, 2, "hidden below the last row");
    EXPECT_EQ(JobListText(grid), "title;;\r\na.plt;2;extra\r\n");
}

TEST_F(JobListFileSave, SemicolonsAndUtf8BytesAreWrittenUnchanged) {
    FillJobs(grid, {{"/plots/a;b.plt", "1"}, {"/plots/Zürich übersicht 日本.plt", "12"}});
    EXPECT_EQ(JobListText(grid),
              ";\r\n/plots/a;b.plt;1\r\n/plots/Z\xC3\xBCrich \xC3\xBC"
              "bersicht \xE6\x97\xA5\xE6\x9C\xAC.plt;12\r\n");
}

TEST_F(JobListFileSave, ReplacesAnExistingFileCompletely) {
    const std::string path = dir.file("list.tjf");
    WriteBytes(path, std::string(10000, 'x'));
    FillJobs(grid, {{"a.plt", "1"}});
    SaveJobListFile(grid, path);
    EXPECT_EQ(ReadBytes(path), ";\r\na.plt;1\r\n");
}

TEST_F(JobListFileSave, FileThatCannotBeCreatedIsReportedAndTheListStays) {
    FillJobs(grid, {{"a.plt", "1"}});
    const auto before = VisibleCells(grid);
    for (const std::string& path : {dir.path().string(), dir.file("no such folder/list.tjf")}) {
        try {
            SaveJobListFile(grid, path);
            FAIL() << "saved to " << path;
        } catch (const Error& error) {
            EXPECT_EQ(std::string(error.what()), "Cannot create file " + path);
        }
        EXPECT_EQ(VisibleCells(grid), before);
    }
    EXPECT_FALSE(std::filesystem::exists(dir.file("no such folder")));
}

TEST_F(JobListFileSave, WriteFailureIsReportedNotTakenForSuccess) {
    if (!std::filesystem::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full here";
    FillJobs(grid, {{"a.plt", "1"}});
    try {
        SaveJobListFile(grid, "/dev/full");
        FAIL() << "a full device took the list";
    } catch (const Error& error) {
        EXPECT_EQ(std::string(error.what()), "Stream write error");
    }
}

TEST_F(JobListFileSave, ViewListIsTheSavedTextInTempTjfOfTheGivenFolder) {
    FillJobs(grid, {{"/plots/a.plt", "1"}, {"/plots/b.plt", "4"}});
    WriteBytes(dir.file("temp.tjf"), "an older list that is much longer than the new one\r\n");
    const std::string written = WriteViewListFile(grid, dir.path().string());
    EXPECT_EQ(std::filesystem::path(written), dir.path() / "temp.tjf");
    EXPECT_EQ(ReadBytes(written), JobListText(grid));
    EXPECT_EQ(ReadBytes(written), ";\r\n/plots/a.plt;1\r\n/plots/b.plt;4\r\n");
}

TEST_F(JobListFileSave, ViewListIntoAMissingFolderNamesTheFile) {
    const std::string folder = dir.file("gone");
    try {
        WriteViewListFile(grid, folder);
        FAIL() << "wrote into a missing folder";
    } catch (const Error& error) {
        EXPECT_EQ(std::string(error.what()),
                  "Cannot create file " + (std::filesystem::path(folder) / "temp.tjf").string());
    }
}

}  // namespace
}  // namespace tavrin::test
