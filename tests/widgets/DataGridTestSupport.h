#pragma once

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

#include "support/TestApplication.h"
#include "widgets/DataGrid.h"
#include "widgets/DataGridInplaceEdit.h"

namespace tavrin::test {

// A shown TDataGrid of 3 columns (the middle one cfNumber) and 5 data rows below a title row,
// with its beeps counted.
class DataGridFixture : public ::testing::Test {
protected:
    DataGridFixture() {
        GridModel& cells = grid.Grid();
        cells.setColCount(3);
        cells.setFixedCols(0);
        cells.setRowCount(6);
        for (int r = 1; r < 6; ++r) {
            cells.setCell(0, r, "name" + std::to_string(r));
            cells.setCell(1, r, std::to_string(r));
            cells.setCell(2, r, "x" + std::to_string(r));
        }
        grid.Columns(0).Title().SetCaption("Name");
        grid.Columns(1).Title().SetCaption("Copies");
        grid.Columns(1).SetFormat(ColumnFormat::Number);
        GridOptions options;
        options.rangeSelect = true;
        options.tabs = true;
        grid.SetOptions(options);
        grid.Beep = [this] { ++beeps; };
        grid.OnUserChanged = [this](TDataGridInplaceEdit* sender) { changes.push_back(sender); };
        grid.resize(360, 200);
        grid.show();
        grid.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&grid));
        grid.setFocus();
    }

    QPoint CellCenter(int col, int row) const {
        return grid.visualRect(grid.IndexOf(col, row)).center();
    }
    void Click(int col, int row, Qt::KeyboardModifiers modifiers = {}) {
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, modifiers, CellCenter(col, row));
    }
    // Opens the editor on a cell with a double click.
    TDataGridInplaceEdit* Edit(int col, int row) {
        Click(col, row);
        QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, CellCenter(col, row));
        TDataGridInplaceEdit* editor = grid.InplaceEditor();
        EXPECT_NE(editor, nullptr);
        if (editor) {
            editor->setFocus();
            EXPECT_EQ(editor->Col(), col);
            EXPECT_EQ(editor->Row(), row);
        }
        return editor;
    }
    std::string Cell(int col, int row) const { return grid.Grid().cell(col, row); }

    UsesApplication app;
    int beeps = 0;
    std::vector<TDataGridInplaceEdit*> changes;
    TDataGrid grid;
};

}  // namespace tavrin::test
