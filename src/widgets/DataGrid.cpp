#include "widgets/DataGrid.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>

#include "widgets/DataGridDelegate.h"
#include "widgets/DataGridInplaceEdit.h"
#include "widgets/DataGridStyle.h"
#include "widgets/DataGridTableModel.h"
#include "widgets/DataGridTitleRow.h"

namespace tavrin {

TDataGrid::TDataGrid(QWidget* parent)
    : QTableView(parent), model_(std::make_unique<DataGridTableModel>(grid_)) {
    setHorizontalHeader(new DataGridTitleRow(*this));
    // Hidden before the model comes, so that it never measures the rows' titles.
    verticalHeader()->hide();
    setModel(model_.get());
    setItemDelegate(new DataGridDelegate(*this));
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(1);
    horizontalHeader()->setMinimumSectionSize(0);
    horizontalHeader()->setStretchLastSection(false);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    // Right clicks show the column's or the grid's menu on release, without moving the cell.
    setContextMenuPolicy(Qt::PreventContextMenu);

    Beep = [] { QApplication::beep(); };
    grid_.setDateFormat(ShortDateFormat(QLocale()));
    grid_.BeforeDelete = [this] {
        if (BeforeDelete)
            BeforeDelete(this);
    };
    grid_.BeforeInsert = [this] {
        if (BeforeInsert)
            BeforeInsert(this);
    };
    grid_.OnGetEditMask = [this](int col, int row, std::string& mask) {
        if (!OnGetEditMask)
            return;
        QString text = ToQString(mask);
        OnGetEditMask(this, col, row, text);
        mask = FromQString(text);
    };

    connect(model_.get(), &DataGridTableModel::columnWidthChanged, this, [this](int col) {
        if (syncing_)
            return;
        syncing_ = true;
        horizontalHeader()->resizeSection(col, grid_.colWidth(col));
        syncing_ = false;
    });
    connect(model_.get(), &DataGridTableModel::rowHeightChangedInGrid, this,
            &TDataGrid::ApplyLayout);
    connect(model_.get(), &DataGridTableModel::currentCellMoved, this,
            &TDataGrid::FollowCurrentCell);
    connect(model_.get(), &DataGridTableModel::repaintNeeded, this, [this] {
        viewport()->update();
        horizontalHeader()->viewport()->update();
    });
    connect(model_.get(), &DataGridTableModel::layoutWasReset, this, [this] {
        ApplyLayout();
        FollowCurrentCell();
    });
    connect(model_.get(), &QAbstractItemModel::columnsInserted, this, &TDataGrid::ApplyLayout);
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, &TDataGrid::SectionResized);
    connect(horizontalHeader(), &QHeaderView::sectionMoved, this, &TDataGrid::SectionMoved);

    SetOptions(GridOptions{});
    ApplyLayout();
    FollowCurrentCell();
}

TDataGrid::~TDataGrid() {
    if (editor_)
        editor_->hide();
    setModel(nullptr);
}

void TDataGrid::ApplyLayout() {
    horizontalHeader()->setVisible(grid_.fixedRows() > 0);
    verticalHeader()->setDefaultSectionSize(grid_.defaultRowHeight());
    horizontalHeader()->setFixedHeight(grid_.defaultRowHeight() + 1);
    syncing_ = true;
    for (int c = 0; c < grid_.colCount(); ++c) {
        horizontalHeader()->resizeSection(c, grid_.colWidth(c));
    }
    syncing_ = false;
}

QModelIndex TDataGrid::IndexOf(int col, int row) const {
    return model_->indexOf(col, row);
}

int TDataGrid::GridRow(const QModelIndex& index) const {
    return model_->gridRow(index);
}

void TDataGrid::FollowCurrentCell() {
    if (syncing_)
        return;
    const QModelIndex index = IndexOf(grid_.currentCol(), grid_.currentRow());
    if (!index.isValid() || index == currentIndex())
        return;
    syncing_ = true;
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    syncing_ = false;
}

void TDataGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableView::currentChanged(current, previous);
    if (syncing_ || !current.isValid())
        return;
    const int row = GridRow(current);
    if (current.column() < grid_.fixedCols() || row < grid_.fixedRows())
        return;
    syncing_ = true;
    grid_.setCurrentCell(current.column(), row);
    syncing_ = false;
}

void TDataGrid::SectionResized(int logical, int, int newSize) {
    if (syncing_ || logical >= grid_.colCount())
        return;
    syncing_ = true;
    grid_.setColWidth(logical, newSize);
    syncing_ = false;
}

void TDataGrid::SectionMoved(int, int oldVisual, int newVisual) {
    // The header keeps its order; the column object and then the cells move in the grid.
    QHeaderView* header = horizontalHeader();
    header->blockSignals(true);
    header->moveSection(newVisual, oldVisual);
    header->blockSignals(false);
    grid_.moveColumn(oldVisual, newVisual);
}

void TDataGrid::SetOptions(const GridOptions& options) {
    options_ = options;
    grid_.setEditing(options.editing);
    setSelectionMode(options.rangeSelect ? QAbstractItemView::ContiguousSelection
                                         : QAbstractItemView::SingleSelection);
    setSelectionBehavior(options.rowSelect ? QAbstractItemView::SelectRows
                                           : QAbstractItemView::SelectItems);
    setTabKeyNavigation(options.tabs);
    horizontalHeader()->setSectionResizeMode(options.colSizing ? QHeaderView::Interactive
                                                               : QHeaderView::Fixed);
    horizontalHeader()->setSectionsMovable(options.colMoving);
    setEditTriggers(options.editing
                        ? QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                              QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked
                        : QAbstractItemView::NoEditTriggers);
    viewport()->update();
}

void TDataGrid::SetRowCountMin(int rows) {
    grid_.setRowCountMin(rows);
    RowCountMinChanged();
}

void TDataGrid::SetBGImage(const QPixmap& image) {
    bgImage_ = image;
    QImage inverted = image.toImage();
    inverted.invertPixels();
    invertedImage_ = QPixmap::fromImage(inverted);
    viewport()->update();
}

void TDataGrid::SetCellHint(std::function<QString(int col, int row)> hint) {
    model_->cellHint = std::move(hint);
}

void TDataGrid::SetSelectedIndex(int col) {
    grid_.setCurrentCell(col, grid_.currentRow());
}

TDataGridInplaceEdit* TDataGrid::InplaceEditor() const {
    return editor_ && editor_->isVisible() ? editor_.data() : nullptr;
}

void TDataGrid::EditorCreated(TDataGridInplaceEdit* editor) {
    editor_ = editor;
}

void TDataGrid::EditButtonClick() {
    if (OnEditButtonClick)
        OnEditButtonClick(this);
}

void TDataGrid::EditorChanged(TDataGridInplaceEdit* editor) {
    if (OnUserChanged)
        OnUserChanged(editor);
}

void TDataGrid::DeleteRow(int row) {
    grid_.deleteRow(row);
    if (TDataGridInplaceEdit* editor = InplaceEditor())
        editor->RefreshFromCell();
}

void TDataGrid::InsertRow(int row) {
    grid_.insertRow(row);
    if (TDataGridInplaceEdit* editor = InplaceEditor())
        editor->RefreshFromCell();
}

void TDataGrid::AppendRow() {
    grid_.appendRow();
}

bool TDataGrid::HandleRowOperationKey(QKeyEvent* event) {
    const int key = event->key();
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    const bool lastRow = grid_.currentRow() == grid_.rowCount() - 1;
    if (dataGridOptions_.appendRow && key == Qt::Key_Tab && !shift && lastRow &&
        grid_.currentCol() == grid_.colCount() - 1) {
        AppendRow();
        return true;
    }
    if (dataGridOptions_.appendRow && key == Qt::Key_Down && lastRow) {
        AppendRow();
        return true;
    }
    if (dataGridOptions_.insertRow && ctrl && key == Qt::Key_Insert) {
        InsertRow(grid_.currentRow());
        return true;
    }
    if (dataGridOptions_.deleteRow && ctrl && key == Qt::Key_Delete) {
        DeleteRow(grid_.currentRow());
        return true;
    }
    return false;
}

void TDataGrid::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    if (HandleRowOperationKey(event) && ctrl) {
        event->accept();
        return;
    }
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && options_.editing &&
        state() != EditingState) {
        edit(currentIndex());
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

void TDataGrid::KeyFromEditor(TDataGridInplaceEdit* editor, QKeyEvent* event) {
    QKeyEvent key(event->type(), event->key(), event->modifiers(), event->text(),
                  event->isAutoRepeat(), ushort(event->count()));
    closeEditor(editor, QAbstractItemDelegate::NoHint);
    setFocus();
    if (key.key() == Qt::Key_Escape)
        return;
    const bool tab = key.key() == Qt::Key_Tab || key.key() == Qt::Key_Backtab;
    if (tab && !tabKeyNavigation()) {
        focusNextPrevChild(key.key() == Qt::Key_Tab);
        return;
    }
    keyPressEvent(&key);
    if (options_.editing && options_.alwaysShowEditor)
        edit(currentIndex());
}

void TDataGrid::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        event->accept();
        return;
    }
    QTableView::mousePressEvent(event);
}

void TDataGrid::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        const QModelIndex index = indexAt(event->position().toPoint());
        QMenu* menu = index.isValid() ? Columns(index.column()).PopupMenu() : nullptr;
        if (!menu)
            menu = popupMenu_;
        if (menu) {
            menu->setProperty("PopupComponent", QVariant::fromValue<QObject*>(this));
            menu->popup(event->globalPosition().toPoint());
        }
        event->accept();
        return;
    }
    QTableView::mouseReleaseEvent(event);
}

void TDataGrid::paintEvent(QPaintEvent* event) {
    if (!bgImage_.isNull()) {
        // Behind the cells and in the area right of the last column and below the last row.
        QPainter painter(viewport());
        const QPoint origin = viewport()->mapTo(this, QPoint(0, 0));
        painter.drawTiledPixmap(
            viewport()->rect(), bgImage_,
            QPoint(origin.x() % bgImage_.width(), origin.y() % bgImage_.height()));
    }
    QTableView::paintEvent(event);
}

void TDataGrid::scrollContentsBy(int dx, int dy) {
    QTableView::scrollContentsBy(dx, dy);
    if (!bgImage_.isNull())
        viewport()->update();
}

void TDataGrid::focusInEvent(QFocusEvent* event) {
    QTableView::focusInEvent(event);
    if (options_.editing && options_.alwaysShowEditor && state() != EditingState) {
        edit(currentIndex());
    }
}

void TDataGrid::DrawCellText(QPainter& painter, const QRect& rect, const QString& text,
                             TextAlignment alignment) const {
    // 2 pixels from the top; left text 2 from the left edge, right text ends 3 before the right.
    QRect area(rect.x() + 2, rect.y() + 2, rect.width() - 5, rect.height() - 2);
    if (alignment == TextAlignment::Center)
        area = rect.adjusted(0, 2, 0, 0);
    painter.drawText(area, int(Qt::AlignTop | Qt::TextSingleLine | ToQtAlignment(alignment)), text);
}

}  // namespace tavrin
