#pragma once

#include <algorithm>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/Error.h"
#include "platform/Grid.h"

namespace tavrin::test {

// An in-memory grid that behaves as the window's grid does where the job list relies on it:
// cell texts are stored apart from the counts (lowering a count hides cells, raising it shows
// them again), columns carry settings and widths that follow the column count (a dropped column
// loses both, a new one starts from the defaults), a row count at or below the fixed rows lowers
// the fixed rows, and an index past the columns is refused with "Grid index out of range".
// It also counts cell accesses, so that tests can check the work a load does.
class FakeGrid : public Grid {
public:
    static constexpr int kDefaultWidth = 64;

    FakeGrid(int cols = 2, int rows = 30) {
        setColCount(cols);
        setRowCount(rows);
    }

    mutable long long cellReads = 0;
    long long cellWrites = 0;
    int repaints = 0;

    int rowCount() const override { return rows_; }
    void setRowCount(int rows) override {
        rows_ = std::max(1, rows);
        if (rows_ <= fixedRows_)
            fixedRows_ = rows_ - 1;
    }
    int colCount() const override { return static_cast<int>(columns_.size()); }
    void setColCount(int cols) override {
        columns_.resize(static_cast<std::size_t>(std::max(1, cols)));
        widths_.resize(columns_.size(), kDefaultWidth);
    }
    int fixedRows() const override { return fixedRows_; }

    std::string cell(int col, int row) const override {
        ++cellReads;
        const auto found = cells_.find({col, row});
        return found == cells_.end() ? std::string() : found->second;
    }
    void setCell(int col, int row, const std::string& text) override {
        ++cellWrites;
        if (col < 0 || row < 0)
            throw Error("Grid index out of range");
        if (text.empty())
            cells_.erase({col, row});
        else
            cells_[{col, row}] = text;
    }

    int colWidth(int col) const override { return widths_.at(CheckedColumn(col)); }
    void setColWidth(int col, int width) override { widths_.at(CheckedColumn(col)) = width; }

    int currentRow() const override { return currentRow_; }
    void setCurrentRow(int row) override { currentRow_ = row; }

    void deleteRow(int row) override {
        if (fixedRows_ + 1 < rows_) {
            for (int r = row; r < rows_; ++r)
                for (int c = 0; c < colCount(); ++c)
                    setCell(c, r, cell(c, r + 1));
            --rows_;
        } else {
            for (int c = 0; c < colCount(); ++c)
                setCell(c, row, std::string());
        }
    }

    ColumnSettings column(int col) const override { return columns_.at(CheckedColumn(col)); }
    void setColumn(int col, const ColumnSettings& settings) override {
        columns_.at(CheckedColumn(col)) = settings;
    }

    void repaint() override { ++repaints; }

    // Every stored text, hidden ones included, keyed by (column, row).
    const std::map<std::pair<int, int>, std::string>& store() const { return cells_; }

private:
    std::size_t CheckedColumn(int col) const {
        if (col < 0 || col >= colCount())
            throw Error("Grid index out of range");
        return static_cast<std::size_t>(col);
    }

    std::map<std::pair<int, int>, std::string> cells_;
    std::vector<ColumnSettings> columns_;
    std::vector<int> widths_;
    int rows_ = 1;
    int fixedRows_ = 1;
    int currentRow_ = 1;
};

}  // namespace tavrin::test
