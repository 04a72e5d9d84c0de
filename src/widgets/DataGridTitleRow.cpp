#include "widgets/DataGridTitleRow.h"

#include <QPainter>

#include "widgets/DataGrid.h"
#include "widgets/DataGridStyle.h"

namespace tavrin {

DataGridTitleRow::DataGridTitleRow(TDataGrid& grid)
    : QHeaderView(Qt::Horizontal, &grid), grid_(grid) {
    setHighlightSections(false);
    setSectionsClickable(false);
}

QSize DataGridTitleRow::sizeHint() const {
    // The title row is one grid row high and as wide as its columns; measuring every title's
    // text, as a plain header does, would only be thrown away.
    return QSize(length(), grid_.Grid().defaultRowHeight() + 1);
}

void DataGridTitleRow::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const {
    const GridModel& grid = grid_.Grid();
    if (logicalIndex < 0 || logicalIndex >= grid.colCount())
        return;
    const GridColumnTitle& title = grid.columnAt(logicalIndex).title();
    painter->save();
    painter->fillRect(rect, ToQColor(title.color()));
    painter->setPen(palette().color(QPalette::Mid));
    painter->drawLine(rect.topRight(), rect.bottomRight());
    painter->drawLine(rect.bottomLeft(), rect.bottomRight());

    const std::string& caption = title.caption();
    const QString text = ToQString(caption.empty() ? grid.cellRef(logicalIndex, 0) : caption);
    const CellFont font = title.font();
    painter->setFont(ToQFont(font, grid_.font()));
    painter->setPen(ToQColor(font.color));
    painter->setClipRect(rect);
    grid_.DrawCellText(*painter, rect, text, title.alignment());
    painter->restore();
}

}  // namespace tavrin
