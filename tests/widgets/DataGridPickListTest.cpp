#include <QListWidget>
#include <QPointer>

#include "DataGridTestSupport.h"
#include "widgets/PopupListbox.h"

namespace tavrin {
namespace {

class PickListTest : public test::DataGridFixture {
protected:
    PickListTest() { grid.Columns(2).SetPickList({"A4", "A3", "Bristol", "b2", "C5"}); }
    TDataGridInplaceEdit* OpenByButton(int row) {
        TDataGridInplaceEdit* editor = Edit(2, row);
        if (!editor)
            return nullptr;
        EXPECT_EQ(editor->Style(), EditStyle::List);
        QTest::mouseClick(editor, Qt::LeftButton, {}, editor->ButtonRect().center());
        EXPECT_TRUE(editor->ListVisible());
        return editor;
    }
    QString Current(TDataGridInplaceEdit* editor) const {
        QListWidgetItem* item = editor->PickList()->currentItem();
        return item ? item->text() : QString();
    }
};

TEST_F(PickListTest, TheButtonOpensAndClosesTheListWithoutTakingAValue) {
    TDataGridInplaceEdit* editor = OpenByButton(2);
    ASSERT_TRUE(editor);
    TPopupListbox* list = editor->PickList();
    EXPECT_EQ(list->count(), 5);
    EXPECT_TRUE(list->isVisible());
    EXPECT_EQ(Current(editor), "A4");  // no entry equals "x2": the first
    QApplication::processEvents();
    EXPECT_EQ(grid.InplaceEditor(), editor);  // the list takes no focus from the editor
    EXPECT_GE(list->width(), editor->width());
    EXPECT_GE(list->geometry().top(), editor->mapToGlobal(QPoint(0, editor->height())).y());
    QTest::mouseClick(editor, Qt::LeftButton, {}, editor->ButtonRect().center());
    EXPECT_FALSE(editor->ListVisible());
    EXPECT_EQ(Cell(2, 2), "x2");
    EXPECT_TRUE(editor->hasFocus());
}

TEST_F(PickListTest, TheListIsAsHighAsItsEntriesUpToDropDownRows) {
    grid.Columns(2).SetPickList({"one", "two", "three"});
    TDataGridInplaceEdit* editor = OpenByButton(1);
    ASSERT_TRUE(editor);
    const int entry = editor->PickList()->sizeHintForRow(0);
    EXPECT_EQ(editor->PickList()->height(), entry * 3 + 4);
    QTest::keyClick(editor, Qt::Key_Escape);
    grid.Columns(2).SetPickList({"1", "2", "3", "4", "5", "6", "7", "8", "9"});
    grid.Columns(2).SetDropDownRows(4);
    QTest::keyClick(editor, Qt::Key_Escape);
    editor = OpenByButton(3);
    ASSERT_TRUE(editor);
    EXPECT_EQ(editor->PickList()->height(), entry * 4 + 4);
}

TEST_F(PickListTest, AltDownOpensEnterTakesTheValue) {
    TDataGridInplaceEdit* editor = Edit(2, 3);
    ASSERT_TRUE(editor);
    QTest::keyClick(editor, Qt::Key_Down, Qt::AltModifier);
    ASSERT_TRUE(editor->ListVisible());
    QTest::keyClick(editor, Qt::Key_Down);  // goes to the list
    EXPECT_EQ(Current(editor), "A3");
    QTest::keyClick(editor, Qt::Key_Return);
    EXPECT_FALSE(editor->ListVisible());
    EXPECT_EQ(Cell(2, 3), "A3");
    EXPECT_EQ(editor->text(), "A3");
    EXPECT_TRUE(editor->Modified());
}

TEST_F(PickListTest, EscapeClosesWithoutAndAltUpTakes) {
    TDataGridInplaceEdit* editor = Edit(2, 1);
    ASSERT_TRUE(editor);
    QTest::keyClick(editor, Qt::Key_Down, Qt::AltModifier);
    QTest::keyClick(editor, Qt::Key_End);
    QTest::keyClick(editor, Qt::Key_Escape);
    EXPECT_FALSE(editor->ListVisible());
    EXPECT_EQ(Cell(2, 1), "x1");
    EXPECT_TRUE(grid.InplaceEditor());  // only the list closed
    QTest::keyClick(editor, Qt::Key_Up, Qt::AltModifier);
    QTest::keyClick(editor, Qt::Key_End);
    QTest::keyClick(editor, Qt::Key_Up, Qt::AltModifier);
    EXPECT_EQ(Cell(2, 1), "C5");
}

TEST_F(PickListTest, TypingSearchesByTheBeginningIgnoringCase) {
    TDataGridInplaceEdit* editor = OpenByButton(2);
    ASSERT_TRUE(editor);
    qint64 now = 10'000;
    editor->PickList()->Clock = [&] { return now; };
    QTest::keyClicks(editor, "b");
    EXPECT_EQ(Current(editor), "Bristol");
    QTest::keyClicks(editor, "2");
    EXPECT_EQ(Current(editor), "b2");
    EXPECT_EQ(editor->PickList()->SearchText(), "b2");
    QTest::keyClick(editor, Qt::Key_Backspace);
    EXPECT_EQ(editor->PickList()->SearchText(), "");
    QTest::keyClicks(editor, "a3");
    EXPECT_EQ(Current(editor), "A3");
    now += 2001;  // a pause starts a new search
    QTest::keyClicks(editor, "c");
    EXPECT_EQ(editor->PickList()->SearchText(), "c");
    EXPECT_EQ(Current(editor), "C5");
    EXPECT_EQ(Cell(2, 2), "x2");  // searching takes no value
}

TEST_F(PickListTest, TheSearchTextStopsAt32Characters) {
    TDataGridInplaceEdit* editor = OpenByButton(2);
    ASSERT_TRUE(editor);
    editor->PickList()->Clock = [] { return qint64(5); };
    QTest::keyClicks(editor, QString(40, 'z'));
    EXPECT_EQ(editor->PickList()->SearchText().size(), 32);
}

TEST_F(PickListTest, AClickInTheListTakesTheEntry) {
    TDataGridInplaceEdit* editor = OpenByButton(4);
    ASSERT_TRUE(editor);
    TPopupListbox* list = editor->PickList();
    const QRect third = list->visualItemRect(list->item(2));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, third.center());
    EXPECT_FALSE(editor->ListVisible());
    EXPECT_EQ(Cell(2, 4), "Bristol");
}

TEST_F(PickListTest, LosingTheFocusClosesTheList) {
    TDataGridInplaceEdit* editor = OpenByButton(4);
    ASSERT_TRUE(editor);
    QPointer<TPopupListbox> list = editor->PickList();
    grid.setFocus();
    EXPECT_FALSE(list->isVisible());
    QApplication::processEvents();  // the closed editor goes, and its list with it
    EXPECT_TRUE(list.isNull());
    EXPECT_EQ(Cell(2, 4), "x4");
}

TEST_F(PickListTest, LimitToListPicksByTheFirstCharacter) {
    grid.Columns(2).SetLimitToList(true);
    TDataGridInplaceEdit* editor = Edit(2, 5);
    ASSERT_TRUE(editor);
    EXPECT_TRUE(editor->isReadOnly());
    QTest::keyClicks(editor, "b");
    EXPECT_EQ(editor->text(), "Bristol");
    EXPECT_EQ(Cell(2, 5), "Bristol");
    EXPECT_TRUE(editor->Modified());
    QTest::keyClicks(editor, "q");  // matches nothing: ignored
    EXPECT_EQ(Cell(2, 5), "Bristol");
    QTest::keyClick(editor, Qt::Key_Backspace);
    EXPECT_EQ(Cell(2, 5), "Bristol");
}

TEST_F(PickListTest, AReadOnlyColumnShowsNoList) {
    grid.Columns(2).SetReadOnly(true);
    TDataGridInplaceEdit* editor = Edit(2, 5);
    ASSERT_TRUE(editor);
    EXPECT_EQ(editor->Style(), EditStyle::None);
    QTest::keyClick(editor, Qt::Key_Down, Qt::AltModifier);
    EXPECT_FALSE(editor->ListVisible());
}

TEST_F(PickListTest, TheEllipsisButtonCtrlEnterAndADoubleClickReportTheClick) {
    int clicks = 0;
    grid.OnEditButtonClick = [&](TDataGrid* sender) {
        EXPECT_EQ(sender, &grid);
        ++clicks;
    };
    grid.Columns(0).SetButtonStyle(ColumnButtonStyle::Ellipsis);
    TDataGridInplaceEdit* editor = Edit(0, 2);
    ASSERT_TRUE(editor);
    EXPECT_EQ(editor->Style(), EditStyle::Ellipsis);
    QTest::mouseClick(editor, Qt::LeftButton, {}, editor->ButtonRect().center());
    EXPECT_EQ(clicks, 1);
    QTest::keyClick(editor, Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(clicks, 2);
    QTest::mouseDClick(editor, Qt::LeftButton, {}, QPoint(5, editor->height() / 2));
    EXPECT_EQ(clicks, 2);  // a writable editor selects a word instead
    QTest::keyClick(editor, Qt::Key_Escape);
    grid.Columns(0).SetReadOnly(true);
    editor = Edit(0, 3);
    ASSERT_TRUE(editor);
    QTest::mouseDClick(editor, Qt::LeftButton, {}, QPoint(5, editor->height() / 2));
    EXPECT_EQ(clicks, 3);
    EXPECT_EQ(Cell(0, 3), "name3");
}

}  // namespace
}  // namespace tavrin
