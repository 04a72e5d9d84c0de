#include "widgets/DataGridDelegate.h"

#include <QApplication>
#include <QPainter>

#include "widgets/DataGrid.h"
#include "widgets/DataGridInplaceEdit.h"
#include "widgets/DataGridStyle.h"
#include "widgets/DisplayMask.h"

namespace tavrin {

DataGridDelegate::DataGridDelegate(TDataGrid& grid) : QStyledItemDelegate(&grid), grid_(grid) {}

void DataGridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
    if (!grid_.DefaultDrawing) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    const GridModel& grid = grid_.Grid();
    const int col = index.column();
    const int row = grid_.GridRow(index);
    const GridColumn& column = grid.columnAt(col);
    const QRect& rect = option.rect;

    QString text = ToQString(grid.cellRef(col, row));
    const bool focused = option.state & QStyle::State_HasFocus;
    const bool selected = option.state & QStyle::State_Selected;
    const CellFont font = column.font();
    QColor textColor = ToQColor(font.color);
    QColor background = ToQColor(column.color());
    if (focused || (selected && grid_.Options().rowSelect)) {
        textColor = option.palette.color(QPalette::HighlightedText);
        background = option.palette.color(QPalette::Highlight);
    }
    if (!column.displayMask().empty()) {
        const std::string raw = FromQString(text);
        std::optional<std::string> shown;
        if (column.format() == ColumnFormat::Number) {
            shown = FormatNumberCell(raw, column.displayMask());
        } else if (column.format() == ColumnFormat::Date) {
            shown = FormatDateCell(raw, column.displayMask(), grid.dateFormat());
        }
        if (shown)
            text = ToQString(*shown);
    }
    const bool fixed = col < grid.fixedCols() || row < grid.fixedRows();
    if (fixed)
        background = ToQColor(grid.fixedColor());

    painter->save();
    painter->setClipRect(rect);
    const QPixmap& image = grid_.BGImage();
    if (!image.isNull() && !fixed) {
        // Tiles anchored at the grid's top-left corner; a selected cell shows them inverted.
        const QPoint origin = grid_.viewport()->mapTo(&grid_, rect.topLeft());
        const bool marked = focused || selected;
        const QPixmap& tile = marked ? grid_.InvertedBGImage() : image;
        painter->drawTiledPixmap(rect, tile,
                                 QPoint(origin.x() % tile.width(), origin.y() % tile.height()));
        if (marked)
            textColor = option.palette.color(QPalette::HighlightedText);
    } else {
        painter->fillRect(rect, background);
    }
    painter->setFont(ToQFont(font, grid_.font()));
    painter->setPen(textColor);
    grid_.DrawCellText(*painter, rect, text, column.alignment());
    painter->restore();

    if (grid_.OnDrawCell) {
        painter->save();
        grid_.OnDrawCell(*painter, col, row, rect);
        painter->restore();
    }
}

QWidget* DataGridDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                        const QModelIndex&) const {
    auto* editor = new TDataGridInplaceEdit(grid_, parent);
    grid_.EditorCreated(editor);
    return editor;
}

void DataGridDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    auto* edit = qobject_cast<TDataGridInplaceEdit*>(editor);
    if (!edit)
        return;
    const int row = grid_.GridRow(index);
    if (edit->Col() != index.column() || edit->Row() != row) {
        edit->StartEditing(index.column(), row);
    } else {
        edit->RefreshFromCell();
    }
}

void DataGridDelegate::setModelData(QWidget*, QAbstractItemModel*, const QModelIndex&) const {
    // Every change of the editor's text is in its cell already.
}

void DataGridDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                            const QModelIndex&) const {
    editor->setGeometry(option.rect);
}

bool DataGridDelegate::eventFilter(QObject* object, QEvent* event) {
    if (auto* edit = qobject_cast<TDataGridInplaceEdit*>(object)) {
        // The editor handles its keys itself, Tab and Escape included.
        if (event->type() == QEvent::KeyPress)
            return false;
        if (event->type() == QEvent::FocusOut) {
            QWidget* now = QApplication::focusWidget();
            if (!now || (now != edit && !edit->isAncestorOf(now)))
                edit->CheckEditEnd();
        }
    }
    return QStyledItemDelegate::eventFilter(object, event);
}

}  // namespace tavrin
