#include "widgets/DataGridTableModel.h"

#include <algorithm>

#include "widgets/DataGridStyle.h"

namespace tavrin {

DataGridTableModel::DataGridTableModel(GridModel& grid) : grid_(grid) {
    grid_.addListener(this);
}

DataGridTableModel::~DataGridTableModel() {
    grid_.removeListener(this);
}

QModelIndex DataGridTableModel::indexOf(int col, int gridRow) const {
    return index(gridRow - titleRows(), col);
}

int DataGridTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : grid_.rowCount() - titleRows();
}

int DataGridTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : grid_.colCount();
}

QVariant DataGridTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    if (role == Qt::DisplayRole || role == Qt::EditRole) {
        return ToQString(grid_.cellRef(index.column(), gridRow(index)));
    }
    if (role == Qt::ToolTipRole && cellHint)
        return cellHint(index.column(), gridRow(index));
    return {};
}

bool DataGridTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole)
        return false;
    grid_.setCell(index.column(), gridRow(index), FromQString(value.toString()));
    return true;
}

Qt::ItemFlags DataGridTableModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    const bool fixed = index.column() < grid_.fixedCols() || gridRow(index) < grid_.fixedRows();
    if (fixed)
        return Qt::ItemIsEnabled;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    // Read-only columns still open their editor; it refuses changes.
    if (grid_.editing() && !fixed)
        flags |= Qt::ItemIsEditable;
    return flags;
}

QVariant DataGridTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= grid_.colCount() || titleRows() == 0) {
        return {};
    }
    const std::string& caption = grid_.columnAt(section).title().caption();
    return ToQString(caption.empty() ? grid_.cellRef(section, 0) : caption);
}

void DataGridTableModel::rowCountAboutToChange(int oldCount, int newCount) {
    const int title = titleRows();
    changingRows_ = true;
    inserting_ = newCount > oldCount;
    if (inserting_) {
        beginInsertRows({}, oldCount - title, newCount - title - 1);
    } else {
        beginRemoveRows({}, newCount - title, oldCount - title - 1);
    }
}

void DataGridTableModel::rowCountChanged(int, int) {
    if (!changingRows_)
        return;
    changingRows_ = false;
    if (inserting_) {
        endInsertRows();
    } else {
        endRemoveRows();
    }
}

void DataGridTableModel::colCountAboutToChange(int oldCount, int newCount) {
    changingCols_ = true;
    inserting_ = newCount > oldCount;
    if (inserting_) {
        beginInsertColumns({}, oldCount, newCount - 1);
    } else {
        beginRemoveColumns({}, newCount, oldCount - 1);
    }
}

void DataGridTableModel::colCountChanged(int, int) {
    if (!changingCols_)
        return;
    changingCols_ = false;
    if (inserting_) {
        endInsertColumns();
    } else {
        endRemoveColumns();
    }
}

void DataGridTableModel::layoutAboutToReset() {
    beginResetModel();
}

void DataGridTableModel::layoutReset() {
    endResetModel();
    emit layoutWasReset();
}

void DataGridTableModel::cellsChanged(int firstCol, int firstRow, int lastCol, int lastRow) {
    const int title = titleRows();
    if (title > 0 && firstRow == 0)
        emit headerDataChanged(Qt::Horizontal, firstCol, lastCol);
    const int rows = rowCount();
    const int cols = columnCount();
    const int top = std::max(firstRow - title, 0);
    const int bottom = std::min(lastRow - title, rows - 1);
    const int right = std::min(lastCol, cols - 1);
    if (top > bottom || firstCol > right)
        return;
    emit dataChanged(index(top, firstCol), index(bottom, right), {Qt::DisplayRole});
}

void DataGridTableModel::columnChanged(int col) {
    emit headerDataChanged(Qt::Horizontal, col, col);
    emit repaintNeeded();
}

void DataGridTableModel::colWidthChanged(int col) {
    emit columnWidthChanged(col);
}

void DataGridTableModel::rowHeightChanged() {
    emit rowHeightChangedInGrid();
}

void DataGridTableModel::currentCellChanged() {
    emit currentCellMoved();
}

void DataGridTableModel::repaintRequested() {
    emit repaintNeeded();
}

}  // namespace tavrin
