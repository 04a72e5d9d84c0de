#include <QLineEdit>

#include "DataGridTestSupport.h"

namespace tavrin {
namespace {

using EditingTest = test::DataGridFixture;

TEST_F(EditingTest, EveryKeystrokeReachesTheCellAtOnce) {
    TDataGridInplaceEdit* editor = Edit(2, 3);
    ASSERT_TRUE(editor);
    EXPECT_EQ(editor->text(), "x3");
    EXPECT_EQ(editor->selectedText(), "x3");  // typing replaces the text
    QTest::keyClicks(editor, "ab");
    EXPECT_EQ(Cell(2, 3), "ab");
    EXPECT_TRUE(grid.InplaceEditor());
}

TEST_F(EditingTest, ANumberIsWrittenBackInShortFormWhenTabLeavesIt) {
    TDataGridInplaceEdit* editor = Edit(1, 2);
    ASSERT_TRUE(editor);
    QTest::keyClicks(editor, "007");
    QTest::keyClick(editor, Qt::Key_Tab);
    EXPECT_EQ(Cell(1, 2), "7");
    EXPECT_EQ(beeps, 0);
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0], editor);
    EXPECT_EQ(grid.Grid().currentCol(), 2);  // Tab moved on
    EXPECT_EQ(grid.Grid().currentRow(), 2);
}

TEST_F(EditingTest, ATextThatIsNoNumberBeepsAndGetsTheOldTextBack) {
    TDataGridInplaceEdit* editor = Edit(1, 4);
    ASSERT_TRUE(editor);
    QTest::keyClicks(editor, "abc");
    EXPECT_EQ(Cell(1, 4), "abc");
    QTest::keyClick(editor, Qt::Key_Down);
    EXPECT_EQ(beeps, 1);
    EXPECT_EQ(Cell(1, 4), "4");
    EXPECT_EQ(changes.size(), 1u);  // the edit is still reported
    EXPECT_EQ(grid.Grid().currentRow(), 5);
}

TEST_F(EditingTest, ArrowKeysInsideTheTextCheckItToo) {
    TDataGridInplaceEdit* editor = Edit(1, 1);
    ASSERT_TRUE(editor);
    QTest::keyClicks(editor, "02");
    QTest::keyClick(editor, Qt::Key_Left);
    EXPECT_EQ(Cell(1, 1), "2");
    EXPECT_EQ(editor->text(), "2");
    EXPECT_EQ(grid.InplaceEditor(), editor);  // Left stays in the editor
}

TEST_F(EditingTest, AnEmptiedNumberCellStaysEmpty) {
    TDataGridInplaceEdit* editor = Edit(1, 3);
    ASSERT_TRUE(editor);
    QTest::keyClick(editor, Qt::Key_Backspace);
    QTest::keyClick(editor, Qt::Key_Tab);
    EXPECT_EQ(Cell(1, 3), "");
    EXPECT_EQ(beeps, 0);
    EXPECT_EQ(changes.size(), 1u);
}

TEST_F(EditingTest, LeavingTheEditorChecksTheText) {
    TDataGridInplaceEdit* editor = Edit(1, 2);
    ASSERT_TRUE(editor);
    QTest::keyClicks(editor, "1.50");
    grid.setFocus();  // the editor loses the focus
    QApplication::processEvents();
    EXPECT_EQ(Cell(1, 2), "1.5");
    EXPECT_EQ(changes.size(), 1u);
    EXPECT_FALSE(grid.InplaceEditor());
}

TEST_F(EditingTest, EscapePutsBackTheTextFromTheStart) {
    TDataGridInplaceEdit* editor = Edit(2, 2);
    ASSERT_TRUE(editor);
    QTest::keyClicks(editor, "zzz");
    QTest::keyClick(editor, Qt::Key_Escape);
    EXPECT_EQ(Cell(2, 2), "x2");
    EXPECT_FALSE(grid.InplaceEditor());
    EXPECT_TRUE(changes.empty());
}

TEST_F(EditingTest, EnterSelectsAllThenNothing) {
    TDataGridInplaceEdit* editor = Edit(2, 1);
    ASSERT_TRUE(editor);
    QTest::keyClick(editor, Qt::Key_Enter);
    EXPECT_FALSE(editor->hasSelectedText());
    QTest::keyClick(editor, Qt::Key_Enter);
    EXPECT_EQ(editor->selectedText(), "x1");
}

TEST_F(EditingTest, AReadOnlyColumnOpensItsEditorButRefusesChanges) {
    grid.Columns(0).SetReadOnly(true);
    TDataGridInplaceEdit* editor = Edit(0, 2);
    ASSERT_TRUE(editor);
    EXPECT_TRUE(editor->isReadOnly());
    QTest::keyClicks(editor, "qq");
    QTest::keyClick(editor, Qt::Key_Backspace);
    QTest::keyClick(editor, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(Cell(0, 2), "name2");
    EXPECT_EQ(editor->text(), "name2");
}

TEST_F(EditingTest, MaxLengthAndTheEditMaskEventReachTheEditor) {
    grid.Columns(2).SetMaxLength(3);
    grid.OnGetEditMask = [](TDataGrid*, int col, int row, QString& mask) {
        if (col == 2 && row == 4)
            mask = "999";
    };
    TDataGridInplaceEdit* editor = Edit(2, 3);
    ASSERT_TRUE(editor);
    EXPECT_EQ(editor->maxLength(), 3);
    EXPECT_EQ(editor->inputMask(), "");
    QTest::keyClick(editor, Qt::Key_Escape);
    editor = Edit(2, 4);
    ASSERT_TRUE(editor);
    EXPECT_EQ(editor->inputMask(), "999");
}

TEST_F(EditingTest, AGridWithoutEditingOpensNoEditor) {
    GridOptions options = grid.Options();
    options.editing = false;
    grid.SetOptions(options);
    Click(2, 2);
    QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, CellCenter(2, 2));
    QTest::keyClicks(&grid, "zz");
    EXPECT_FALSE(grid.InplaceEditor());
    EXPECT_EQ(Cell(2, 2), "x2");
    EXPECT_TRUE(grid.Columns(2).ReadOnly());
}

}  // namespace
}  // namespace tavrin
