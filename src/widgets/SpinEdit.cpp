#include "widgets/SpinEdit.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLocale>
#include <QMenu>
#include <QStyle>

#include <algorithm>
#include <charconv>
#include <limits>
#include <string>

#include "widgets/FocusReasons.h"
#include "widgets/SpinButton.h"
#include "widgets/TypedCharacter.h"

namespace tavrin {
namespace {

constexpr int kBorderHeight = 1;

// Keys that move the caret or the selection, or copy, and so never change the text.
bool LeavesTextAlone(const QKeyEvent& event) {
    if (event.matches(QKeySequence::Copy) || event.matches(QKeySequence::SelectAll))
        return true;
    switch (event.key()) {
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_Home:
        case Qt::Key_End:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
        case Qt::Key_Shift:
        case Qt::Key_Control:
        case Qt::Key_Alt:
        case Qt::Key_Meta:
            return true;
        default:
            return false;
    }
}

}  // namespace

TSpinEdit::TSpinEdit(QWidget* parent, const TickTimerFactory& timers) : QLineEdit(parent) {
    button_ = new TSpinButton(this);
    button_->SetTimerFactory(timers);
    button_->resize(15, 17);
    button_->setCursor(Qt::ArrowCursor);
    button_->SetFocusControl(this);
    button_->OnUpClick = [this] { StepUp(); };
    button_->OnDownClick = [this] { StepDown(); };
    button_->show();
    setText(QStringLiteral("0"));
    // Files dragged over the edit go on to the window beneath, which takes them.
    setAcceptDrops(false);
    setMinimumHeight(MinHeight());
    connect(this, &QLineEdit::textChanged, this, [this] {
        if (OnChange)
            OnChange();
    });
    LayoutButton();
}

int TSpinEdit::MinHeight() const {
    const int fontHeight = QFontMetrics(font()).height();
    const int systemHeight = QFontMetrics(QApplication::font()).height();
    return fontHeight + std::min(systemHeight, fontHeight) / 4 + 4 * kBorderHeight + 2;
}

int TSpinEdit::Value() const {
    const std::string digits = text().toStdString();
    const char* first = digits.data();
    const char* last = first + digits.size();
    if (first != last && *first == '+') {
        ++first;
        if (first != last && *first == '-')
            return minValue_;
    }
    int value = 0;
    auto [end, ec] = std::from_chars(first, last, value);
    if (ec != std::errc() || end != last)
        return minValue_;
    return value;
}

int TSpinEdit::Clamp(long long value) const {
    long long low = minValue_;
    long long high = maxValue_;
    if (minValue_ == maxValue_) {
        low = std::numeric_limits<int>::min();
        high = std::numeric_limits<int>::max();
    }
    if (value < low)
        return static_cast<int>(low);
    if (value > high)
        return static_cast<int>(high);
    return static_cast<int>(value);
}

void TSpinEdit::SetValue(int value) {
    const QString shown = QString::number(Clamp(value));
    if (shown != text())
        setText(shown);
}

void TSpinEdit::Step(long long delta) {
    if (isReadOnly()) {
        Beep();
        return;
    }
    // Computed wide and clamped first, so that a step past the integer range cannot wrap.
    SetValue(Clamp(static_cast<long long>(Value()) + delta));
}

void TSpinEdit::StepUp() {
    Step(increment_);
}

void TSpinEdit::StepDown() {
    Step(-static_cast<long long>(increment_));
}

void TSpinEdit::Beep() {
    QApplication::beep();
}

bool TSpinEdit::AcceptsChar(char32_t c) const {
    const QString decimalPoint = QLocale().decimalPoint();
    bool accepted = c == U'+' || c == U'-' || (c >= U'0' && c <= U'9') ||
                    (decimalPoint.size() == 1 && c == decimalPoint.at(0).unicode()) ||
                    (c < 32 && c != 13);
    if (!editorEnabled_ && (c >= 32 || c == 8))
        accepted = false;
    return accepted;
}

void TSpinEdit::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down) {
        if (event->key() == Qt::Key_Up) {
            StepUp();
        } else {
            StepDown();
        }
        event->accept();
        return;
    }
    const std::optional<char32_t> typed = TypedCharacter(*event);
    if (typed && (*typed == 9 || *typed == 13 || *typed == 27)) {
        // Tab, Enter and Escape go on to the window, for its focus chain and its buttons.
        event->ignore();
        return;
    }
    if ((event->matches(QKeySequence::Paste) || event->matches(QKeySequence::Cut)) &&
        !TextMayChange()) {
        event->accept();
        return;
    }
    if (typed && !AcceptsChar(*typed)) {
        Beep();
        event->accept();
        return;
    }
    // Keys such as Delete type no character but would still change a text that the user may
    // only step.
    if (!editorEnabled_ && !LeavesTextAlone(*event)) {
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void TSpinEdit::inputMethodEvent(QInputMethodEvent* event) {
    const std::u32string committed = event->commitString().toStdU32String();
    const bool refused = std::any_of(committed.begin(), committed.end(),
                                     [this](char32_t c) { return !AcceptsChar(c); });
    if (refused) {
        Beep();
        event->accept();
        return;
    }
    QLineEdit::inputMethodEvent(event);
}

void TSpinEdit::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    if (IsPassingFocusChange(event->reason()) && entered_)
        return;
    entered_ = true;
    // Qt gives the edit the focus also for a press on its buttons, so the whole text is
    // selected whatever the reason; a press on the text itself then puts the caret there.
    if (autoSelect_) {
        selectAll();
    } else {
        deselect();
    }
    if (OnEnter)
        OnEnter();
}

void TSpinEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    if (IsPassingFocusChange(event->reason()) || !entered_)
        return;
    entered_ = false;
    if (OnExit)
        OnExit();
    const int value = Value();
    if (Clamp(value) != value)
        SetValue(value);
}

void TSpinEdit::mouseReleaseEvent(QMouseEvent* event) {
    // A middle click pastes the selection on X11.
    if (event->button() == Qt::MiddleButton && !TextMayChange()) {
        event->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) &&
        OnClick) {
        OnClick();
    }
}

void TSpinEdit::contextMenuEvent(QContextMenuEvent* event) {
    QMenu* menu = createStandardContextMenu();
    if (!TextMayChange()) {
        for (QAction* action : menu->actions()) {
            const QString name = action->objectName();
            if (name == "edit-paste" || name == "edit-cut" || name == "edit-delete" ||
                name == "edit-undo" || name == "edit-redo") {
                action->setEnabled(false);
            }
        }
    }
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

void TSpinEdit::resizeEvent(QResizeEvent* event) {
    QLineEdit::resizeEvent(event);
    if (height() < MinHeight()) {
        resize(width(), MinHeight());
        return;
    }
    LayoutButton();
}

void TSpinEdit::changeEvent(QEvent* event) {
    QLineEdit::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        setMinimumHeight(MinHeight());
        LayoutButton();
    }
}

void TSpinEdit::LayoutButton() {
    // The button sits inside the frame at the right edge; the text stops 2 pixels before it.
    const int frame = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
    const int buttonWidth = button_->width();
    const int left = width() - buttonWidth - 5 + frame;
    button_->setGeometry(left, frame, buttonWidth, std::max(height() - 5, 1));
    setTextMargins(0, 0, std::max(width() - frame - left, 0), 0);
}

}  // namespace tavrin
