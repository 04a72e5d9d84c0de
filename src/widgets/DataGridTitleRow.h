#pragma once

#include <QHeaderView>

namespace tavrin {

class TDataGrid;

// The title row of a TDataGrid: each column's title caption, or the cell's own text when the
// caption is empty, in the title's font, alignment and colour.
class DataGridTitleRow : public QHeaderView {
    Q_OBJECT

public:
    explicit DataGridTitleRow(TDataGrid& grid);

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;
    QSize sizeHint() const override;

private:
    TDataGrid& grid_;
};

}  // namespace tavrin
