#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace tavrin {

enum class ColumnFormat { String, Number, Date };

// The settings of one grid column that the job list reads and changes.
struct ColumnSettings {
    std::string titleCaption;
    bool readOnly = false;
    ColumnFormat format = ColumnFormat::String;
    std::optional<std::uint32_t> color;      // 0xRRGGBB; none: the grid's colour
    std::optional<std::uint32_t> fontColor;  // 0xRRGGBB; none: the grid's font colour

    bool operator==(const ColumnSettings&) const = default;
};

// The job list's view of the data grid: cells addressed by (column, row), row 0 the title row.
// Cell texts are kept independently of rowCount() and colCount(): lowering a count hides cells
// without erasing them. The main window implements it with its TDataGrid, the engine and
// tavrin-cli with an in-memory grid of the same behaviour.
class Grid {
public:
    virtual ~Grid() = default;

    virtual int rowCount() const = 0;
    virtual void setRowCount(int rows) = 0;
    virtual int colCount() const = 0;
    virtual void setColCount(int cols) = 0;
    virtual int fixedRows() const = 0;

    virtual std::string cell(int col, int row) const = 0;
    virtual void setCell(int col, int row, const std::string& text) = 0;

    virtual int colWidth(int col) const = 0;
    virtual void setColWidth(int col, int width) = 0;

    // The current cell's row.
    virtual int currentRow() const = 0;
    virtual void setCurrentRow(int row) = 0;

    // Deletes a row: the rows below move up and rowCount() falls by one; when only one
    // non-title row is left (or rowCount() would fall below the grid's minimum), its cells are
    // emptied in place instead.
    virtual void deleteRow(int row) = 0;

    virtual ColumnSettings column(int col) const = 0;
    virtual void setColumn(int col, const ColumnSettings& settings) = 0;

    virtual void repaint() = 0;
};

}  // namespace tavrin
