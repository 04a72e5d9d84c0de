#pragma once

#include "joblist/Grid.h"

namespace tavrin::test {

// A grid for forms whose job list the code under test never touches.
class UnusedGrid : public Grid {
public:
    int rowCount() const override { return 1; }
    void setRowCount(int) override {}
    int colCount() const override { return 2; }
    void setColCount(int) override {}
    int fixedRows() const override { return 1; }
    std::string cell(int, int) const override { return {}; }
    void setCell(int, int, const std::string&) override {}
    int colWidth(int) const override { return 64; }
    void setColWidth(int, int) override {}
    int currentRow() const override { return 1; }
    void setCurrentRow(int) override {}
    void deleteRow(int) override {}
    ColumnSettings column(int) const override { return {}; }
    void setColumn(int, const ColumnSettings&) override {}
    void repaint() override {}
};

}  // namespace tavrin::test
