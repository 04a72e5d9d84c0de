#include "joblist/JobList.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "JobListTestSupport.h"
#include "platform/Error.h"

namespace tavrin {
namespace {

using test::JobListRig;

class JobListTest : public ::testing::Test, protected JobListRig {};

TEST_F(JobListTest, StartsAsAnEmptyListOfThirtyRows) {
    EXPECT_EQ(grid.rowCount(), 30);
    EXPECT_EQ(grid.colCount(), 2);
    EXPECT_EQ(grid.fixedRows(), 1);
    EXPECT_EQ(grid.fixedCols(), 0);
    EXPECT_EQ(grid.defaultRowHeight(), 16);
    EXPECT_EQ(grid.colWidth(0), 445);
    EXPECT_EQ(grid.colWidth(1), 36);
    EXPECT_EQ(grid.columnAt(0).title().caption(), "Filename");
    EXPECT_EQ(grid.columnAt(0).color(), 0xFFFFFFu);
    EXPECT_TRUE(grid.columnAt(0).readOnly());
    EXPECT_EQ(grid.columnAt(1).title().caption(), "Copies");
    EXPECT_EQ(grid.columnAt(1).format(), ColumnFormat::Number);
    EXPECT_FALSE(grid.columnAt(1).readOnly());
    EXPECT_EQ(list.FileCount(), 0);
}

TEST_F(JobListTest, NewModeBatchOfThree) {
    for (const auto& name : SampleNames(3)) {
        ASSERT_TRUE(std::filesystem::exists(name.substr(0, name.find('#'))));
    }
    form.statusBar1.setPanel(3, "Done");
    form.spinEdit1.setValue(2);
    Add(SampleNames(3));
    EXPECT_EQ(grid.rowCount(), 4);
    EXPECT_EQ(list.FileCount(), 3);
    EXPECT_EQ(list.BatchCount(), 3);
    for (int r = 1; r <= 3; ++r)
        EXPECT_EQ(grid.cell(1, r), "2");
    EXPECT_EQ(Names(), SampleNames(3));
    EXPECT_EQ(form.statusBar1.panel(1), "Files in joblist: 3");
    EXPECT_EQ(form.statusBar1.panel(3), "");
    EXPECT_EQ(grid.colWidth(0), 461);
}

TEST_F(JobListTest, AddModeAppendsAfterTheList) {
    SetAddMode(true);
    EXPECT_EQ(form.statusBar1.panel(0), "Mode: add files to joblist");
    Add(SampleNames(10));
    EXPECT_EQ(grid.colWidth(0), 461);  // 11 rows: no scroll bar
    Add(SampleNames(5, 10));
    EXPECT_EQ(grid.rowCount(), 16);
    EXPECT_EQ(grid.colWidth(0), 445);
    EXPECT_EQ(list.FileCount(), 15);
    EXPECT_EQ(grid.cell(0, 11), SampleNames(1, 10)[0]);
    EXPECT_EQ(grid.cell(0, 15), SampleNames(1, 14)[0]);
    EXPECT_EQ(form.statusBar1.panel(1), "Files in joblist: 15");
}

TEST_F(JobListTest, NewModeEmptiesTheRowsItNoLongerShows) {
    Add(SampleNames(10));
    Add(SampleNames(2, 20));
    EXPECT_EQ(grid.rowCount(), 3);
    EXPECT_EQ(Names(), SampleNames(2, 20));
    for (int r = 3; r <= 10; ++r) {
        EXPECT_EQ(grid.cell(0, r), "") << r;
        EXPECT_EQ(grid.cell(1, r), "") << r;
    }
}

TEST_F(JobListTest, ClearingEmptiesListsOfAnyLength) {
    SetAddMode(true);
    Add(SampleNames(1500));
    list.ClearJobList();
    EXPECT_EQ(list.FileCount(), 0);
    EXPECT_EQ(grid.rowCount(), 1501);  // the rows stay
    EXPECT_EQ(grid.cell(0, 999), "");
    EXPECT_EQ(grid.cell(0, 1500), "");
    EXPECT_EQ(grid.cell(1, 1500), "");
}

TEST_F(JobListTest, TheSameFileTwiceIsTwoRows) {
    Add({"/plots/a.plt", "/plots/a.plt"});
    EXPECT_EQ(Names(), (std::vector<std::string>{"/plots/a.plt", "/plots/a.plt"}));
}

TEST_F(JobListTest, RemovingTheOnlyFileEmptiesItInPlace) {
    Add(SampleNames(1));
    list.RemoveClick();
    EXPECT_EQ(list.FileCount(), 0);
    EXPECT_EQ(grid.rowCount(), 30);
    EXPECT_EQ(grid.cell(0, 1), "");
    EXPECT_EQ(grid.cell(1, 1), "");
    EXPECT_EQ(form.statusBar1.panel(1), "Files in joblist: 0");
    EXPECT_EQ(grid.colWidth(0), 445);
}

TEST_F(JobListTest, RemoveTakesOnlyTheCurrentRow) {
    Add(SampleNames(6));
    grid.setCurrentRow(2);  // a range 2..5 selected in the window still has row 2 current
    list.RemoveClick();
    std::vector<std::string> expected = SampleNames(6);
    expected.erase(expected.begin() + 1);
    EXPECT_EQ(Names(), expected);
    EXPECT_EQ(grid.rowCount(), 6);
    EXPECT_EQ(list.BatchCount(), 5);
    EXPECT_EQ(form.statusBar1.panel(1), "Files in joblist: 5");
}

TEST_F(JobListTest, RemoveOnAnEmptyListKeepsItEmpty) {
    grid.setCurrentRow(5);
    list.RemoveClick();
    EXPECT_EQ(list.FileCount(), 0);
    EXPECT_EQ(grid.rowCount(), 30);
    EXPECT_EQ(list.BatchCount(), -1);  // New mode counts down without a floor
}

TEST_F(JobListTest, SpinEditRewritesEveryCountAlsoEditedOnes) {
    SetAddMode(true);
    Add(SampleNames(4));
    grid.setCell(1, 2, "9");
    form.spinEdit1.setValue(5);
    for (int r = 1; r <= 4; ++r)
        EXPECT_EQ(grid.cell(1, r), "5");
}

TEST_F(JobListTest, SpinEditWritesNothingIntoAListARunHasEmptied) {
    Add(SampleNames(3));
    // A spool run that clears the list resets only the file count.
    list.ClearJobList();
    grid.setRowCount(30);
    form.spinEdit1.setValue(4);
    for (int r = 1; r < 30; ++r)
        EXPECT_EQ(grid.cell(1, r), "") << r;
}

TEST_F(JobListTest, BatchLongerThanItsNamesIsRefusedAndLosesNothing) {
    Add(SampleNames(2));
    list.SetPendingFiles({"/x.plt"});
    list.SetBatchCount(3);
    try {
        list.AddBatch();
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "List index out of bounds (1)");
    }
    EXPECT_EQ(Names(), SampleNames(2));
    EXPECT_EQ(list.FileCount(), 2);
}

TEST_F(JobListTest, AnEmptyBatchKeepsTheListAndItsTitleRow) {
    Add(SampleNames(2));
    Add({});
    EXPECT_EQ(Names(), SampleNames(2));
    EXPECT_EQ(grid.fixedRows(), 1);
    JobListRig fresh;
    fresh.Add({});
    EXPECT_EQ(fresh.grid.rowCount(), 30);
    EXPECT_EQ(fresh.grid.fixedRows(), 1);
}

TEST_F(JobListTest, TreatAsSetHidesTheCountsAndClearsTheOptions) {
    deviceClass = "POSTSCRIPT";
    form.smartReplots.setEnabled(true);
    form.smartReplots.setChecked(true);
    form.psCollate.setChecked(true);
    EXPECT_TRUE(form.psCollate.enabled());
    form.jobAsSet.setChecked(true);
    const GridColumn& copies = grid.columnAt(1);
    EXPECT_EQ(copies.title().caption(), "");
    EXPECT_TRUE(copies.readOnly());
    EXPECT_EQ(copies.font().color, 0xFFFFFFu);
    EXPECT_EQ(form.label3.caption(), "Number of sets");
    EXPECT_FALSE(form.smartReplots.checked() || form.smartReplots.enabled());
    EXPECT_FALSE(form.psCollate.checked() || form.psCollate.enabled());

    form.jobAsSet.setChecked(false);
    EXPECT_EQ(copies.title().caption(), "Copies");
    EXPECT_FALSE(copies.readOnly());
    EXPECT_EQ(copies.font().color, 0u);
    EXPECT_EQ(form.label3.caption(), "Global # of copies");
    EXPECT_TRUE(form.smartReplots.enabled());
    EXPECT_TRUE(form.psCollate.enabled());  // PostScript: collate comes back
    EXPECT_FALSE(form.psCollate.checked());
}

TEST_F(JobListTest, LeavingSetModeOnAPlotterKeepsCollateDisabled) {
    form.jobAsSet.setChecked(true);
    form.jobAsSet.setChecked(false);
    EXPECT_FALSE(form.psCollate.enabled());
    EXPECT_TRUE(form.smartReplots.enabled());
}

TEST_F(JobListTest, CopiesByPlotterEnablesCollateOnlyForPostScript) {
    form.smartReplots.setEnabled(true);
    form.smartReplots.setChecked(true);
    EXPECT_FALSE(form.psCollate.enabled());
    EXPECT_FALSE(form.psCollate.checked());
    form.smartReplots.setChecked(false);
    deviceClass = "POSTSCRIPT";
    form.smartReplots.setChecked(true);
    EXPECT_TRUE(form.psCollate.enabled());
    form.psCollate.setChecked(true);
    form.smartReplots.setChecked(false);
    EXPECT_FALSE(form.psCollate.enabled() || form.psCollate.checked());
}

}  // namespace
}  // namespace tavrin
