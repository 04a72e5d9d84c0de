#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "widgets/CellValues.h"
#include "widgets/Grid.h"
#include "widgets/GridColumn.h"

namespace tavrin {

// Follows the changes of a GridModel, so that a view can show them. The "about to" calls come
// before the model changes, the others after.
class GridListener {
public:
    virtual ~GridListener() = default;
    virtual void rowCountAboutToChange(int /*oldCount*/, int /*newCount*/) {}
    virtual void rowCountChanged(int /*oldCount*/, int /*newCount*/) {}
    virtual void colCountAboutToChange(int /*oldCount*/, int /*newCount*/) {}
    virtual void colCountChanged(int /*oldCount*/, int /*newCount*/) {}
    // The fixed counts change: every row and column may move.
    virtual void layoutAboutToReset() {}
    virtual void layoutReset() {}
    virtual void cellsChanged(int /*firstCol*/, int /*firstRow*/, int /*lastCol*/,
                              int /*lastRow*/) {}
    // The settings of a column or of its title changed.
    virtual void columnChanged(int /*col*/) {}
    virtual void colWidthChanged(int /*col*/) {}
    virtual void rowHeightChanged() {}
    virtual void currentCellChanged() {}
    virtual void repaintRequested() {}
};

// How the edit-end check of a cell came out.
enum class EditCheck {
    Unchecked,  // nothing to check: empty text, or a cfString column
    Rewritten,  // the text was read and written back in its standard form
    Restored,   // the text did not convert: the cell holds its text from the start of the edit
};

// The data grid's cells, counts and column objects without any window: the window's grid
// shows one, the engine and tavrin-cli use one on its own.
//
// Cell texts are kept independently of the counts: lowering a count hides cells, raising it
// again shows their earlier texts. Storage grows only up to the last non-empty text written
// in each column, so a large RowCount costs nothing.
class GridModel : public Grid {
public:
    static constexpr int kDefaultColCount = 5;
    static constexpr int kDefaultRowCount = 5;
    static constexpr int kDefaultColWidth = 64;
    static constexpr int kDefaultRowHeight = 20;
    static constexpr std::uint32_t kWindowColor = 0xFFFFFF;
    static constexpr std::uint32_t kFixedColor = 0xF0F0F0;

    GridModel();
    GridModel(const GridModel&) = delete;
    GridModel& operator=(const GridModel&) = delete;
    ~GridModel() override;

    // Grid
    int rowCount() const override { return rowCount_; }
    void setRowCount(int rows) override;
    int colCount() const override { return colCount_; }
    void setColCount(int cols) override;
    int fixedRows() const override { return fixedRows_; }
    std::string cell(int col, int row) const override;
    void setCell(int col, int row, const std::string& text) override;
    int colWidth(int col) const override;
    void setColWidth(int col, int width) override;
    int currentRow() const override { return row_; }
    void setCurrentRow(int row) override { setCurrentCell(col_, row); }
    void deleteRow(int row) override;
    ColumnSettings column(int col) const override;
    void setColumn(int col, const ColumnSettings& settings) override;
    void repaint() override;

    // A reference to the stored text, empty when none is stored; valid until the next change.
    const std::string& cellRef(int col, int row) const;

    void setFixedRows(int rows);
    int fixedCols() const { return fixedCols_; }
    void setFixedCols(int cols);
    int defaultRowHeight() const { return defaultRowHeight_; }
    void setDefaultRowHeight(int height);

    int currentCol() const { return col_; }
    void setCurrentCell(int col, int row);

    // Rows are not deleted below this count. Below 0 stores 0; a value of at least 1 above
    // RowCount raises RowCount to it.
    int rowCountMin() const { return rowCountMin_; }
    void setRowCountMin(int rows);

    // Inserts an empty row at `row`; the rows from there down move one place down.
    void insertRow(int row);
    // Adds an empty row at the end.
    void appendRow();

    std::function<void()> BeforeDelete;
    std::function<void()> BeforeInsert;
    // Has the last word on a cell's edit mask.
    std::function<void(int col, int row, std::string& mask)> OnGetEditMask;

    // The column objects, always exactly colCount() of them.
    GridColumn& columnAt(int col);
    const GridColumn& columnAt(int col) const;
    // Collection operations: ColCount follows the number of columns.
    GridColumn& addColumn();
    void removeColumn(int col);
    // Moves a column object and its cells to another index.
    void moveColumn(int from, int to);
    int indexOf(const GridColumn& column) const;

    // Defaults that unassigned column settings follow.
    std::uint32_t color() const { return color_; }
    void setColor(std::uint32_t color);
    std::uint32_t fixedColor() const { return fixedColor_; }
    void setFixedColor(std::uint32_t color);
    const CellFont& font() const { return font_; }
    void setFont(const CellFont& font);
    // The grid's editing option; a column without an assigned ReadOnly is read-only without it.
    bool editing() const { return editing_; }
    void setEditing(bool editing);

    // The editing rules of a cell of column `col`.
    bool editorReadOnly(int col) const;
    EditStyle editStyle(int col) const;
    std::string editMask(int col, int row) const;

    // The check when the user ends an edit of cell (col, row) whose text was modified.
    EditCheck checkEditEnd(int col, int row, const std::string& textAtEditStart);

    const DateFormat& dateFormat() const { return dateFormat_; }
    void setDateFormat(const DateFormat& format) { dateFormat_ = format; }

    void addListener(GridListener* listener);
    void removeListener(GridListener* listener);

    // Called by a column when one of its settings changes.
    void columnChanged(const GridColumn& column);

private:
    void checkIndex(int col, int row) const;
    void syncColumns();
    void notifyCells(int firstCol, int firstRow, int lastCol, int lastRow);
    void clampCurrentCell();
    template <typename F>
    void notify(F&& call);

    std::vector<std::vector<std::string>> cells_;  // by column, then row
    std::vector<std::unique_ptr<GridColumn>> columns_;
    std::vector<int> colWidths_;
    std::vector<GridListener*> listeners_;
    int rowCount_ = kDefaultRowCount;
    int colCount_ = kDefaultColCount;
    int fixedRows_ = 1;
    int fixedCols_ = 1;
    int defaultRowHeight_ = kDefaultRowHeight;
    int col_ = 1;
    int row_ = 1;
    int rowCountMin_ = 0;
    int updateCount_ = 0;
    std::uint32_t color_ = kWindowColor;
    std::uint32_t fixedColor_ = kFixedColor;
    CellFont font_;
    bool editing_ = true;
    DateFormat dateFormat_;
};

}  // namespace tavrin
