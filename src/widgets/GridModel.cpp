#include "widgets/GridModel.h"

#include <algorithm>
#include <cctype>

#include "platform/Error.h"
#include "widgets/DisplayMask.h"

namespace tavrin {

namespace {
constexpr const char* kIndexError = "Grid index out of range";
const std::string kEmpty;
}  // namespace

GridModel::GridModel() {
    // The columns made here are the grid's own, not a change of ColCount.
    updateCount_ = 2;
    for (int c = 0; c < colCount_; ++c)
        columns_.push_back(std::make_unique<GridColumn>(this, c));
    colWidths_.assign(colCount_, kDefaultColWidth);
    updateCount_ = 0;
}

GridModel::~GridModel() = default;

template <typename F>
void GridModel::notify(F&& call) {
    std::vector<GridListener*> listeners = listeners_;
    for (GridListener* listener : listeners)
        call(*listener);
}

void GridModel::addListener(GridListener* listener) {
    listeners_.push_back(listener);
}

void GridModel::removeListener(GridListener* listener) {
    std::erase(listeners_, listener);
}

void GridModel::checkIndex(int col, int row) const {
    if (col < 0 || row < 0)
        throw Error(kIndexError);
}

void GridModel::notifyCells(int firstCol, int firstRow, int lastCol, int lastRow) {
    notify([&](GridListener& l) { l.cellsChanged(firstCol, firstRow, lastCol, lastRow); });
}

void GridModel::clampCurrentCell() {
    int col = std::clamp(col_, fixedCols_, colCount_ - 1);
    int row = std::clamp(row_, fixedRows_, rowCount_ - 1);
    if (col == col_ && row == row_)
        return;
    col_ = col;
    row_ = row;
    notify([](GridListener& l) { l.currentCellChanged(); });
}

void GridModel::setRowCount(int rows) {
    rows = std::max(rows, 1);
    if (rows == rowCount_)
        return;
    const int old = rowCount_;
    // A grid keeps at least one row that is not fixed.
    const bool fixedChanges = rows <= fixedRows_;
    if (fixedChanges) {
        notify([](GridListener& l) { l.layoutAboutToReset(); });
    } else {
        notify([&](GridListener& l) { l.rowCountAboutToChange(old, rows); });
    }
    rowCount_ = rows;
    if (fixedChanges)
        fixedRows_ = rows - 1;
    if (fixedChanges) {
        notify([](GridListener& l) { l.layoutReset(); });
    } else {
        notify([&](GridListener& l) { l.rowCountChanged(old, rows); });
    }
    clampCurrentCell();
}

void GridModel::setColCount(int cols) {
    cols = std::max(cols, 1);
    if (cols == colCount_)
        return;
    const int old = colCount_;
    const bool fixedChanges = cols <= fixedCols_;
    if (fixedChanges) {
        notify([](GridListener& l) { l.layoutAboutToReset(); });
    } else {
        notify([&](GridListener& l) { l.colCountAboutToChange(old, cols); });
    }
    colCount_ = cols;
    if (fixedChanges)
        fixedCols_ = cols - 1;
    colWidths_.resize(cols, kDefaultColWidth);
    syncColumns();
    if (fixedChanges) {
        notify([](GridListener& l) { l.layoutReset(); });
    } else {
        notify([&](GridListener& l) { l.colCountChanged(old, cols); });
    }
    clampCurrentCell();
}

void GridModel::syncColumns() {
    if (updateCount_ > 0)
        return;
    ++updateCount_;
    while (int(columns_.size()) > colCount_)
        columns_.pop_back();
    while (int(columns_.size()) < colCount_) {
        columns_.push_back(std::make_unique<GridColumn>(this, int(columns_.size())));
    }
    --updateCount_;
}

void GridModel::setFixedRows(int rows) {
    if (rows < 0 || rows >= rowCount_)
        throw Error("Fixed row count must be less than row count");
    if (rows == fixedRows_)
        return;
    notify([](GridListener& l) { l.layoutAboutToReset(); });
    fixedRows_ = rows;
    notify([](GridListener& l) { l.layoutReset(); });
    clampCurrentCell();
}

void GridModel::setFixedCols(int cols) {
    if (cols < 0 || cols >= colCount_) {
        throw Error("Fixed column count must be less than column count");
    }
    if (cols == fixedCols_)
        return;
    notify([](GridListener& l) { l.layoutAboutToReset(); });
    fixedCols_ = cols;
    notify([](GridListener& l) { l.layoutReset(); });
    clampCurrentCell();
}

void GridModel::setDefaultRowHeight(int height) {
    height = std::max(height, 1);
    if (height == defaultRowHeight_)
        return;
    defaultRowHeight_ = height;
    notify([](GridListener& l) { l.rowHeightChanged(); });
}

const std::string& GridModel::cellRef(int col, int row) const {
    if (col < 0 || row < 0 || col >= int(cells_.size()))
        return kEmpty;
    const std::vector<std::string>& column = cells_[col];
    return row < int(column.size()) ? column[row] : kEmpty;
}

std::string GridModel::cell(int col, int row) const {
    return cellRef(col, row);
}

void GridModel::setCell(int col, int row, const std::string& text) {
    checkIndex(col, row);
    if (cellRef(col, row) == text)
        return;
    if (col >= int(cells_.size()))
        cells_.resize(col + 1);
    std::vector<std::string>& column = cells_[col];
    if (row >= int(column.size()))
        column.resize(row + 1);
    column[row] = text;
    notifyCells(col, row, col, row);
}

int GridModel::colWidth(int col) const {
    return col >= 0 && col < colCount_ ? colWidths_[col] : kDefaultColWidth;
}

void GridModel::setColWidth(int col, int width) {
    if (col < 0 || col >= colCount_)
        throw Error(kIndexError);
    width = std::max(width, 0);
    if (colWidths_[col] == width)
        return;
    colWidths_[col] = width;
    notify([&](GridListener& l) { l.colWidthChanged(col); });
}

void GridModel::setCurrentCell(int col, int row) {
    if (col < fixedCols_ || col >= colCount_ || row < fixedRows_ || row >= rowCount_) {
        throw Error(kIndexError);
    }
    if (col == col_ && row == row_)
        return;
    col_ = col;
    row_ = row;
    notify([](GridListener& l) { l.currentCellChanged(); });
}

void GridModel::setRowCountMin(int rows) {
    rowCountMin_ = std::max(rows, 0);
    if (rowCountMin_ >= 1 && rowCountMin_ > rowCount_)
        setRowCount(rowCountMin_);
}

void GridModel::deleteRow(int row) {
    // A row past the end would take the last row's texts with it.
    if (row < 0 || row >= rowCount_)
        throw Error(kIndexError);
    if (BeforeDelete)
        BeforeDelete();
    if (fixedRows_ + 1 < rowCount_ && (rowCountMin_ == 0 || rowCountMin_ < rowCount_)) {
        // Rows row .. RowCount-1 take the texts of the row below; the last row is emptied;
        // hidden rows past the end stay where they are.
        for (int c = 0; c < colCount_ && c < int(cells_.size()); ++c) {
            std::vector<std::string>& column = cells_[c];
            const int stored = int(column.size());
            if (stored <= row)
                continue;
            column.erase(column.begin() + row);
            if (stored > rowCount_)
                column.insert(column.begin() + (rowCount_ - 1), std::string());
        }
        notifyCells(0, row, colCount_ - 1, rowCount_ - 1);
        setRowCount(rowCount_ - 1);
    } else {
        for (int c = fixedCols_; c < colCount_ && c < int(cells_.size()); ++c) {
            if (row < int(cells_[c].size()))
                cells_[c][row].clear();
        }
        notifyCells(fixedCols_, row, colCount_ - 1, row);
    }
}

void GridModel::insertRow(int row) {
    if (row < 0 || row >= rowCount_)
        throw Error(kIndexError);
    if (BeforeInsert)
        BeforeInsert();
    const int old = rowCount_;
    setRowCount(old + 1);
    for (int c = 0; c < colCount_ && c < int(cells_.size()); ++c) {
        std::vector<std::string>& column = cells_[c];
        if (int(column.size()) <= row)
            continue;
        column.insert(column.begin() + row, std::string());
        // The text that was hidden just past the old end is overwritten by the old last row.
        if (int(column.size()) > old + 1)
            column.erase(column.begin() + (old + 1));
    }
    notifyCells(0, row, colCount_ - 1, old);
}

void GridModel::appendRow() {
    if (BeforeInsert)
        BeforeInsert();
    const int newRow = rowCount_;
    setRowCount(rowCount_ + 1);
    // The new row is empty, whatever was hidden there before.
    for (int c = 0; c < colCount_ && c < int(cells_.size()); ++c) {
        if (newRow < int(cells_[c].size()))
            cells_[c][newRow].clear();
    }
    notifyCells(0, newRow, colCount_ - 1, newRow);
}

GridColumn& GridModel::columnAt(int col) {
    if (col < 0 || col >= int(columns_.size()))
        throw Error(kIndexError);
    return *columns_[col];
}

const GridColumn& GridModel::columnAt(int col) const {
    if (col < 0 || col >= int(columns_.size()))
        throw Error(kIndexError);
    return *columns_[col];
}

GridColumn& GridModel::addColumn() {
    columns_.push_back(std::make_unique<GridColumn>(this, int(columns_.size())));
    GridColumn& added = *columns_.back();
    if (updateCount_ == 0)
        setColCount(int(columns_.size()));
    return added;
}

void GridModel::removeColumn(int col) {
    if (col < 0 || col >= int(columns_.size()))
        throw Error(kIndexError);
    columns_.erase(columns_.begin() + col);
    if (updateCount_ == 0) {
        // A grid keeps one column: removing the last one leaves a fresh default column.
        setColCount(int(columns_.size()));
        syncColumns();
    }
    for (int c = col; c < colCount_; ++c) {
        notify([&](GridListener& l) { l.columnChanged(c); });
    }
}

void GridModel::moveColumn(int from, int to) {
    if (from < 0 || from >= colCount_ || to < 0 || to >= colCount_)
        throw Error(kIndexError);
    if (from == to)
        return;
    notify([](GridListener& l) { l.layoutAboutToReset(); });
    auto move = [&](auto& items) {
        if (from < to) {
            std::rotate(items.begin() + from, items.begin() + from + 1, items.begin() + to + 1);
        } else {
            std::rotate(items.begin() + to, items.begin() + from, items.begin() + from + 1);
        }
    };
    move(columns_);
    move(colWidths_);
    if (int(cells_.size()) <= std::max(from, to))
        cells_.resize(std::max(from, to) + 1);
    move(cells_);
    notify([](GridListener& l) { l.layoutReset(); });
}

int GridModel::indexOf(const GridColumn& column) const {
    for (int c = 0; c < int(columns_.size()); ++c) {
        if (columns_[c].get() == &column)
            return c;
    }
    return -1;
}

ColumnSettings GridModel::column(int col) const {
    const GridColumn& c = columnAt(col);
    ColumnSettings settings;
    settings.titleCaption = c.title().caption();
    settings.readOnly = c.readOnly();
    settings.format = c.format();
    if (c.colorAssigned())
        settings.color = c.color();
    if (c.fontAssigned())
        settings.fontColor = c.font().color;
    return settings;
}

void GridModel::setColumn(int col, const ColumnSettings& settings) {
    GridColumn& c = columnAt(col);
    // Only what differs is assigned, so the rest keeps following the grid.
    if (settings.titleCaption != c.title().caption())
        c.title().setCaption(settings.titleCaption);
    if (settings.readOnly != c.readOnly())
        c.setReadOnly(settings.readOnly);
    c.setFormat(settings.format);
    if (settings.color) {
        if (!c.colorAssigned() || c.color() != *settings.color)
            c.setColor(*settings.color);
    } else if (c.colorAssigned()) {
        c.color_.reset();
        c.changed();
    }
    if (settings.fontColor) {
        if (!c.fontAssigned() || c.font().color != *settings.fontColor) {
            CellFont font = c.font();
            font.color = *settings.fontColor;
            c.setFont(font);
        }
    } else if (c.fontAssigned()) {
        c.font_.reset();
        c.changed();
    }
}

void GridModel::repaint() {
    notify([](GridListener& l) { l.repaintRequested(); });
}

void GridModel::columnChanged(const GridColumn& column) {
    int col = indexOf(column);
    if (col >= 0)
        notify([&](GridListener& l) { l.columnChanged(col); });
}

void GridModel::setColor(std::uint32_t color) {
    color_ = color;
    repaint();
}

void GridModel::setFixedColor(std::uint32_t color) {
    fixedColor_ = color;
    repaint();
}

void GridModel::setFont(const CellFont& font) {
    font_ = font;
    repaint();
}

void GridModel::setEditing(bool editing) {
    editing_ = editing;
    repaint();
}

EditStyle GridModel::editStyle(int col) const {
    if (col < 0 || col >= int(columns_.size()))
        return EditStyle::None;
    const GridColumn& c = *columns_[col];
    switch (c.buttonStyle()) {
        case ColumnButtonStyle::Ellipsis:
            return EditStyle::Ellipsis;
        case ColumnButtonStyle::Auto:
            return c.hasPickList() && !c.readOnly() ? EditStyle::List : EditStyle::None;
        case ColumnButtonStyle::None:
            break;
    }
    return EditStyle::None;
}

bool GridModel::editorReadOnly(int col) const {
    if (col < 0 || col >= int(columns_.size()))
        return !editing_;
    const GridColumn& c = *columns_[col];
    return c.readOnly() || (editStyle(col) == EditStyle::List && c.limitToList());
}

std::string GridModel::editMask(int col, int row) const {
    std::string mask;
    if (col >= 0 && col < int(columns_.size()))
        mask = columns_[col]->editMask();
    if (OnGetEditMask)
        OnGetEditMask(col, row, mask);
    return mask;
}

EditCheck GridModel::checkEditEnd(int col, int row, const std::string& textAtEditStart) {
    if (col < 0 || col >= int(columns_.size()))
        return EditCheck::Unchecked;
    const std::string text = cell(col, row);
    if (text.empty())
        return EditCheck::Unchecked;
    std::optional<std::string> checked;
    switch (columns_[col]->format()) {
        case ColumnFormat::String:
            return EditCheck::Unchecked;
        case ColumnFormat::Number:
            if (std::optional<double> value = ParseNumber(text)) {
                checked = ShortestNumberText(*value);
            }
            break;
        case ColumnFormat::Date: {
            // A word for "today" in one of several languages, by its first letter.
            char first = char(std::toupper(static_cast<unsigned char>(text.front())));
            if (std::string_view("NTHJD").find(first) != std::string_view::npos) {
                checked = FormatDateTimePicture(Today(), dateFormat_.shortDate);
            } else if (std::optional<DateTime> value = ParseDateTime(text, dateFormat_)) {
                checked = FormatDateTimePicture(*value, dateFormat_.shortDate);
            }
            break;
        }
    }
    if (checked) {
        setCell(col, row, *checked);
        return EditCheck::Rewritten;
    }
    setCell(col, row, textAtEditStart);
    return EditCheck::Restored;
}

}  // namespace tavrin
