#include "widgets/DataGridInplaceEdit.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionButton>

#include <algorithm>

#include "widgets/DataGrid.h"
#include "widgets/DataGridStyle.h"
#include "widgets/PopupListbox.h"

namespace tavrin {

namespace {
bool IsEnter(int key) {
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

// The keys that end an edit: the cell's text is checked when one of them is pressed.
bool EndsEdit(int key) {
    switch (key) {
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
        case Qt::Key_End:
        case Qt::Key_Home:
        case Qt::Key_Left:
        case Qt::Key_Up:
        case Qt::Key_Right:
        case Qt::Key_Down:
            return true;
        default:
            return false;
    }
}

// The keys the grid itself acts on: they move the current cell.
bool MovesCell(int key) {
    return key == Qt::Key_Tab || key == Qt::Key_Backtab || key == Qt::Key_Up ||
           key == Qt::Key_Down || key == Qt::Key_PageUp || key == Qt::Key_PageDown;
}
}  // namespace

TDataGridInplaceEdit::TDataGridInplaceEdit(TDataGrid& grid, QWidget* parent)
    : QLineEdit(parent), grid_(grid) {
    setFrame(false);
    setAutoFillBackground(true);
    setMouseTracking(true);
    connect(this, &QLineEdit::textEdited, this, &TDataGridInplaceEdit::TextEdited);
}

int TDataGridInplaceEdit::ButtonWidth() const {
    return style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
}

QRect TDataGridInplaceEdit::ButtonRect() const {
    if (editStyle_ == EditStyle::None)
        return {};
    return QRect(width() - ButtonWidth(), 0, ButtonWidth(), height());
}

void TDataGridInplaceEdit::UpdateMargins() {
    setTextMargins(0, 0, editStyle_ == EditStyle::None ? 0 : ButtonWidth(), 0);
}

void TDataGridInplaceEdit::StartEditing(int col, int row) {
    if (listVisible_)
        CloseList(false);
    GridModel& grid = grid_.Grid();
    col_ = col;
    row_ = row;
    editStyle_ = grid.editStyle(col);
    const bool hasColumn = col >= 0 && col < grid.colCount();
    const int maxLength = hasColumn ? grid.columnAt(col).maxLength() : 0;
    setMaxLength(maxLength > 0 ? maxLength : 32767);
    setInputMask(ToQString(grid.editMask(col, row)));
    setReadOnly(grid.editorReadOnly(col));
    if (hasColumn) {
        // The editor covers its cell in the cell's own colours and font.
        const GridColumn& column = grid.columnAt(col);
        QPalette colours = palette();
        colours.setColor(QPalette::Base, ToQColor(column.color()));
        colours.setColor(QPalette::Text, ToQColor(column.font().color));
        setPalette(colours);
        setFont(ToQFont(column.font(), grid_.font()));
    }
    textAtStart_ = ToQString(grid.cellRef(col, row));
    setText(textAtStart_);
    modified_ = false;
    selectAll();
    UpdateMargins();
    update();
}

void TDataGridInplaceEdit::RefreshFromCell() {
    const QString stored = ToQString(grid_.Grid().cellRef(col_, row_));
    if (stored != text())
        setText(stored);
}

void TDataGridInplaceEdit::TextEdited(const QString& text) {
    modified_ = true;
    grid_.Grid().setCell(col_, row_, FromQString(text));
}

void TDataGridInplaceEdit::CheckEditEnd() {
    if (!modified_)
        return;
    const EditCheck check = grid_.Grid().checkEditEnd(col_, row_, FromQString(textAtStart_));
    if (check == EditCheck::Restored) {
        if (grid_.Beep)
            grid_.Beep();
        modified_ = false;
    }
    RefreshFromCell();
    grid_.EditorChanged(this);
}

void TDataGridInplaceEdit::TakeValue(const QString& value) {
    setText(value);
    grid_.Grid().setCell(col_, row_, FromQString(value));
    modified_ = true;
    selectAll();
}

bool TDataGridInplaceEdit::PickByFirstCharacter(const QString& typed) {
    if (typed.size() != 1 || typed[0].unicode() < 32)
        return false;
    for (const std::string& entry : grid_.Grid().columnAt(col_).pickList()) {
        const QString candidate = ToQString(entry);
        if (!candidate.isEmpty() && candidate[0].toLower() == typed[0].toLower()) {
            TakeValue(candidate);
            break;
        }
    }
    return true;
}

void TDataGridInplaceEdit::OpenList() {
    if (editStyle_ != EditStyle::List || listVisible_)
        return;
    if (!pickList_)
        pickList_ = new TPopupListbox(*this);
    const GridColumn& column = grid_.Grid().columnAt(col_);
    pickList_->clear();
    int widest = 0;
    const QFontMetrics metrics(font());
    for (const std::string& entry : column.pickList()) {
        pickList_->addItem(ToQString(entry));
        widest = std::max(widest, metrics.horizontalAdvance(ToQString(entry)));
    }
    pickList_->setFont(font());
    QPalette colours = pickList_->palette();
    colours.setColor(QPalette::Base, palette().color(QPalette::Base));
    pickList_->setPalette(colours);

    const int entries = pickList_->count();
    const int rows = std::min<int>(entries, int(column.dropDownRows()));
    const int entryHeight = entries > 0 ? pickList_->sizeHintForRow(0) : metrics.height();
    const int listHeight = entryHeight * rows + 4;
    int listWidth = std::max(width(), widest + 12);
    if (entries > rows)
        listWidth += ButtonWidth();

    QListWidgetItem* current = nullptr;
    const auto same = pickList_->findItems(text(), Qt::MatchExactly);
    current = same.isEmpty() ? pickList_->item(0) : same.first();
    if (current)
        pickList_->setCurrentItem(current);

    QPoint place = mapToGlobal(QPoint(0, height()));
    if (QScreen* where = screen()) {
        if (place.y() + listHeight > where->availableGeometry().bottom()) {
            place = mapToGlobal(QPoint(0, 0)) - QPoint(0, listHeight);
        }
    }
    pickList_->setGeometry(place.x(), place.y(), listWidth, listHeight);
    pickList_->show();
    pickList_->raise();
    listVisible_ = true;
    update();
}

void TDataGridInplaceEdit::CloseList(bool accept) {
    if (!listVisible_)
        return;
    pickList_->hide();
    listVisible_ = false;
    pressed_ = false;
    tracking_ = false;
    update();
    QListWidgetItem* chosen = pickList_->currentItem();
    if (accept && chosen && grid_.Grid().editing())
        TakeValue(chosen->text());
}

bool TDataGridInplaceEdit::event(QEvent* event) {
    // Tab never moves the focus out of the editor: the grid moves its current cell.
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
            keyPressEvent(key);
            return true;
        }
    }
    return QLineEdit::event(event);
}

void TDataGridInplaceEdit::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    const bool alt = modifiers & Qt::AltModifier;
    const bool ctrl = modifiers & Qt::ControlModifier;

    if (listVisible_) {
        if (IsEnter(key) || (alt && (key == Qt::Key_Up || key == Qt::Key_Down))) {
            CloseList(true);
        } else if (key == Qt::Key_Escape) {
            CloseList(false);
        } else {
            pickList_->KeyFromEditor(event);
        }
        return;
    }
    if (editStyle_ == EditStyle::List && alt && (key == Qt::Key_Up || key == Qt::Key_Down)) {
        OpenList();
        return;
    }
    if (editStyle_ == EditStyle::Ellipsis && ctrl && IsEnter(key)) {
        grid_.EditButtonClick();
        return;
    }
    if (EndsEdit(key))
        CheckEditEnd();
    if (MovesCell(key)) {
        grid_.KeyFromEditor(this, event);
        return;
    }
    if (ctrl && (key == Qt::Key_Insert || key == Qt::Key_Delete)) {
        const DataGridOptions& options = grid_.GetDataGridOptions();
        if ((key == Qt::Key_Insert && options.insertRow) ||
            (key == Qt::Key_Delete && options.deleteRow)) {
            grid_.KeyFromEditor(this, event);
            return;
        }
    }
    if (key == Qt::Key_Escape) {
        // The cell gets back its text from the start of the edit.
        grid_.Grid().setCell(col_, row_, FromQString(textAtStart_));
        modified_ = false;
        RefreshFromCell();
        grid_.KeyFromEditor(this, event);
        return;
    }
    if (IsEnter(key)) {
        if (hasSelectedText() && selectedText() == text()) {
            deselect();
        } else {
            selectAll();
        }
        return;
    }
    if (isReadOnly() && editStyle_ == EditStyle::List && PickByFirstCharacter(event->text())) {
        return;
    }
    QLineEdit::keyPressEvent(event);
}

bool TDataGridInplaceEdit::ButtonOrListClick() {
    if (editStyle_ == EditStyle::Ellipsis) {
        grid_.EditButtonClick();
        return true;
    }
    if (editStyle_ == EditStyle::List) {
        if (listVisible_) {
            CloseList(false);
        } else {
            OpenList();
        }
        return true;
    }
    return false;
}

void TDataGridInplaceEdit::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && ButtonRect().contains(event->position().toPoint())) {
        pressed_ = true;
        tracking_ = editStyle_ == EditStyle::List;
        update();
        ButtonOrListClick();
        if (editStyle_ == EditStyle::List)
            tracking_ = listVisible_;
        return;
    }
    QLineEdit::mousePressEvent(event);
}

void TDataGridInplaceEdit::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    setCursor(ButtonRect().contains(at) ? Qt::ArrowCursor : Qt::IBeamCursor);
    if (tracking_ && listVisible_) {
        // Dragging from the button into the open list selects there.
        QWidget* area = pickList_->viewport();
        const QPoint inList = area->mapFromGlobal(event->globalPosition().toPoint());
        if (area->rect().contains(inList)) {
            if (QListWidgetItem* item = pickList_->itemAt(inList))
                pickList_->setCurrentItem(item);
        }
        return;
    }
    QLineEdit::mouseMoveEvent(event);
}

void TDataGridInplaceEdit::mouseReleaseEvent(QMouseEvent* event) {
    if (tracking_) {
        tracking_ = false;
        pressed_ = false;
        update();
        if (listVisible_) {
            QWidget* area = pickList_->viewport();
            const QPoint inList = area->mapFromGlobal(event->globalPosition().toPoint());
            if (area->rect().contains(inList))
                CloseList(true);
        }
        return;
    }
    if (pressed_) {
        pressed_ = false;
        update();
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}

void TDataGridInplaceEdit::mouseDoubleClickEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (ButtonRect().contains(at)) {
        // A second press on the button, never a double click of the grid.
        mousePressEvent(event);
        return;
    }
    if (isReadOnly() && event->button() == Qt::LeftButton && ButtonOrListClick())
        return;
    QLineEdit::mouseDoubleClickEvent(event);
}

void TDataGridInplaceEdit::paintEvent(QPaintEvent* event) {
    QLineEdit::paintEvent(event);
    if (editStyle_ == EditStyle::None)
        return;
    QPainter painter(this);
    QStyleOptionButton button;
    button.initFrom(this);
    button.rect = ButtonRect();
    button.state = QStyle::State_Enabled | (pressed_ ? QStyle::State_Sunken : QStyle::State_Raised);
    style()->drawControl(QStyle::CE_PushButtonBevel, &button, &painter, this);
    const int shift = pressed_ ? 1 : 0;
    if (editStyle_ == EditStyle::Ellipsis) {
        const int dot = std::max(1, height() / 8);
        const int span = 5 * dot;  // three dots, each two dot sizes from the next
        const QRect area = ButtonRect();
        const int left = area.x() + (area.width() - span) / 2 + shift;
        const int top = area.y() + (area.height() - dot) / 2 + shift;
        for (int i = 0; i < 3; ++i) {
            painter.fillRect(left + 2 * dot * i, top, dot, dot,
                             palette().color(QPalette::ButtonText));
        }
    } else {
        QStyleOption arrow;
        arrow.initFrom(this);
        arrow.rect = ButtonRect().adjusted(3 + shift, 3 + shift, -3 + shift, -3 + shift);
        // Inactive until the list exists.
        arrow.state = pickList_ ? QStyle::State_Enabled : QStyle::State_None;
        style()->drawPrimitive(QStyle::PE_IndicatorArrowDown, &arrow, &painter, this);
    }
}

void TDataGridInplaceEdit::resizeEvent(QResizeEvent* event) {
    QLineEdit::resizeEvent(event);
    UpdateMargins();
}

void TDataGridInplaceEdit::focusOutEvent(QFocusEvent* event) {
    CloseList(false);
    QLineEdit::focusOutEvent(event);
}

}  // namespace tavrin
