// SPDX-License-Identifier: GPL-3.0-or-later
// The data grid's model without a window: cells, counts, columns, listeners, the edit-end check,
// the display masks of number and date cells, and the job list shown in it.
#include "widgets/GridModel.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <tuple>

#include "joblist/JobListFile.h"
#include "platform/Error.h"
#include "widgets/DisplayMask.h"
#include "widgets/JobListGrid.h"

namespace tavrin::test {
namespace {

using testing::ThrowsMessage;

// A small table: title row, 2 columns, no fixed column; `column` is the second one.
struct GridModelTest : public ::testing::Test {
    GridModelTest() { grid.setColCount(2), grid.setFixedCols(0); }
    void Fill(int rows) {
        grid.setRowCount(rows + 1);
        for (int r = 1; r <= rows; ++r) {
            grid.setCell(0, r, "name" + std::to_string(r));
            grid.setCell(1, r, std::to_string(r));
        }
    }
    // The rows below the title, "name,count" each, separated by "|".
    std::string Rows() const {
        std::string text;
        for (int r = 1; r < grid.rowCount(); ++r)
            text += (r > 1 ? "|" : "") + grid.cell(0, r) + "," + grid.cell(1, r);
        return text;
    }
    GridModel grid;
    GridColumn& column = grid.columnAt(1);
};

TEST_F(GridModelTest, BadIndexesChangeNothingTextsOutliveTheCountsColumnsDoNotAndFixedOnesFollow) {
    Fill(3);
    EXPECT_THAT([&] { grid.setCell(-1, 2, "x"); }, ThrowsMessage<Error>("Grid index out of range"));
    EXPECT_THROW(grid.deleteRow(4), Error);
    EXPECT_THROW(grid.deleteRow(-1), Error);
    EXPECT_THROW(grid.insertRow(9), Error);
    EXPECT_THROW(grid.setCurrentCell(0, 0), Error);  // the title row is not a current cell
    EXPECT_THROW(grid.setFixedRows(4), Error);
    EXPECT_EQ(Rows(), "name1,1|name2,2|name3,3");
    Fill(5);
    column.title().setCaption("Copies");
    column.setFormat(ColumnFormat::Number);
    grid.setRowCount(2);
    grid.setColCount(1);
    EXPECT_THROW(grid.columnAt(1), Error);
    EXPECT_EQ(grid.cell(0, 4) + grid.cell(1, 4) + grid.cell(7, 1000), "name44");  // hidden
    grid.setRowCount(6);
    grid.setColCount(2);
    EXPECT_EQ(std::tuple(Rows(), grid.columnAt(1).title().caption(), grid.columnAt(1).format()),
              std::tuple("name1,1|name2,2|name3,3|name4,4|name5,5", "", ColumnFormat::String));

    grid.setRowCount(2'000'000'000);
    grid.setCell(0, 1'000'000, "");  // emptying an unstored cell stores nothing
    grid.deleteRow(1);
    EXPECT_EQ(std::tuple(grid.rowCount(), grid.cell(0, 1)), std::tuple(1'999'999'999, "name2"));
    // Counts at or below the fixed counts lower them; a delete keeps the fixed column.
    grid.setFixedCols(1);
    grid.setRowCount(1);
    grid.setColCount(1);
    grid.setRowCount(0);  // a grid keeps one row
    EXPECT_EQ(std::tuple(grid.fixedRows(), grid.fixedCols(), grid.rowCount()), std::tuple(0, 0, 1));

    grid.setColCount(2);
    grid.setFixedCols(1);
    Fill(1);
    grid.setFixedRows(1);
    grid.deleteRow(1);  // the only data row is emptied in place, but for a fixed column's text
    EXPECT_EQ(Rows(), "name1,");
}

TEST_F(GridModelTest, DeleteRowMovesTheRowsBelowUpAboveRowCountMin) {
    Fill(4);
    grid.setCell(0, 5, "hidden");  // past the end
    int rowsSeen = 0;              // once, before anything moves
    grid.BeforeDelete = [&] { rowsSeen += grid.rowCount(); };
    grid.deleteRow(2);
    // The old last row was emptied, hidden rows stay where they are.
    EXPECT_EQ(
        std::to_string(rowsSeen) + "|" + Rows() + "|" + grid.cell(0, 4) + "|" + grid.cell(0, 5),
        "5|name1,1|name3,3|name4,4||hidden");

    grid.setRowCountMin(4);  // at the minimum a row is emptied in place
    grid.deleteRow(2);
    EXPECT_EQ(Rows(), "name1,1|,|name4,4");
    grid.setRowCountMin(3);
    grid.deleteRow(2);
    EXPECT_EQ(Rows(), "name1,1|name4,4");
    grid.setRowCountMin(-4);
    EXPECT_EQ(grid.rowCountMin(), 0);  // never below 0
    grid.setRowCountMin(6);            // raises the row count
    EXPECT_EQ(Rows(), "name1,1|name4,4|,|,|hidden,");
}

TEST_F(GridModelTest, InsertAndAppendOpenAnEmptyRowLoseNoTextAndMovedColumnsTakeTheirCells) {
    Fill(4);
    grid.setCurrentCell(0, 4);
    int inserts = 0;
    grid.BeforeInsert = [&] { ++inserts; };
    grid.insertRow(2);  // not the current row: no row's text may go
    EXPECT_EQ(Rows(), "name1,1|,|name2,2|name3,3|name4,4");
    grid.setCell(0, 6, "stale");
    grid.appendRow();  // even over hidden text
    EXPECT_EQ(std::to_string(inserts) + "|" + Rows(), "2|name1,1|,|name2,2|name3,3|name4,4|,");
    // A moved column takes its settings and cells along.
    grid.setColCount(3);
    Fill(2);
    grid.columnAt(0).title().setCaption("A");
    grid.columnAt(2).title().setCaption("C");
    grid.setColWidth(0, 100);
    grid.moveColumn(0, 2);
    EXPECT_EQ(grid.columnAt(2).title().caption() + grid.columnAt(1).title().caption() + "|" +
                  grid.cell(2, 1) + "|" + grid.cell(0, 1) + "|" + std::to_string(grid.colWidth(2)),
              "AC|name1|1|100");
}

// The listener sees every change; "about to" calls come while the old count still holds.
struct Recorder : GridListener {
    explicit Recorder(GridModel& grid) : grid_(grid) {}
    void rowCountAboutToChange(int o, int n) override { Log("about", {o, n, grid_.rowCount()}); }
    void rowCountChanged(int o, int n) override { Log("rows", {o, n}); }
    void cellsChanged(int c0, int r0, int c1, int r1) override { Log("cells", {c0, r0, c1, r1}); }
    void columnChanged(int c) override { Log("column", {c}); }
    void layoutReset() override { Log("reset", {}); }
    void Log(std::string what, std::initializer_list<int> values) {
        for (int value : values)
            what += " " + std::to_string(value);
        log += what + "|";
    }
    GridModel& grid_;
    std::string log;
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
    EXPECT_EQ(recorder.log, "cells 0 1 1 3|about 4 3 4|rows 4 3|cells 0 1 0 1|column 1|reset|");
}

TEST_F(GridModelTest, GridSettingsAssignOnlyWhatDiffersAndUnassignedValuesFollowTheGrid) {
    ColumnSettings settings{"Copies", false, ColumnFormat::String, {}, 0xFFFFFF};
    grid.setColumn(1, settings);
    EXPECT_EQ(grid.column(1), settings);
    EXPECT_FALSE(grid.columnAt(1).readOnlyAssigned() || grid.columnAt(1).colorAssigned());
    settings.fontColor.reset();
    grid.setColumn(1, settings);
    EXPECT_FALSE(grid.columnAt(1).fontAssigned());
    grid.setColor(0x123456);
    CellFont font{"Courier", 10, true, false, false, 0x0000FF};
    grid.setFont(font);
    EXPECT_EQ(std::tuple(column.color(), column.font(), column.title().font(), column.readOnly()),
              std::tuple(0x123456u, font, font, false));
    grid.setEditing(false);
    EXPECT_TRUE(column.readOnly());  // a grid without editing makes its columns read-only
    column.setColor(0x123456);       // the same value still counts as assigned
    column.setReadOnly(false);
    grid.setColor(0xABCDEF);
    EXPECT_EQ(std::tuple(column.colorAssigned(), column.color(), column.readOnly()),
              std::tuple(true, 0x123456u, false));
}

TEST_F(GridModelTest, ColumnAssignCopiesTheListedSettingsAndRestoreDefaultsClearsThem) {
    GridColumn& to = grid.columnAt(0);
    int menu = 0;
    column.setColor(0xFF0000);
    column.setReadOnly(true);
    column.setAlignment(TextAlignment::Right);
    column.title().setCaption("Copies");
    column.title().setAlignment(TextAlignment::Center);
    column.setDropDownRows(3);
    column.setButtonStyle(ColumnButtonStyle::Ellipsis);
    column.setPickList({"1", "2"});
    column.setPopupMenu(&menu);
    column.setFormat(ColumnFormat::Number);
    column.setEditMask("99");
    column.setMaxLength(5);
    to.assign(column);
    column.setPickList({"changed"});  // the copy is the column's own
    // Format, edit mask and maximum length are not copied.
    EXPECT_EQ(
        std::tuple(to.color(), to.readOnly(), to.alignment(), to.fontAssigned(),
                   to.title().caption(), to.title().alignment(), to.dropDownRows(),
                   to.buttonStyle(), to.pickList(), to.popupMenu(), to.format(), to.editMask(),
                   to.maxLength()),
        std::tuple(0xFF0000u, true, TextAlignment::Right, false, "Copies", TextAlignment::Center,
                   3u, ColumnButtonStyle::Ellipsis, std::vector<std::string>{"1", "2"},
                   static_cast<void*>(&menu), ColumnFormat::String, "", 0));

    column.setFont(CellFont{"Arial"});
    column.restoreDefaults();
    const bool assigned = column.alignmentAssigned() || column.colorAssigned() ||
                          column.fontAssigned() || column.readOnlyAssigned() ||
                          column.title().captionAssigned() || column.title().alignmentAssigned();
    EXPECT_EQ(std::tuple(assigned, column.alignment(), column.pickList().size(),
                         column.buttonStyle(), column.maxLength(), column.title().caption()),
              std::tuple(false, TextAlignment::Left, 0u, ColumnButtonStyle::Auto, 5, ""));
    column.setDisplayMask("0.00");
    column.setFormat(ColumnFormat::Number);  // the same format keeps the display mask
    const std::string mask = column.displayMask();
    column.setFormat(ColumnFormat::Date);
    EXPECT_EQ(mask + "|" + column.displayMask(), "0.00|");
}

TEST_F(GridModelTest, ColumnEditorRulesFollowButtonStylePickListAndReadOnly) {
    // After each change: the editor's style (0 none, 1 ellipsis, 2 list), and read-only.
    const std::pair<std::function<void()>, const char*> changes[] = {
        {[] {}, "00"},
        {[&] {
             column.setPickList({"A4", "A3"});
         },
         "20"},
        {[&] { column.setLimitToList(true); }, "21"},
        {[&] { column.setReadOnly(true); }, "01"},  // a read-only column shows no list
        {[&] { column.setButtonStyle(ColumnButtonStyle::Ellipsis); }, "11"},
        {[&] { column.setReadOnly(false), column.setButtonStyle(ColumnButtonStyle::None); }, "00"},
    };
    for (const auto& [change, rules] : changes) {
        change();
        EXPECT_EQ(std::to_string(int(grid.editStyle(1))) + std::to_string(grid.editorReadOnly(1)),
                  rules);
    }
    column.setEditMask("!99;1;_");
    EXPECT_EQ(grid.editMask(1, 1), "!99;1;_");
    grid.OnGetEditMask = [](int c, int r, std::string& m) { m = c == 1 && r == 3 ? "000" : m; };
    EXPECT_EQ(grid.editMask(1, 3) + "|" + grid.editMask(1, 1), "000|!99;1;_");
}

TEST_F(GridModelTest, EditCheckWritesNumbersAndDatesBackInTheirFormOrRefusesThem) {
    grid.setColCount(3);
    grid.columnAt(0).setFormat(ColumnFormat::Number);
    column.setFormat(ColumnFormat::Date);
    // What a number (0), date (1) or string (2) cell that held `before` holds once `text` is typed.
    const auto edit = [&](int col, const std::string& before, const std::string& text) {
        const char* outcome[] = {" (unchecked)", "", " (restored)"};  // in EditCheck's order
        grid.setCell(col, 1, text);
        const int check = static_cast<int>(grid.checkEditEnd(col, 1, before));
        return grid.cell(col, 1) + outcome[check];
    };
    const std::tuple<int, const char*, const char*, const char*> rows[] = {
        {0, "1", "007", "7"},
        {0, "1", " 1.50 ", "1.5"},  // a fraction passes; the spool run refuses it later
        {0, "1", "+2", "2"},
        {0, "1", "-0", "0"},
        {0, "1", "1e20", "1E20"},
        {0, "4", "", " (unchecked)"},
        {2, "x", "007", "007 (unchecked)"},
        {1, "", "3-4-2024", "03-04-2024"},
        {1, "", "29/2/24", "29-02-2024"},
    };
    for (const auto& [col, before, typed, result] : rows)
        EXPECT_EQ(edit(col, before, typed), result) << typed;
    for (const char* word : {"today", "Now", "heden", "j", "D"})
        EXPECT_EQ(edit(1, "", word), FormatDateTimePicture(Today(), "dd-mm-yyyy")) << word;
    for (const char* bad : {"abc", "3x", "inf", "nan", "0x10", "1,5", "."})
        EXPECT_EQ(edit(0, "4", bad), "4 (restored)") << bad;
    for (const char* bad : {"31-02-2024", "29-02-2023", "1-13-2020", "x", "1-2-3-4", "12:00"})
        EXPECT_EQ(edit(1, "01-01-2020", bad), "01-01-2020 (restored)") << bad;
    EXPECT_EQ(grid.checkEditEnd(9, 1, "x"), EditCheck::Unchecked);  // no column object
    grid.setDateFormat({"mm/dd/yyyy"});
    EXPECT_EQ(edit(1, "", "12/31/1999"), "12/31/1999");
    EXPECT_EQ(edit(1, "01/01/2000", "31/12/1999"), "01/01/2000 (restored)");
}

TEST(DisplayMaskTest, NumberAndDateTimePictures) {
    const std::tuple<double, const char*, const char*> numbers[] = {
        {3.14159, "0.00", "3.14"},
        {1234567.891, "#,##0.00", "1,234,567.89"},
        {2.5, "0.##", "2.5"},
        {2, "0.##", "2"},
        {7, "000", "007"},
        {0.5, "#.00", ".50"},
        {-3, "0", "-3"},
        {-3, "0;(0)", "(3)"},
        {0, "0;(0);'none'", "none"},
        {4, "0 'copies'", "4 copies"},
        {-0.001, "0.00", "0.00"},
    };
    for (const auto& [value, picture, text] : numbers)
        EXPECT_EQ(FormatNumberPicture(value, picture), text) << picture;
    const DateTime value{2024, 3, 7, 9, 5, 2};
    // "mm" is the month but right after an hour.
    EXPECT_EQ(FormatDateTimePicture(value, "dd/mm/yyyy|d mmmm yy|ddd d mmm|dddd|hh:mm:ss|h:nn 'h'"),
              "07/03/2024|7 March 24|Thu 7 Mar|Thursday|09:05:02|9:05 h");
    EXPECT_EQ(FormatNumberCell("12.5", "0.0"), "12.5");
    EXPECT_FALSE(FormatNumberCell("twelve", "0.0"));
    EXPECT_EQ(FormatDateCell("7-3-2024 14:30", "yyyy-mm-dd hh:nn", DateFormat{}),
              "2024-03-07 14:30");
    EXPECT_FALSE(FormatDateCell("32-1-2024", "yyyy", DateFormat{}));
}

// Each list shown takes the rows and columns it needs; the job-list columns keep their settings
// and widths, columns past them are made afresh, and no text of an earlier list is left where a
// grid made larger later would show it.
TEST(JobListGrid, ShowsEachListKeepingTheJobColumnsAndNoTextOfAnEarlierOne) {
    GridModel grid;
    LayOutJobListGrid(grid);
    EXPECT_EQ(
        std::tuple(grid.rowCount(), grid.colCount(), grid.fixedRows(), grid.fixedCols(),
                   grid.defaultRowHeight(), grid.colWidth(0), grid.colWidth(1),
                   grid.columnAt(0).title().caption(), grid.columnAt(0).color(),
                   grid.columnAt(0).readOnly(), grid.columnAt(1).format()),
        std::tuple(30, 2, 1, 0, 16, 445, 36, "Filename", 0xFFFFFFu, true, ColumnFormat::Number));
    grid.setColWidth(1, 40);
    const ColumnSettings name = grid.column(0), copies = grid.column(1);
    // A third column from an earlier list, with settings of its own.
    grid.setColCount(3);
    grid.setColumn(2, {"Left over", true, ColumnFormat::Date, {}, {}});
    const auto rows = [&] {
        std::string text;
        for (int r = 0; r < grid.rowCount(); ++r)
            for (int c = 0; c < grid.colCount(); ++c)
                text += grid.cell(c, r) + (c + 1 < grid.colCount() ? ";" : "|");
        return text;
    };
    JobList list;
    list.AddFiles(std::vector<std::string>(14, "/p/a.plt"), ListMode::New, 2);
    ShowJobList(grid, list);
    FitNameColumn(grid);
    EXPECT_EQ(std::tuple(grid.rowCount(), grid.colCount(), grid.cell(0, 14), grid.colWidth(0)),
              std::tuple(15, 2, "/p/a.plt", 445));
    const GridModel fresh;
    for (const std::vector<std::string>& lines :
         {std::vector<std::string>{"t;u;v", "/p/x.plt;4;z"}, {";", "/p/y.plt;1"}, {}}) {
        SCOPED_TRACE(lines.empty() ? "no lines" : lines[0]);
        const JobList opened = JobListFromLines(lines);
        ShowJobList(grid, opened);
        FitNameColumn(grid);
        std::string text = JobListText(opened);
        std::replace(text.begin(), text.end(), '\n', '|');
        text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
        EXPECT_EQ(rows(), text);
        EXPECT_EQ(std::tuple(grid.column(0), grid.column(1), grid.colWidth(0), grid.colWidth(1)),
                  std::tuple(name, copies, 461, 40));
        if (grid.colCount() > 2) {
            EXPECT_EQ(grid.column(2), fresh.column(2));
        }
    }
    // Made larger again, the grid shows nothing of the lists before.
    grid.setColCount(3);
    grid.setRowCount(40);
    std::string blank;
    for (int r = 0; r < 40; ++r)
        blank += ";;|";
    EXPECT_EQ(rows(), blank);

    // A list treated as a set shows no copy counts, and a list that is none shows them again.
    ShowCopiesColumnForSets(grid, true);
    EXPECT_EQ(
        std::tuple(grid.column(1).titleCaption, grid.column(1).readOnly, grid.column(1).fontColor),
        std::tuple("", true, std::optional<std::uint32_t>(0xFFFFFF)));
    ShowCopiesColumnForSets(grid, false);
    EXPECT_EQ(
        std::tuple(grid.column(1).titleCaption, grid.column(1).readOnly, grid.column(1).fontColor),
        std::tuple("Copies", false, std::optional<std::uint32_t>(0)));
}

}  // namespace
}  // namespace tavrin::test
