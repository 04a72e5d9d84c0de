#include <QHeaderView>
#include <QMenu>

#include "DataGridTestSupport.h"

namespace tavrin {
namespace {

class RowKeysTest : public test::DataGridFixture {
protected:
    void Allow(bool append, bool insert, bool remove) {
        DataGridOptions options;
        options.appendRow = append;
        options.insertRow = insert;
        options.deleteRow = remove;
        grid.SetDataGridOptions(options);
        grid.BeforeInsert = [this](TDataGrid* sender) {
            EXPECT_EQ(sender, &grid);
            ++inserts;
        };
        grid.BeforeDelete = [this](TDataGrid* sender) {
            EXPECT_EQ(sender, &grid);
            ++deletes;
        };
    }
    std::vector<std::string> Column(int col) const {
        std::vector<std::string> texts;
        for (int r = 1; r < grid.Grid().rowCount(); ++r)
            texts.push_back(Cell(col, r));
        return texts;
    }
    int inserts = 0;
    int deletes = 0;
};

TEST_F(RowKeysTest, CtrlInsertOpensAnEmptyRowAtTheCurrentRow) {
    Allow(false, true, false);
    Click(0, 3);
    QTest::keyClick(&grid, Qt::Key_Insert, Qt::ControlModifier);
    EXPECT_EQ(inserts, 1);
    EXPECT_EQ(Column(0),
              (std::vector<std::string>{"name1", "name2", "", "name3", "name4", "name5"}));
    EXPECT_EQ(grid.model()->rowCount(), 6);
    EXPECT_FALSE(grid.InplaceEditor());
}

TEST_F(RowKeysTest, CtrlDeleteRemovesTheCurrentRow) {
    Allow(false, false, true);
    Click(2, 2);
    QTest::keyClick(&grid, Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(deletes, 1);
    EXPECT_EQ(Column(0), (std::vector<std::string>{"name1", "name3", "name4", "name5"}));
    EXPECT_EQ(grid.model()->rowCount(), 4);
}

TEST_F(RowKeysTest, CtrlDeleteKeepsRowCountMinAndEmptiesInstead) {
    Allow(false, false, true);
    grid.SetRowCountMin(6);
    Click(0, 2);
    QTest::keyClick(&grid, Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(Column(0), (std::vector<std::string>{"name1", "", "name3", "name4", "name5"}));
    EXPECT_EQ(grid.RowCountMin(), 6);
}

TEST_F(RowKeysTest, RowKeysDoNothingWithoutTheirOption) {
    Allow(false, false, false);
    Click(0, 5);
    QTest::keyClick(&grid, Qt::Key_Insert, Qt::ControlModifier);
    QTest::keyClick(&grid, Qt::Key_Delete, Qt::ControlModifier);
    QTest::keyClick(&grid, Qt::Key_Down);
    EXPECT_EQ(inserts + deletes, 0);
    EXPECT_EQ(grid.Grid().rowCount(), 6);
    EXPECT_EQ(Cell(0, 5), "name5");
}

TEST_F(RowKeysTest, TabInTheLastCellAppendsARowAndMovesIntoIt) {
    Allow(true, false, false);
    Click(2, 5);
    QTest::keyClick(&grid, Qt::Key_Tab);
    EXPECT_EQ(inserts, 1);
    EXPECT_EQ(grid.Grid().rowCount(), 7);
    EXPECT_EQ(grid.Grid().currentRow(), 6);
    EXPECT_EQ(grid.Grid().currentCol(), 0);
    EXPECT_EQ(Cell(0, 6), "");
    Click(1, 6);
    QTest::keyClick(&grid, Qt::Key_Tab);  // not the last cell: no row
    EXPECT_EQ(grid.Grid().rowCount(), 7);
}

TEST_F(RowKeysTest, DownInTheLastRowAppendsARow) {
    Allow(true, false, false);
    Click(1, 4);
    QTest::keyClick(&grid, Qt::Key_Down);
    EXPECT_EQ(grid.Grid().rowCount(), 6);
    QTest::keyClick(&grid, Qt::Key_Down);
    EXPECT_EQ(grid.Grid().rowCount(), 7);
    EXPECT_EQ(grid.Grid().currentRow(), 6);
}

TEST_F(RowKeysTest, TheEditorHandsRowKeysToTheGrid) {
    Allow(true, false, true);
    TDataGridInplaceEdit* editor = Edit(2, 5);
    ASSERT_TRUE(editor);
    QTest::keyClicks(editor, "new");
    QTest::keyClick(editor, Qt::Key_Tab);
    EXPECT_EQ(Cell(2, 5), "new");
    EXPECT_EQ(grid.Grid().rowCount(), 7);
    EXPECT_EQ(grid.Grid().currentRow(), 6);

    editor = Edit(0, 3);
    ASSERT_TRUE(editor);
    QTest::keyClick(editor, Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(deletes, 1);
    EXPECT_EQ(Cell(0, 3), "name4");
    EXPECT_EQ(grid.Grid().rowCount(), 6);
}

TEST_F(RowKeysTest, ARightClickKeepsTheCurrentCellAndShowsTheColumnMenu) {
    QMenu columnMenu;
    columnMenu.addAction("Column");
    QMenu gridMenu;
    gridMenu.addAction("Delete");
    grid.Columns(2).SetPopupMenu(&columnMenu);
    grid.SetPopupMenu(&gridMenu);
    Click(0, 2);
    QTest::mouseClick(grid.viewport(), Qt::RightButton, {}, CellCenter(0, 5));
    EXPECT_EQ(grid.Grid().currentRow(), 2);
    EXPECT_TRUE(gridMenu.isVisible());
    EXPECT_FALSE(columnMenu.isVisible());
    gridMenu.hide();
    QTest::mouseClick(grid.viewport(), Qt::RightButton, {}, CellCenter(2, 4));
    EXPECT_TRUE(columnMenu.isVisible());
    EXPECT_EQ(columnMenu.property("PopupComponent").value<QObject*>(), &grid);
    EXPECT_EQ(grid.Grid().currentRow(), 2);
    columnMenu.hide();
}

TEST_F(RowKeysTest, AMovedColumnTakesItsSettingsAndCells) {
    GridOptions options = grid.Options();
    options.colMoving = true;
    grid.SetOptions(options);
    grid.horizontalHeader()->moveSection(0, 2);  // what a drag of the title does
    EXPECT_EQ(grid.Columns(2).Title().Caption(), "Name");
    EXPECT_EQ(grid.Columns(0).Title().Caption(), "Copies");
    EXPECT_EQ(grid.Columns(0).Format(), ColumnFormat::Number);
    EXPECT_EQ(Cell(2, 1), "name1");
    EXPECT_EQ(Cell(0, 1), "1");
    EXPECT_EQ(grid.horizontalHeader()->visualIndex(0), 0);  // the view keeps its order
}

TEST_F(RowKeysTest, TheTitleRowShowsTheCaptionOrTheCellText) {
    grid.Grid().setCell(2, 0, "from file");
    QAbstractItemModel* model = grid.model();
    EXPECT_EQ(model->headerData(0, Qt::Horizontal).toString(), "Name");
    EXPECT_EQ(model->headerData(2, Qt::Horizontal).toString(), "from file");
    grid.Grid().setColCount(1);
    grid.Grid().setColCount(3);
    EXPECT_EQ(grid.Columns(1).Title().Caption(), "");
    EXPECT_EQ(grid.Columns(1).Format(), ColumnFormat::String);
    EXPECT_EQ(model->columnCount(), 3);
    EXPECT_EQ(model->data(grid.IndexOf(1, 2)).toString(), "2");  // the old texts show again
}

TEST_F(RowKeysTest, TheVersionIsAlwaysTwo) {
    grid.SetVersion("3.1");
    EXPECT_EQ(grid.Version(), "2.0");
}

}  // namespace
}  // namespace tavrin
