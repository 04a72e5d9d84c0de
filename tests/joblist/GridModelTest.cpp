#include "joblist/GridModel.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/Error.h"

namespace tavrin {
namespace {

// A grid laid out like a small table: title row, 2 columns, no fixed column.
class GridModelTest : public ::testing::Test {
protected:
    GridModelTest() {
        grid.setColCount(2);
        grid.setFixedCols(0);
    }
    void Fill(int rows) {
        grid.setRowCount(rows + 1);
        for (int r = 1; r <= rows; ++r) {
            grid.setCell(0, r, "name" + std::to_string(r));
            grid.setCell(1, r, std::to_string(r));
        }
    }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (int r = 1; r < grid.rowCount(); ++r)
            names.push_back(grid.cell(0, r));
        return names;
    }
    GridModel grid;
};

TEST_F(GridModelTest, TextsOutliveTheCounts) {
    Fill(5);
    grid.setRowCount(2);
    grid.setColCount(1);
    EXPECT_EQ(grid.cell(0, 4), "name4");  // hidden, still readable
    EXPECT_EQ(grid.cell(1, 4), "4");
    EXPECT_EQ(grid.cell(7, 1000), "");
    grid.setRowCount(6);
    grid.setColCount(2);
    EXPECT_EQ(Names(), (std::vector<std::string>{"name1", "name2", "name3", "name4", "name5"}));
}

TEST_F(GridModelTest, BadIndexesAreRefusedAndChangeNothing) {
    Fill(3);
    EXPECT_THROW(
        {
            try {
                grid.setCell(-1, 2, "x");
            } catch (const Error& e) {
                EXPECT_STREQ(e.what(), "Grid index out of range");
                throw;
            }
        },
        Error);
    EXPECT_THROW(grid.deleteRow(4), Error);
    EXPECT_THROW(grid.deleteRow(-1), Error);
    EXPECT_THROW(grid.insertRow(9), Error);
    EXPECT_THROW(grid.setCurrentCell(0, 0), Error);  // the title row is not a current cell
    EXPECT_THROW(grid.setFixedRows(4), Error);
    EXPECT_EQ(grid.rowCount(), 4);
    EXPECT_EQ(Names(), (std::vector<std::string>{"name1", "name2", "name3"}));
}

TEST_F(GridModelTest, CountsAtOrBelowTheFixedCountsLowerThem) {
    grid.setFixedCols(1);
    grid.setRowCount(1);
    EXPECT_EQ(grid.fixedRows(), 0);
    grid.setColCount(1);
    EXPECT_EQ(grid.fixedCols(), 0);
    grid.setRowCount(0);  // a grid keeps one row
    EXPECT_EQ(grid.rowCount(), 1);
}

TEST_F(GridModelTest, ColumnsFollowColCountAndComeBackFresh) {
    GridColumn& copies = grid.columnAt(1);
    copies.title().setCaption("Copies");
    copies.setFormat(ColumnFormat::Number);
    grid.setCell(1, 1, "3");
    grid.setColCount(1);
    ASSERT_EQ(grid.colCount(), 1);
    EXPECT_THROW(grid.columnAt(1), Error);
    grid.setColCount(2);
    const GridColumn& fresh = grid.columnAt(1);
    EXPECT_EQ(fresh.title().caption(), "");
    EXPECT_EQ(fresh.format(), ColumnFormat::String);
    EXPECT_EQ(grid.cell(1, 1), "3");
}

TEST_F(GridModelTest, CollectionChangesMoveColCount) {
    grid.addColumn().title().setCaption("Extra");
    EXPECT_EQ(grid.colCount(), 3);
    EXPECT_EQ(grid.columnAt(2).title().caption(), "Extra");
    grid.removeColumn(0);
    EXPECT_EQ(grid.colCount(), 2);
    EXPECT_EQ(grid.columnAt(1).title().caption(), "Extra");
    grid.removeColumn(0);
    grid.removeColumn(0);  // the last one: a grid keeps one fresh column
    EXPECT_EQ(grid.colCount(), 1);
    EXPECT_EQ(grid.columnAt(0).title().caption(), "");
}

TEST_F(GridModelTest, DeleteRowMovesTheRowsBelowUp) {
    Fill(4);
    grid.setCell(0, 5, "hidden");  // past the end
    int calls = 0;
    grid.BeforeDelete = [&] {
        ++calls;
        EXPECT_EQ(grid.rowCount(), 5);  // called before anything moves
    };
    grid.deleteRow(2);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(grid.rowCount(), 4);
    EXPECT_EQ(Names(), (std::vector<std::string>{"name1", "name3", "name4"}));
    EXPECT_EQ(grid.cell(1, 2), "3");
    EXPECT_EQ(grid.cell(0, 4), "");        // the old last row was emptied
    EXPECT_EQ(grid.cell(0, 5), "hidden");  // hidden rows stay where they are
}

TEST_F(GridModelTest, DeleteRowEmptiesTheOnlyDataRowInPlace) {
    grid.setFixedCols(1);
    Fill(1);
    grid.deleteRow(1);
    EXPECT_EQ(grid.rowCount(), 2);
    EXPECT_EQ(grid.cell(0, 1), "name1");  // a fixed column keeps its text
    EXPECT_EQ(grid.cell(1, 1), "");
}

TEST_F(GridModelTest, DeleteRowKeepsRowCountMin) {
    Fill(4);
    grid.setRowCountMin(5);
    grid.deleteRow(3);
    EXPECT_EQ(grid.rowCount(), 5);
    EXPECT_EQ(Names(), (std::vector<std::string>{"name1", "name2", "", "name4"}));
    grid.setRowCountMin(4);
    grid.deleteRow(3);
    EXPECT_EQ(grid.rowCount(), 4);
}

TEST_F(GridModelTest, RowCountMinIsNeverNegativeAndRaisesRowCount) {
    Fill(2);
    grid.setRowCountMin(-4);
    EXPECT_EQ(grid.rowCountMin(), 0);
    grid.setRowCountMin(2);
    EXPECT_EQ(grid.rowCount(), 3);
    grid.setRowCountMin(8);
    EXPECT_EQ(grid.rowCount(), 8);
    EXPECT_EQ(grid.cell(0, 2), "name2");
}

TEST_F(GridModelTest, InsertRowOpensAnEmptyRowAndLosesNoText) {
    Fill(4);
    grid.setCurrentCell(0, 4);
    int inserts = 0;
    grid.BeforeInsert = [&] { ++inserts; };
    grid.insertRow(2);  // not the current row: no row's text may go
    EXPECT_EQ(inserts, 1);
    EXPECT_EQ(Names(), (std::vector<std::string>{"name1", "", "name2", "name3", "name4"}));
    EXPECT_EQ(grid.cell(1, 5), "4");
}

TEST_F(GridModelTest, AppendRowAddsAnEmptyRowEvenOverHiddenText) {
    Fill(2);
    grid.setCell(0, 3, "stale");
    int inserts = 0;
    grid.BeforeInsert = [&] { ++inserts; };
    grid.appendRow();
    EXPECT_EQ(inserts, 1);
    EXPECT_EQ(grid.rowCount(), 4);
    EXPECT_EQ(grid.cell(0, 3), "");
}

TEST_F(GridModelTest, MoveColumnTakesSettingsAndCellsAlong) {
    grid.setColCount(3);
    Fill(2);
    grid.columnAt(0).title().setCaption("A");
    grid.columnAt(2).title().setCaption("C");
    grid.setColWidth(0, 100);
    grid.moveColumn(0, 2);
    EXPECT_EQ(grid.columnAt(2).title().caption(), "A");
    EXPECT_EQ(grid.columnAt(1).title().caption(), "C");
    EXPECT_EQ(grid.cell(2, 1), "name1");
    EXPECT_EQ(grid.cell(0, 1), "1");
    EXPECT_EQ(grid.colWidth(2), 100);
}

TEST_F(GridModelTest, SparseStoreMakesHugeCountsCheap) {
    grid.setRowCount(2'000'000'000);
    grid.setCell(0, 1, "a");
    grid.setCell(0, 1'000'000, "");  // emptying an unstored cell stores nothing
    grid.deleteRow(1);
    EXPECT_EQ(grid.rowCount(), 1'999'999'999);
    EXPECT_EQ(grid.cell(0, 1), "");
}

// The listener sees every change; "about to" calls come while the old count still holds.
class Recorder : public GridListener {
public:
    explicit Recorder(GridModel& grid) : grid_(grid) {}
    void rowCountAboutToChange(int o, int n) override {
        log.push_back("about " + std::to_string(o) + ">" + std::to_string(n) + " now " +
                      std::to_string(grid_.rowCount()));
    }
    void rowCountChanged(int o, int n) override {
        log.push_back("rows " + std::to_string(o) + ">" + std::to_string(n));
    }
    void cellsChanged(int c0, int r0, int c1, int r1) override {
        log.push_back("cells " + std::to_string(c0) + "," + std::to_string(r0) + "-" +
                      std::to_string(c1) + "," + std::to_string(r1));
    }
    void columnChanged(int c) override { log.push_back("column " + std::to_string(c)); }
    void layoutReset() override { log.push_back("reset"); }
    std::vector<std::string> log;

private:
    GridModel& grid_;
};

TEST_F(GridModelTest, ListenersFollowEveryChange) {
    Fill(3);
    Recorder recorder(grid);
    grid.addListener(&recorder);
    grid.deleteRow(1);
    grid.setCell(0, 1, "x");
    grid.setCell(0, 1, "x");  // unchanged: no call
    grid.columnAt(1).setAlignment(TextAlignment::Right);
    grid.setRowCount(1);  // the title row becomes a data row
    grid.removeListener(&recorder);
    grid.setCell(0, 0, "y");
    EXPECT_EQ(recorder.log,
              (std::vector<std::string>{"cells 0,1-1,3", "about 4>3 now 4", "rows 4>3",
                                        "cells 0,1-0,1", "column 1", "reset"}));
}

TEST_F(GridModelTest, GridSettingsRoundTripAssignOnlyWhatDiffers) {
    ColumnSettings settings = grid.column(1);
    EXPECT_EQ(settings, ColumnSettings{});
    settings.titleCaption = "Copies";
    settings.fontColor = 0xFFFFFF;
    grid.setColumn(1, settings);
    EXPECT_EQ(grid.column(1), settings);
    EXPECT_FALSE(grid.columnAt(1).readOnlyAssigned());
    EXPECT_FALSE(grid.columnAt(1).colorAssigned());
    settings.fontColor.reset();
    grid.setColumn(1, settings);
    EXPECT_FALSE(grid.columnAt(1).fontAssigned());
}

}  // namespace
}  // namespace tavrin
