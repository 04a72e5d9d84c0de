#pragma once

#include <QAbstractTableModel>
#include <functional>

#include "widgets/GridModel.h"

namespace tavrin {

// Shows a GridModel to Qt's item views. The first fixed row is the view's title row (its
// header); every other grid row is a model row, so model row r is grid row r + titleRows().
class DataGridTableModel : public QAbstractTableModel, public GridListener {
    Q_OBJECT

public:
    explicit DataGridTableModel(GridModel& grid);
    ~DataGridTableModel() override;

    int titleRows() const { return grid_.fixedRows() > 0 ? 1 : 0; }
    int gridRow(const QModelIndex& index) const { return index.row() + titleRows(); }
    QModelIndex indexOf(int col, int gridRow) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // The tooltip of cell (col, gridRow), asked for when Qt shows one; empty: none.
    std::function<QString(int col, int gridRow)> cellHint;

    // GridListener
    void rowCountAboutToChange(int oldCount, int newCount) override;
    void rowCountChanged(int oldCount, int newCount) override;
    void colCountAboutToChange(int oldCount, int newCount) override;
    void colCountChanged(int oldCount, int newCount) override;
    void layoutAboutToReset() override;
    void layoutReset() override;
    void cellsChanged(int firstCol, int firstRow, int lastCol, int lastRow) override;
    void columnChanged(int col) override;
    void colWidthChanged(int col) override;
    void rowHeightChanged() override;
    void currentCellChanged() override;
    void repaintRequested() override;

signals:
    void columnWidthChanged(int col);
    void rowHeightChangedInGrid();
    void currentCellMoved();
    void repaintNeeded();
    void layoutWasReset();

private:
    GridModel& grid_;
    bool inserting_ = false;
    bool changingRows_ = false;
    bool changingCols_ = false;
};

}  // namespace tavrin
