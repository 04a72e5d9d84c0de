#include "widgets/TimerSpeedButton.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionFocusRect>

namespace tavrin {

namespace {
constexpr int kFirstRepeatMs = 400;
constexpr int kNextRepeatMs = 100;
}  // namespace

TTimerSpeedButton::TTimerSpeedButton(QWidget* parent)
    : QAbstractButton(parent), timerFactory_(QtTickTimers()) {
    setFocusPolicy(Qt::NoFocus);
    connect(this, &QAbstractButton::clicked, this, [this] { Click(); });
}

TTimerSpeedButton::~TTimerSpeedButton() = default;

void TTimerSpeedButton::SetFlags(unsigned flags) {
    if (flags == flags_)
        return;
    flags_ = flags;
    update();
}

void TTimerSpeedButton::SetGlyph(const QPixmap& glyph) {
    glyph_ = glyph;
    update();
}

void TTimerSpeedButton::Click() {
    if (OnClick)
        OnClick();
}

QSize TTimerSpeedButton::sizeHint() const {
    return glyph_.size() + QSize(6, 4);
}

void TTimerSpeedButton::mousePressEvent(QMouseEvent* event) {
    QAbstractButton::mousePressEvent(event);
    if (event->button() == Qt::LeftButton)
        held_ = true;
    if (flags_ & AllowTimer) {
        if (!repeatTimer_) {
            repeatTimer_ = timerFactory_();
            repeatTimer_->OnTick = [this] { RepeatStep(); };
        }
        repeatTimer_->SetInterval(kFirstRepeatMs);
        repeatTimer_->SetEnabled(true);
    }
    event->accept();
    if (OnMouseDown)
        OnMouseDown(event->button());
}

void TTimerSpeedButton::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        held_ = false;
    QAbstractButton::mouseReleaseEvent(event);
    event->accept();
    if (repeatTimer_)
        repeatTimer_->SetEnabled(false);
}

void TTimerSpeedButton::RepeatStep() {
    repeatTimer_->SetInterval(kNextRepeatMs);
    if (!isDown() || !held_)
        return;
    try {
        Click();
    } catch (...) {
        repeatTimer_->SetEnabled(false);
        throw;
    }
}

void TTimerSpeedButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QStyleOptionButton option;
    option.initFrom(this);
    option.state |= isDown() ? QStyle::State_Sunken : QStyle::State_Raised;
    style()->drawPrimitive(QStyle::PE_PanelButtonCommand, &option, &painter, this);

    const int shift = isDown() ? 1 : 0;
    if (!glyph_.isNull()) {
        QPixmap shown = glyph_;
        if (!isEnabled())
            shown = style()->generatedIconPixmap(QIcon::Disabled, glyph_, &option);
        const QSize size = glyph_.deviceIndependentSize().toSize();
        painter.drawPixmap((width() - size.width()) / 2 + shift,
                           (height() - size.height()) / 2 + shift, shown);
    }
    if (flags_ & FocusRect) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        // Styles draw the rectangle only for focus that the keyboard can move.
        focus.state |= QStyle::State_KeyboardFocusChange;
        focus.rect = rect().adjusted(3, 3, -3, -3).translated(shift, shift);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
    }
}

}  // namespace tavrin
