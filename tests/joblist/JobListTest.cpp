// SPDX-License-Identifier: GPL-3.0-or-later
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "joblist/DisplayMask.h"
#include "joblist/GridModel.h"
#include "joblist/JobList.h"
#include "joblist/JobListFile.h"
#include "joblist/JobListLines.h"
#include "joblist/LongFileName.h"
#include "platform/Error.h"
#include "platform/PlainForm.h"
#include "support/TempFolder.h"

namespace tavrin::test {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;
using testing::ThrowsMessage;
using NameList = std::vector<std::string>;

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
    FontSpec font{"Courier", 10, true, false, false, 0x0000FF};
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

    column.setFont(FontSpec{"Arial"});
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

// The job list's grid as the window lays it out, counting its cell reads and writes.
struct JobListGrid : public GridModel {
    JobListGrid() { LayOutJobListGrid(*this); }
    void Fill(std::initializer_list<std::pair<const char*, const char*>> jobs) {
        int row = 0;
        for (const auto& [name, copies] : jobs) {
            setRowCount(++row + 1);
            setCell(0, row, name);
            setCell(1, row, copies);
        }
    }
    std::string cell(int c, int r) const override { return ++work, GridModel::cell(c, r); }
    void setCell(int c, int r, const std::string& t) override {
        ++work, GridModel::setCell(c, r, t);
    }
    mutable long long work = 0;
};

// A job list on an in-memory grid and form, its handlers wired as the window wires them.
struct JobListRig {
    JobListRig() {
        form.spinEdit1.onChange = [this] { list.SpinEdit1Change(); };
        form.jobAsSet.onClick = [this] { list.JobAsSetClick(); };
        form.smartReplots.onClick = [this] { list.SmartReplotsClick(); };
    }
    // A radio button pair: checking one unchecks the other, and runs its click.
    void SetAddMode(bool add) {
        form.addMode.setChecked(add);
        form.repMode.setChecked(!add);
        add ? list.AddModeClick() : list.RepModeClick();
    }
    void Add(const NameList& names) {
        list.SetPendingFiles(names);
        list.SetBatchCount(int(names.size()));
        list.AddBatch();
    }
    // Copies caption, read-only, font colour, label; SmartReplots, PSCollate checked, enabled.
    std::string SetOptions() const {
        const GridColumn& copies = grid.columnAt(1);
        std::string text = copies.title().caption() + "|" + std::to_string(copies.readOnly()) +
                           "|" + std::to_string(copies.font().color) + "|" + form.label3.caption();
        for (const PlainControl* c : {&form.smartReplots, &form.psCollate})
            text += std::string("|") + (c->checked() ? "c" : "-") + (c->enabled() ? "e" : "-");
        return text;
    }

    JobListGrid grid;
    PlainForm form{grid};
    std::string deviceClass = "HPGL2";
    JobList list{form, [this] { return deviceClass; }};
    int fileCount = 0, batchCount = 0;
    TempFolder dir;
};

class JobListTest : public ::testing::Test, protected JobListRig {};

TEST_F(JobListTest, StartsEmptyTreatAsSetHidesTheCountsCollationIsOnlyForPostScriptAndBatchesGo) {
    EXPECT_EQ(
        std::tuple(grid.rowCount(), grid.colCount(), grid.fixedRows(), grid.fixedCols(),
                   grid.defaultRowHeight(), grid.colWidth(0), grid.colWidth(1),
                   grid.columnAt(0).title().caption(), grid.columnAt(0).color(),
                   grid.columnAt(0).readOnly(), grid.columnAt(1).format()),
        std::tuple(30, 2, 1, 0, 16, 445, 36, "Filename", 0xFFFFFFu, true, ColumnFormat::Number));
    EXPECT_EQ(SetOptions(), "Copies|0|0|Global # of copies|--|--");
    form.jobAsSet.setChecked(true);
    form.jobAsSet.setChecked(false);
    EXPECT_EQ(SetOptions(), "Copies|0|0|Global # of copies|-e|--");  // a plotter
    form.smartReplots.setChecked(true);
    EXPECT_EQ(SetOptions(), "Copies|0|0|Global # of copies|ce|--");
    form.smartReplots.setChecked(false);
    deviceClass = "POSTSCRIPT";
    form.smartReplots.setChecked(true);
    form.psCollate.setChecked(true);
    EXPECT_EQ(SetOptions(), "Copies|0|0|Global # of copies|ce|ce");
    form.jobAsSet.setChecked(true);
    EXPECT_EQ(SetOptions(), "|1|16777215|Number of sets|--|--");
    form.jobAsSet.setChecked(false);
    EXPECT_EQ(SetOptions(), "Copies|0|0|Global # of copies|-e|-e");
    form.smartReplots.setChecked(true);
    form.psCollate.setChecked(true);
    form.smartReplots.setChecked(false);
    EXPECT_EQ(SetOptions(), "Copies|0|0|Global # of copies|-e|--");
    // Batches append in Add mode, replace in New mode unless too long; clearing empties all.
    const std::string plot = (SamplesDir() / "hp2xx/acad.hp").string();
    SetAddMode(true);
    EXPECT_EQ(form.statusBar1.panel(0), "Mode: add files to joblist");
    Add(NameList(10, plot));
    Add(NameList(5, plot));
    SetAddMode(false);
    EXPECT_EQ(form.statusBar1.panel(0), "Mode: start a new joblist");
    form.statusBar1.setPanel(3, "Done");
    form.spinEdit1.setValue(2);
    Add(NameList(3, plot));
    EXPECT_EQ(grid.cell(1, 3) + "|" + form.statusBar1.panel(3), "2|");  // the run panel emptied
    for (int r = 4; r <= 15; ++r)
        EXPECT_EQ(grid.cell(0, r) + grid.cell(1, r), "") << r;
    Add({"/plots/a.plt", "/plots/a.plt"});  // the same file twice is two rows
    list.SetPendingFiles({"/x.plt"});
    list.SetBatchCount(3);
    EXPECT_THAT([&] { list.AddBatch(); }, ThrowsMessage<Error>("List index out of bounds (1)"));
    Add({});  // an empty batch changes nothing
    EXPECT_EQ(std::pair(JobListText(grid), list.FileCount()),
              std::pair(";\r\n/plots/a.plt;2\r\n/plots/a.plt;2\r\n"s, 2));
    SetAddMode(true);
    Add(NameList(1500, plot));
    list.ClearJobList();
    EXPECT_EQ(std::pair(list.FileCount(), grid.rowCount()), std::pair(0, 1503));
    EXPECT_EQ(grid.cell(0, 999) + grid.cell(0, 1502) + grid.cell(1, 1502), "");
}

// After every step the job rows are rows 1 .. RowCount-1, or none and 29 blank rows show.
class JobListInvariantTest : public ::testing::TestWithParam<unsigned>, protected JobListRig {};

TEST_P(JobListInvariantTest, HoldsThroughLongRandomSequences) {
    std::mt19937 random(GetParam());
    auto pick = [&](int low, int high) { return std::uniform_int_distribution(low, high)(random); };
    std::vector<std::pair<std::string, std::string>> expected;  // (name, copies) per job
    const auto files = [&] { return "Files in joblist: " + std::to_string(expected.size()); };
    std::string shown;  // status panel 1
    // In New mode a removal counts the batch down, with no floor.
    for (int step = 0, nextName = 0, batch = 0; step < 3000 && !HasFatalFailure(); ++step) {
        SCOPED_TRACE("step " + std::to_string(step));
        const int operation = pick(0, 99);
        if (operation < 35) {
            // A batch: mostly small, now and then long, an empty name now and then.
            NameList names(pick(0, 9) == 0 ? pick(20, 60) : pick(0, 6));
            if (!names.empty() && !form.addMode.checked())
                expected.clear();
            for (auto& name : names) {
                name = pick(0, 30) == 0 ? "" : "/plots/f" + std::to_string(nextName++);
                expected.emplace_back(name, std::to_string(form.spinEdit1.value()));
            }
            Add(names);
            batch = int(names.size());
            shown = names.empty() ? shown : files();
        } else if (operation < 60) {
            const int row = pick(1, grid.rowCount() - 1);
            grid.setCurrentRow(row);  // also where a range of rows is selected
            batch -= form.repMode.checked() ? 1 : 0;
            list.RemoveClick();
            if (!expected.empty())
                expected.erase(expected.begin() + (row - 1));
            shown = files();
        } else if (operation < 72) {
            const int copies = pick(1, 99);
            for (auto& job : expected)  // an unchanged value runs no handler
                job.second = form.spinEdit1.value() == copies ? job.second : std::to_string(copies);
            form.spinEdit1.setValue(copies);
        } else if (operation < 82) {
            SetAddMode(!form.addMode.checked());
        } else if (operation < 88) {
            form.jobAsSet.setChecked(!form.jobAsSet.checked());
        } else if (operation < 95 && !expected.empty()) {
            const int row = pick(1, int(expected.size()));
            expected[row - 1].second = std::to_string(pick(1, 500));
            grid.setCell(1, row, expected[row - 1].second);
        } else if (operation >= 95) {  // a spool run that clears the list afterwards
            list.ClearJobList();
            grid.setRowCount(30);
            grid.setColWidth(0, 445);
            expected.clear();
        }
        std::string text = expected.empty() ? JobListText(JobListGrid()) : ";\r\n";
        for (const auto& [name, copies] : expected)
            text += name + ";" + copies + "\r\n";
        ASSERT_EQ(std::tuple(JobListText(grid), list.FileCount(), list.BatchCount(),
                             grid.fixedRows(), grid.colWidth(0), form.statusBar1.panel(1)),
                  std::tuple(text, int(expected.size()), batch, 1,
                             expected.empty() || expected.size() > 10 ? 445 : 461, shown));
    }
}

INSTANTIATE_TEST_SUITE_P(Seeds, JobListInvariantTest, testing::Values(1u, 7u, 42u, 2024u, 99991u));

TEST_F(JobListTest, SaveWritesTheShownRowsAsTheyAreWithCrLfLineEndsOrSaysWhyItCannot) {
    EXPECT_THAT(JobListText(grid), testing::MatchesRegex("(;\r\n){30}"));
    grid.Fill({{"C:\\plots\\first.plt", "1"}, {"/plots/Zürich;übersicht 日本.plt", "3"}});
    grid.setCell(1, 3, "hidden below the last row");
    const std::string text =
        ";\r\nC:\\plots\\first.plt;1\r\n/plots/Z\xC3\xBCrich;\xC3\xBC"
        "bersicht \xE6\x97\xA5\xE6\x9C\xAC.plt;3\r\n";
    EXPECT_EQ(JobListText(grid), text);
    WriteBytes(dir / "list.tjf", std::string(10000, 'x'));
    SaveJobListFile(grid, (dir / "list.tjf").string());  // replaces the file whole
    const std::string view = WriteViewListFile(grid, dir.path().string());
    EXPECT_EQ(std::tuple(ReadFile(dir / "list.tjf"), view, ReadFile(dir / "temp.tjf")),
              std::tuple(text, (dir / "temp.tjf").string(), text));
    for (const std::string& path : {dir.path().string(), (dir / "no such folder/x").string()})
        EXPECT_THAT([&] { SaveJobListFile(grid, path); },
                    ThrowsMessage<Error>("Cannot create file " + path));
    EXPECT_FALSE(fs::exists(dir / "no such folder"));
    EXPECT_THAT([&] { WriteViewListFile(grid, (dir / "gone").string()); },
                ThrowsMessage<Error>("Cannot create file " + (dir / "gone/temp.tjf").string()));
    if (fs::exists("/dev/full")) {
        EXPECT_THAT([&] { SaveJobListFile(grid, "/dev/full"); },
                    ThrowsMessage<Error>("Stream write error"));
    }
}

// No load leaves an old name below its rows; a refused one leaves everything as it was.
TEST_F(JobListTest, EachLoadShowsTheFilesLinesAndKeepsTheJobListColumnsOrIsRefusedLosingNothing) {
    // The file, the grid saved again ("=": the same), its fixed rows.
    const std::tuple<std::string, std::string, int> rows[] = {
        {";\r\na;b;c\r\n/p/x.plt;4\r\n", ";;\r\na;b;c\r\n/p/x.plt;4;\r\n", 1},
        {"t\r\n/p/new one.plt\r\n/p/x.plt\r\n", "t;\r\n/p/new one.plt;\r\n/p/x.plt;\r\n", 1},
        {JobListText(JobListGrid()), "=", 1},  // saved from an empty list: 29 empty jobs
        {"set mode", "", 1},                   // from here on the list is a set: no copies shown
        {";\r\n/home/jürgen/Begane grond – versie 2.plt;1\r\n/srv/планы/этаж 3.plt;12\r\n", "=", 1},
        {"a;b;c;d\r\n", "=", 0},
        // Nothing of the wider list before stays past a shorter row's fields.
        {"x;y\r\n/p;1;z\r\n", "x;y;\r\n/p;1;z\r\n", 0},
        {"", ";\r\n", 0},
    };
    grid.Fill({{"/old/a.plt", "2"}, {"/old/b.plt", "5"}, {"/old/c.plt", "7"}});
    grid.setColWidth(1, 40);
    // A third column from an earlier load with settings of its own: a load makes it afresh.
    grid.setColCount(3);
    grid.setColumn(2, {"Left over", true, ColumnFormat::Date, {}, {}});
    grid.setCell(0, 40, "hidden");
    fileCount = batchCount = 3;
    form.statusBar1.setPanel(1, "Files in joblist: 3");
    const std::string text = JobListText(grid);
    ColumnSettings name = grid.column(0), copies = grid.column(1);
    // /proc/self/mem opens, but reading fails at its first byte.
    for (const std::string& path : {(dir / "not there.tjf").string(), dir.path().string(),
                                    std::string(), std::string("/proc/self/mem")}) {
        EXPECT_THAT([&] { OpenJobListFile(grid, path, fileCount, batchCount, form.statusBar1); },
                    ThrowsMessage<Error>(path == "/proc/self/mem" ? "Stream read error"
                                                                  : "Cannot open file " + path));
        EXPECT_EQ(std::tuple(JobListText(grid), grid.cell(0, 40), grid.column(0), grid.column(1),
                             fileCount, batchCount, form.statusBar1.panel(1)),
                  std::tuple(text, "hidden", name, copies, 3, 3, "Files in joblist: 3"));
    }
    const fs::path path = dir / "Liste für Montag ü.tjf";
    for (const auto& [bytes, shown, fixedRows] : rows) {
        SCOPED_TRACE(bytes.substr(0, 40));
        if (bytes == "set mode") {
            form.jobAsSet.setChecked(true);
            copies = grid.column(1);
            continue;
        }
        const int before = grid.rowCount();
        WriteBytes(path, bytes);
        OpenJobListFile(grid, path.string(), fileCount, batchCount, form.statusBar1);
        for (int r = grid.rowCount(); r < before; ++r)
            EXPECT_EQ(grid.cell(0, r), "") << r;
        const int jobs = grid.rowCount() - 1;  // every row after the first, counted and shown
        EXPECT_EQ(
            std::tuple(JobListText(grid), grid.fixedRows(), grid.column(0), grid.column(1),
                       grid.colWidth(0), grid.colWidth(1),
                       grid.colCount() > 2 ? grid.column(2) : ColumnSettings{}, fileCount,
                       batchCount, form.statusBar1.panel(1)),
            std::tuple(shown == "=" ? bytes : shown, fixedRows, name, copies, 445, 40,
                       ColumnSettings{}, jobs, jobs, "Files in joblist: " + std::to_string(jobs)));
    }
}

TEST_F(JobListTest, AnyFileOpensAsLinesThatSurviveSaveAndOpenWithWorkInProportionToTheLines) {
    constexpr int kFiles = 100000;
    std::string text = ";\r\n";
    for (int i = 1; i <= kFiles; ++i)
        text += "/srv/plots/project " + std::to_string(i) + "/sheet.plt;" +
                std::to_string(i % 99 + 1) + "\r\n";
    WriteBytes(dir / "long.tjf", text);
    grid.work = 0;
    OpenJobListFile(grid, (dir / "long.tjf").string(), fileCount, batchCount, form.statusBar1);
    // Two cells per line and the old rows' names emptied, nothing more.
    EXPECT_LE(grid.work, 3LL * (kFiles + 1) + 100);
    EXPECT_EQ(std::to_string(fileCount) + " " + grid.cell(0, kFiles) + ";" + grid.cell(1, kFiles),
              "100000 /srv/plots/project 100000/sheet.plt;11");
    const auto samples = SamplePrintFiles();
    EXPECT_GE(samples.size(), 20u);
    for (const auto& sample : samples) {
        SCOPED_TRACE(sample);
        OpenJobListFile(grid, sample.string(), fileCount, batchCount, form.statusBar1);
        SaveJobListFile(grid, (dir / "copy.tjf").string());
        JobListGrid other;
        LoadJobListFile(other, (dir / "copy.tjf").string());
        EXPECT_EQ(JobListText(other), JobListText(grid));
    }
}

// Each line or field followed by "|", so that no line and one empty line differ.
std::string Joined(const std::vector<std::string>& parts) {
    std::string text;
    for (const std::string& part : parts)
        text += part + "|";
    return text;
}

TEST(JobListLines, CrLfCrAndLfEachEndALineANulEndsTheTextAndSeparatorsEndFields) {
    const std::pair<std::string, const char*> rows[] = {
        {";\r/a.plt;1\n/b.plt;3\r\n", ";|/a.plt;1|/b.plt;3|"},
        {"a\r\nb", "a|b|"},  // the last line needs no end mark
        {"", ""},
        {"\r", "|"},
        {"a\n\rb", "a||b|"},  // LF CR is two line ends, CR LF only one
        {"a\r\r\nb", "a||b|"},
        {"a;1\r\n\0b;2\r\n"s, "a;1|"},
        {"\0a;1\r\n"s, ""},
        {"a\r\0\nb"s, "a|"},
    };
    for (const auto& [text, lines] : rows)
        EXPECT_EQ(Joined(SplitJobListText(text)), lines) << text;
    // Pieces join across their borders, CR LF split between two too; a NUL ends the text.
    JobListLineSplitter splitter;
    std::string taken;
    for (const auto& piece : {"a;1\r"s, "\nb;2\r"s, "\n/p/lo"s, "ng.plt;"s, "2\0c"s, "d\r\ne\r\n"s})
        taken += splitter.Feed(piece) ? "+" : "-";
    EXPECT_EQ(taken + std::to_string(splitter.ended()) + Joined(splitter.Finish()),
              "++++--1a;1|b;2|/p/long.plt;2|");
    // Fields: every separator ends one, and the fields of the line before are gone.
    const std::pair<const char*, const char*> fieldRows[] = {
        {"a;b;c", "a|b|c|"}, {" a ; b ", " a | b |"}, {";", "||"},
        {";;x;", "||x||"},   {"a;;", "a|||"},         {"", "|"},
    };
    for (const auto& [line, fields] : fieldRows) {
        std::vector<std::string> tokens{"left", "over"};
        TokenizeGridString(line, ';', tokens);
        EXPECT_EQ(Joined(tokens), fields) << line;
    }
}

// "@" stands for the scratch folder, @/Plots is the current one; a batch gives what each gives.
TEST(LongFileName, NamesAreJoinedToTheCurrentFolderAndTheirDotsResolvedByText) {
    TempFolder folder;
    const std::string root = folder.path().string();
    fs::create_directories(folder / "Plots" / "Sub");
    for (const char* file : {"A.plt", "a.plt", "Sub/b.plt", "Plan 1; rev\xc3\xa9.plt"})
        WriteBytes(folder / "Plots" / file, file);
    fs::create_symlink(folder / "Plots" / "Sub", folder / "Link");
    const fs::path before = fs::current_path();
    fs::current_path(folder / "Plots");
    const std::pair<std::string, std::string> rows[] = {
        {"A.plt", "@/Plots/A.plt"},
        {"a.plt", "@/Plots/a.plt"},  // letter case tells files apart here
        {"../Plots/./Sub//b.plt", "@/Plots/Sub/b.plt"},
        {"@/Plots/Sub/../../Plots/A.plt", "@/Plots/A.plt"},
        {"/../..", "/"},
        {"@/Plots/Sub/", "@/Plots/Sub"},
        {"No/Such/Folder/x.plt", "@/Plots/No/Such/Folder/x.plt"},
        {"@/Missing/../Plots/A.plt", "@/Plots/A.plt"},
        {"SUB/B.PLT", "@/Plots/SUB/B.PLT"},  // another case that exists nowhere is kept as given
        {"@/Link/b.plt", "@/Link/b.plt"},    // links are kept as named
        {"Plan 1; rev\xc3\xa9.plt", "@/Plots/Plan 1; rev\xc3\xa9.plt"},
        {"", ""},
        {"No/Such/Folder/y.plt", "@/Plots/No/Such/Folder/y.plt"},
    };
    const auto at = [&](std::string t) { return t.starts_with("@") ? root + t.substr(1) : t; };
    std::vector<std::string> names, expected;
    for (const auto& [name, longName] : rows) {
        EXPECT_EQ(LongFileName(at(name)), at(longName)) << name;
        names.push_back(at(name));
        expected.push_back(at(longName));
    }
    EXPECT_EQ(LongFileNames(names), expected);
    fs::current_path(before);
}

}  // namespace
}  // namespace tavrin::test
