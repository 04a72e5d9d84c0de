// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <QHeaderView>
#include <QKeySequence>
#include <QMenu>
#include <QPainter>
#include <QPointer>
#include <QRegularExpression>
#include <QTest>

#include <gtest/gtest.h>

#include <array>
#include <cstring>

#include "joblist/JobList.h"
#include "support/TempFolder.h"
#include "support/TestApplication.h"
#include "widgets/DataGrid.h"
#include "widgets/DataGridInplaceEdit.h"
#include "widgets/DataGridStyle.h"
#include "widgets/JobListGrid.h"
#include "widgets/PopupListbox.h"

namespace tavrin {
namespace {

// A shown grid of 3 columns (the middle one cfNumber) and 5 data rows below a title row.
class DataGridTest : public ::testing::Test {
protected:
    DataGridTest() {
        GridModel& cells = grid.Grid();
        cells.setColCount(3);
        cells.setFixedCols(0);
        cells.setRowCount(6);
        for (int r = 1; r < 6; ++r) {
            cells.setCell(0, r, "n" + std::to_string(r));
            cells.setCell(1, r, std::to_string(r));
            cells.setCell(2, r, "x" + std::to_string(r));
        }
        grid.Columns(0).Title().SetCaption("Name");
        grid.Columns(1).Title().SetCaption("Copies");
        grid.Columns(1).SetFormat(ColumnFormat::Number);
        grid.SetOptions({.rangeSelect = true, .tabs = true});
        grid.Beep = [this] { ++beeps; };
        grid.OnUserChanged = [this](TDataGridInplaceEdit* sender) { changes.push_back(sender); };
        grid.BeforeInsert = [this](TDataGrid* sender) { inserts += sender == &grid ? 1 : 100; };
        grid.BeforeDelete = [this](TDataGrid* sender) { deletes += sender == &grid ? 1 : 100; };
        grid.OnEditButtonClick = [this](TDataGrid* sender) { clicks += sender == &grid ? 1 : 100; };
        grid.resize(360, 200);
        grid.show();
        grid.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&grid));
        grid.setFocus();
    }

    QPoint Center(int col, int row) { return grid.visualRect(grid.IndexOf(col, row)).center(); }
    void Click(int col, int row, Qt::MouseButton button = Qt::LeftButton,
               Qt::KeyboardModifiers keys = {}) {
        QTest::mouseClick(grid.viewport(), button, keys, Center(col, row));
    }
    TDataGridInplaceEdit* Edit(int col, int row) {
        Click(col, row);
        QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, Center(col, row));
        TDataGridInplaceEdit* editor = grid.InplaceEditor();
        EXPECT_TRUE(editor && editor->Col() == col && editor->Row() == row) << "no editor";
        if (editor)
            editor->setFocus();
        return editor;
    }
    // Types `script` into the open editor, or else the grid: text as typed, <Key> as one key press
    // such as <Tab> or <Alt+Down>, {button} a click on the editor's button, {dclick} a double
    // click into its text, {entry} a click on the list's third entry, {focus} the grid's focus.
    void Run(const QString& script) {
        for (const auto& part :
             QRegularExpression("<([^>]+)>|\\{(\\w+)\\}|[^<{]+").globalMatch(script)) {
            TDataGridInplaceEdit* editor = grid.InplaceEditor();
            QWidget* to = editor ? static_cast<QWidget*>(editor) : &grid;
            const QString token = part.captured(2);
            if (part.hasCaptured(1)) {
                const QKeyCombination key = QKeySequence::fromString(part.captured(1))[0];
                QTest::keyClick(to, key.key(), key.keyboardModifiers());
            } else if (token == "button") {
                QTest::mouseClick(editor, Qt::LeftButton, {}, editor->ButtonRect().center());
            } else if (token == "dclick") {
                QTest::mouseDClick(editor, Qt::LeftButton, {}, QPoint(5, editor->height() / 2));
            } else if (token == "entry") {
                TPopupListbox* list = editor->PickList();
                QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                                  list->visualItemRect(list->item(2)).center());
            } else if (token == "focus") {
                grid.setFocus();
                QApplication::processEvents();
            } else {
                QTest::keyClicks(to, part.captured(0));
            }
        }
    }
    void LayOutJobList() {
        LayOutJobListGrid(grid.Grid());
        grid.resize(504, 191);
    }
    void Add(int count) {
        std::vector<std::string> names;
        for (int i = 1; i <= count; ++i)
            names.push_back("/plots/sheet" + std::to_string(i));
        list.AddFiles(names, ListMode::New, 1);
        ShowJobList(grid.Grid(), list);
        FitNameColumn(grid.Grid());
    }
    std::string Cell(int col, int row) const { return grid.Grid().cell(col, row); }
    std::string At() const {
        return " @" + std::to_string(grid.Grid().currentCol()) + "," +
               std::to_string(grid.Grid().currentRow());
    }
    // The cell, its editor ([text, * when all selected, v a list button, ... an ellipsis, ro,
    // mod, :the current entry of the open list] or closed), the current cell, what was reported.
    std::string State(int col, int row) const {
        TDataGridInplaceEdit* e = grid.InplaceEditor();
        std::string state = Cell(col, row) + (e ? " [" + e->text().toStdString() : " closed");
        if (e) {
            if (e->hasSelectedText())
                state += e->selectedText() == e->text() ? "*"
                                                        : " sel " + e->selectedText().toStdString();
            state += std::array{"", " ...", " v"}[int(e->Style())];
            state += std::string(e->isReadOnly() ? " ro" : "") + (e->Modified() ? " mod" : "");
            if (e->ListVisible())
                state += ":" + e->PickList()->currentItem()->text().toStdString();
            state += "]";
        }
        state += At() + (beeps ? " beeps=" + std::to_string(beeps) : "");
        state += clicks ? " clicks=" + std::to_string(clicks) : "";
        return state + (changes.empty() ? "" : " changes=" + std::to_string(changes.size()));
    }
    // Column 0, the given cell, the row counts of the grid and of its view, the current cell,
    // +inserts and -deletes reported, and "edit" while an editor is open.
    std::string RowState(int col, int row) const {
        std::string state;
        for (int r = 1; r < grid.Grid().rowCount(); ++r)
            state += Cell(0, r) + (r + 1 < grid.Grid().rowCount() ? "," : "");
        state += " | " + Cell(col, row) + " | " + std::to_string(grid.Grid().rowCount()) + "/" +
                 std::to_string(grid.model()->rowCount()) + At();
        state += inserts ? " +" + std::to_string(inserts) : "";
        state += deletes ? " -" + std::to_string(deletes) : "";
        return state + (grid.InplaceEditor() ? " edit" : "");
    }

    test::UsesApplication app;
    int beeps = 0, inserts = 0, deletes = 0, clicks = 0;
    std::vector<TDataGridInplaceEdit*> changes;
    TDataGrid grid;
    JobList list;
};

// A name, the set-up, the cell to edit, the keys typed and the state they leave.
using Script = std::tuple<const char*, const char*, int, int, const char*, const char*>;
auto Name = [](const auto& info) { return std::string(std::get<0>(info.param)); };
class ScriptTest : public DataGridTest, public ::testing::WithParamInterface<Script> {};

// Setup: r the column is read-only, x it has an ellipsis button, p column 2 has a pick list, l
// limited to it; j the job list's layout with 2 files. Row keys: a, i, d allow appending,
// inserting, deleting rows, m keeps 6 rows at least, g clicks the cell and types into the grid.
TEST_P(ScriptTest, LeavesTheCellAndTheEditorAsShown) {
    const auto [name, setup, col, row, keys, state] = GetParam();
    const auto has = [setup](char c) { return std::strchr(setup, c) != nullptr; };
    grid.Columns(col).SetReadOnly(has('r'));
    if (has('x'))
        grid.Columns(col).SetButtonStyle(ColumnButtonStyle::Ellipsis);
    if (has('p'))
        grid.Columns(2).SetPickList({"A4", "A3", "Bristol", "b2", "C5"});
    grid.Columns(2).SetLimitToList(has('l'));
    if (has('j')) {
        LayOutJobList();
        Add(2);
    }
    grid.SetDataGridOptions({.appendRow = has('a'), .insertRow = has('i'), .deleteRow = has('d')});
    if (has('m'))
        grid.SetRowCountMin(6);
    if (has('g'))
        Click(col, row);
    TDataGridInplaceEdit* editor = has('g') ? nullptr : Edit(col, row);
    ASSERT_TRUE(has('g') || editor);
    Run(keys);
    EXPECT_EQ(std::strpbrk(setup, "aidmg") ? RowState(col, row) : State(col, row), state);
    for (TDataGridInplaceEdit* sender : changes)
        EXPECT_EQ(sender, editor);
    EXPECT_TRUE(!grid.InplaceEditor() || grid.InplaceEditor() == editor) << "the same editor";
}

const Script kScripts[] = {
    {"ANumberIsWrittenBackShortOnTab", "", 1, 2, "007<Tab>", "7 closed @2,2 changes=1"},
    {"NoNumberReachesTheCellWhileTyping", "", 1, 4, "abc", "abc [abc mod] @1,4"},
    {"NoNumberBeepsAndTheOldTextIsBack", "", 1, 4, "abc<Down>", "4 closed @1,5 beeps=1 changes=1"},
    {"LeftChecksTheNumberToo", "", 1, 1, "02<Left>", "2 [2 mod] @1,1 changes=1"},
    {"AnEmptiedNumberStaysEmpty", "", 1, 3, "<Backspace><Tab>", " closed @2,3 changes=1"},
    {"EscapePutsBackTheOldText", "", 2, 2, "zzz<Esc>", "x2 closed @2,2"},
    {"EnterSelectsNothing", "", 2, 1, "<Enter>", "x1 [x1] @2,1"},
    {"ASecondEnterSelectsAll", "", 2, 1, "<Enter><Enter>", "x1 [x1*] @2,1"},
    {"AReadOnlyColumnRefusesChanges", "r", 0, 2, "qq<Backspace><Ctrl+X>", "n2 [n2* ro] @0,2"},
    {"ReturnTakesTheValue", "p", 2, 3, "<Alt+Down><Down><Return>", "A3 [A3* v mod] @2,3"},
    {"EscapeClosesOnlyTheList", "p", 2, 1, "<Alt+Down><End><Esc>", "x1 [x1* v] @2,1"},
    {"AltUpTakesIt", "p", 2, 1, "<Alt+Down><End><Esc><Alt+Up><End><Alt+Up>", "C5 [C5* v mod] @2,1"},
    {"LimitToListPicksByTheFirstCharacterOnly", "pl", 2, 5, "bq<Backspace>",
     "Bristol [Bristol* v ro mod] @2,5"},
    {"AReadOnlyColumnHasNoListButton", "pr", 2, 5, "", "x5 [x5* ro] @2,5"},
    {"AReadOnlyColumnShowsNoList", "pr", 2, 5, "<Alt+Down>", "x5 closed @2,5"},
    {"LeavingTheEditorChecksTheText", "", 1, 2, "1.50{focus}", "1.5 closed @1,2 changes=1"},
    {"TheListButtonClosesItTakingNoValue", "p", 2, 2, "{button}{button}", "x2 [x2* v] @2,2"},
    {"AClickInTheListTakesTheEntry", "p", 2, 4, "{button}{entry}", "Bristol [Bristol* v mod] @2,4"},
    {"LosingTheFocusClosesTheListTakingNoValue", "p", 2, 4, "{button}{focus}", "x4 closed @2,4"},
    {"TheEllipsisButtonReportsAClick", "x", 0, 2, "{button}", "n2 [n2* ...] @0,2 clicks=1"},
    {"CtrlEnterReportsAClick", "x", 0, 2, "<Ctrl+Return>", "n2 [n2* ...] @0,2 clicks=1"},
    {"ADoubleClickInAWritableEditorSelects", "x", 0, 2, "{dclick}", "n2 [n2* ...] @0,2"},
    {"ADoubleClickWhenReadOnlyIsAClick", "xr", 0, 3, "{dclick}", "n3 [n3* ... ro] @0,3 clicks=1"},
    {"TabLeavesTheFileNameColumn", "j", 0, 1, "oops<Tab>", "/plots/sheet1 closed @1,1"},
    {"TheCopiesAreChecked", "j", 1, 1, "two<Down>", "1 closed @1,2 beeps=1 changes=1"},
    {"CtrlInsertOpensAnEmptyRowHere", "gi", 0, 3, "<Ctrl+Ins>", "n1,n2,,n3,n4,n5 |  | 7/6 @0,3 +1"},
    {"CtrlDeleteRemovesTheRow", "gd", 2, 2, "<Ctrl+Del>", "n1,n3,n4,n5 | x3 | 5/4 @2,2 -1"},
    {"CtrlDeleteEmptiesAtRowCountMin", "gdm", 0, 2, "<Ctrl+Del>", "n1,,n3,n4,n5 |  | 6/5 @0,2 -1"},
    {"NoRowKeysWithoutOptions", "g", 0, 5, "<Ctrl+Ins><Ctrl+Del><Down>",
     "n1,n2,n3,n4,n5 | n5 | 6/5 @0,5"},
    {"TabAppendsARowFromTheLastCellOnly", "ga", 2, 5, "<Tab><Tab>",
     "n1,n2,n3,n4,n5, | x5 | 7/6 @1,6 +1"},
    {"DownAppendsARowFromTheLastRowOnly", "ga", 1, 4, "<Down><Down>",
     "n1,n2,n3,n4,n5, | 4 | 7/6 @1,6 +1"},
    {"TheEditorHandsTabToTheGrid", "a", 2, 5, "new<Tab>", "n1,n2,n3,n4,n5, | new | 7/6 @0,6 +1"},
    {"TheEditorHandsCtrlDelToTheGrid", "d", 0, 3, "<Ctrl+Del>", "n1,n2,n4,n5 | n4 | 5/4 @0,3 -1"},
};
INSTANTIATE_TEST_SUITE_P(Keys, ScriptTest, ::testing::ValuesIn(kScripts), Name);

TEST_F(DataGridTest, MaxLengthAndTheEditMaskEventReachTheEditorOfAGridWithEditing) {
    grid.Columns(2).SetMaxLength(3);
    grid.OnGetEditMask = [](TDataGrid*, int col, int row, QString& mask) {
        if (col == 2 && row == 4)
            mask = "999";
    };
    TDataGridInplaceEdit* editor = Edit(2, 3);
    ASSERT_TRUE(editor);
    EXPECT_EQ(std::to_string(editor->maxLength()) + '|' + editor->inputMask().toStdString(), "3|");
    Run("<Esc>");
    ASSERT_TRUE(editor = Edit(2, 4));
    EXPECT_EQ(editor->inputMask(), "999");
    Run("<Esc>");

    // A grid without editing opens no editor.
    grid.SetOptions({.rangeSelect = true, .editing = false, .tabs = true});
    Click(2, 2);
    QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, Center(2, 2));
    Run("zz");
    EXPECT_EQ(State(2, 2), "x2 closed @2,2");
    EXPECT_TRUE(grid.Columns(2).ReadOnly());
}

TEST_F(DataGridTest, TypingSearchesTheListByTheBeginningIgnoringCaseForUpTo32Characters) {
    grid.Columns(2).SetPickList({"A4", "A3", "Bristol", "b2", "C5"});
    TDataGridInplaceEdit* editor = Edit(2, 2);
    ASSERT_TRUE(editor);
    Run("{button}");
    qint64 now = 10'000;
    editor->PickList()->Clock = [&] { return now; };
    const auto search = [&](const QString& keys) {
        Run(keys);
        return State(2, 2) + " by " + editor->PickList()->SearchText().toStdString();
    };
    EXPECT_EQ(search("b"), "x2 [x2* v:Bristol] @2,2 by b");
    EXPECT_EQ(search("2"), "x2 [x2* v:b2] @2,2 by b2");
    EXPECT_EQ(search("<Backspace>"), "x2 [x2* v:b2] @2,2 by ");
    EXPECT_EQ(search("a3"), "x2 [x2* v:A3] @2,2 by a3");
    now += 2001;  // a pause starts a new search
    EXPECT_EQ(search("c"), "x2 [x2* v:C5] @2,2 by c");
    Run(QString(40, 'z'));
    EXPECT_EQ(editor->PickList()->SearchText().size(), 32);
}

TEST_F(DataGridTest, ARightClickKeepsTheCurrentCellAndShowsTheColumnMenu) {
    QMenu columnMenu, gridMenu;
    columnMenu.addAction("Column");
    gridMenu.addAction("Delete");
    grid.Columns(2).SetPopupMenu(&columnMenu);
    grid.SetPopupMenu(&gridMenu);
    const auto shown = [&] {  // the current row, which menus show
        return std::tuple(grid.Grid().currentRow(), gridMenu.isVisible(), columnMenu.isVisible());
    };
    Click(0, 2);
    Click(0, 5, Qt::RightButton);
    EXPECT_EQ(shown(), std::tuple(2, true, false));
    gridMenu.hide();
    Click(2, 4, Qt::RightButton);
    EXPECT_EQ(shown(), std::tuple(2, false, true));
    EXPECT_EQ(columnMenu.property("PopupComponent").value<QObject*>(), &grid);
    columnMenu.hide();
}

TEST_F(DataGridTest, AMovedColumnTakesItsSettingsAndCells) {
    grid.SetOptions({.rangeSelect = true, .tabs = true, .colMoving = true});
    grid.horizontalHeader()->moveSection(0, 2);  // what a drag of the title does
    EXPECT_EQ(
        std::tuple(grid.Columns(2).Title().Caption() + " " + grid.Columns(0).Title().Caption(),
                   Cell(2, 1) + " " + Cell(0, 1), grid.Columns(0).Format(),
                   grid.horizontalHeader()->visualIndex(0)),
        std::tuple("Name Copies", "n1 1", ColumnFormat::Number, 0));
}

TEST_F(DataGridTest, TheTitleRowShowsTheCaptionOrTheCellText) {
    grid.Grid().setCell(2, 0, "from file");
    QAbstractItemModel* model = grid.model();
    EXPECT_EQ(model->headerData(0, Qt::Horizontal).toString() + '|' +
                  model->headerData(2, Qt::Horizontal).toString(),
              "Name|from file");
    grid.Grid().setColCount(1);
    grid.Grid().setColCount(3);  // new column settings, but the old texts show again
    EXPECT_EQ(std::tuple(grid.Columns(1).Title().Caption(), grid.Columns(1).Format(),
                         model->columnCount(), model->data(grid.IndexOf(1, 2)).toString()),
              std::tuple("", ColumnFormat::String, 3, "2"));
}

TEST_F(DataGridTest, ThePickListShowsBelowTheEditorAsHighAsItsEntriesLeavingItTheFocus) {
    grid.Columns(0).SetColor(Qt::white);
    grid.Columns(1).SetAlignment(TextAlignment::Right);
    grid.Columns(1).Title().SetAlignment(TextAlignment::Right);
    grid.Columns(1).SetDisplayMask("0.00");
    grid.Columns(2).Title().SetCaption("Paper");
    grid.Columns(2).SetPickList({"A4", "A3", "A2", "A1", "A0"});
    QFont bold = grid.font();
    bold.setBold(true);
    grid.Columns(0).Title().SetFont(bold, Qt::darkBlue);
    for (int col : {0, 1, 2})
        grid.Grid().setColWidth(col, std::array{150, 70, 110}[col]);
    QPixmap tile(48, 48);  // a two-tone pattern, as a user's picture
    tile.fill(QColor(212, 225, 240));
    QPainter(&tile).fillRect(0, 0, 24, 24, QColor(222, 233, 246));
    grid.SetBGImage(tile);
    grid.resize(360, 220);
    TDataGridInplaceEdit* editor = Edit(2, 2);
    ASSERT_TRUE(editor);
    Run("{button}");
    // Under wine the grid's layout after the resize can reach the editor a little later.
    ASSERT_TRUE(QTest::qWaitFor([&] { return State(2, 2) == "x2 [x2* v:A4] @2,2"; }, 2000))
        << State(2, 2);
    TPopupListbox* list = editor->PickList();
    EXPECT_TRUE(list->isVisible() && editor->isVisible() && editor->hasFocus());
    EXPECT_GE(list->width(), editor->width());
    EXPECT_GE(list->geometry().top(), editor->mapToGlobal(QPoint(0, editor->height())).y());
    const int entry = list->sizeHintForRow(0);
    EXPECT_EQ(list->height(), entry * 5 + 4);

    // The list is a window of its own: drawn where it shows on the screen.
    const QPixmap shot = grid.grab();
    const QPoint listAt = list->mapToGlobal(QPoint(0, 0)) - grid.mapToGlobal(QPoint(0, 0));
    QPixmap canvas = shot;
    QPainter(&canvas).drawPixmap(listAt, list->grab());
    ASSERT_TRUE(
        canvas.save(QString::fromStdString((test::OutputDir() / "data_grid.png").string())));
    // Below the last row the image shows, not the plain window colour.
    EXPECT_NE(shot.toImage().pixelColor(20, shot.height() - 8), QColor(Qt::white));
    EXPECT_EQ(Cell(1, 3), "3");  // the display mask leaves the text alone

    Run("{button}");
    EXPECT_TRUE(editor->hasFocus());
    Run("{button}");
    QPointer<TPopupListbox> shown = editor->PickList();
    grid.setFocus();
    EXPECT_FALSE(shown->isVisible());
    QApplication::processEvents();  // the closed editor goes, and its list with it
    EXPECT_TRUE(shown.isNull());
    grid.Columns(2).SetPickList({"1", "2", "3", "4", "5", "6", "7", "8", "9"});
    grid.Columns(2).SetDropDownRows(4);
    ASSERT_TRUE(editor = Edit(2, 3));
    Run("{button}");
    EXPECT_EQ(editor->PickList()->height(), entry * 4 + 4);
}

TEST(DataGridStyleTest, TheLocalesShortDateBecomesTheDatePictureAndFontsGoBothWays) {
    std::string dates;
    for (const char* locale : {"nl_NL", "en_US", "de_DE"})
        dates += ShortDateFormat(QLocale(locale)).shortDate + ' ';
    EXPECT_EQ(dates, "dd-mm-yyyy m/d/yy dd.mm.yy ");
    const QFont base("Sans", 9);
    const CellFont wanted{"Serif", 12, true, false, true, 0x112233};
    const QFont font = ToQFont(wanted, base);
    EXPECT_EQ(std::tuple(font.family(), font.pointSize(), font.bold(), font.italic(),
                         font.underline(), ToQFont(CellFont{}, base).family()),
              std::tuple("Serif", 12, true, false, true, "Sans"));  // no family keeps the base
    EXPECT_EQ(FromQFont(font, ToQColor(wanted.color)), wanted);
}

// The job list works on the window's grid as on the in-memory one.
TEST_F(DataGridTest, TheJobListViewFollowsBatchesRemovalsAndSetMode) {
    QAbstractItemModel* model = grid.model();
    const auto view = [&] {  // the row count, row 2's name
        return std::to_string(model->rowCount()) + '|' +
               model->data(grid.IndexOf(0, 2)).toString().toStdString();
    };
    LayOutJobList();
    EXPECT_EQ(view(), "29|n2");
    Add(6);
    EXPECT_EQ(view(), "6|/plots/sheet2");
    EXPECT_EQ(model->headerData(0, Qt::Horizontal).toString(), "Filename");
    EXPECT_EQ(std::pair(grid.columnWidth(0), grid.rowHeight(0)), std::pair(461, 16));
    // Rows 2 to 5 selected by mouse, row 2 current: only row 2 goes.
    Click(0, 2);
    Click(1, 5, Qt::LeftButton, Qt::ShiftModifier);
    grid.setCurrentIndex(grid.IndexOf(0, 2));
    list.Remove(grid.Grid().currentRow() - 1, ListMode::New);
    ShowJobList(grid.Grid(), list);
    FitNameColumn(grid.Grid());
    EXPECT_EQ(view(), "5|/plots/sheet3");
    // Set mode hides the copies.
    ShowCopiesColumnForSets(grid.Grid(), true);
    EXPECT_EQ(model->headerData(1, Qt::Horizontal).toString(), "");
    ASSERT_TRUE(grid.grab().save(
        QString::fromStdString((test::OutputDir() / "job_list_as_set.png").string())));
}

}  // namespace
}  // namespace tavrin
