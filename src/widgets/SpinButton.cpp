#include "widgets/SpinButton.h"

#include <QImage>
#include <QKeyEvent>

#include "widgets/TimerSpeedButton.h"

namespace tavrin {

namespace {
constexpr int kMinimumWidth = 15;
}  // namespace

TSpinButton::TSpinButton(QWidget* parent) : QWidget(parent) {
    upButton_ = MakeButton();
    downButton_ = MakeButton();
    focusedButton_ = upButton_;
    SetUpGlyph({});
    SetDownGlyph({});
    setMinimumWidth(kMinimumWidth);
    setFocusPolicy(Qt::NoFocus);
    resize(20, 25);
}

TTimerSpeedButton* TSpinButton::MakeButton() {
    auto* button = new TTimerSpeedButton(this);
    button->SetFlags(TTimerSpeedButton::AllowTimer);
    button->OnClick = [this, button] { ButtonClick(button); };
    button->OnMouseDown = [this, button](Qt::MouseButton mouseButton) {
        ButtonMouseDown(button, mouseButton);
    };
    button->show();
    return button;
}

QPixmap TSpinButton::BuiltInGlyph(bool up) {
    QImage image(9, 6, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    for (int row = 0; row < 4; ++row) {
        const int width = up ? 1 + 2 * row : 7 - 2 * row;
        const int left = (9 - width) / 2;
        for (int x = left; x < left + width; ++x)
            image.setPixel(x, row + 1, qRgb(0, 0, 0));
    }
    return QPixmap::fromImage(image);
}

void TSpinButton::SetUpGlyph(const QPixmap& glyph) {
    upButton_->SetGlyph(glyph.isNull() ? BuiltInGlyph(true) : glyph);
}

void TSpinButton::SetDownGlyph(const QPixmap& glyph) {
    downButton_->SetGlyph(glyph.isNull() ? BuiltInGlyph(false) : glyph);
}

void TSpinButton::SetTimerFactory(const TickTimerFactory& factory) {
    upButton_->SetTimerFactory(factory);
    downButton_->SetTimerFactory(factory);
}

void TSpinButton::ButtonClick(TTimerSpeedButton* button) {
    if (button == upButton_) {
        if (OnUpClick)
            OnUpClick();
    } else if (OnDownClick) {
        OnDownClick();
    }
}

void TSpinButton::ButtonMouseDown(TTimerSpeedButton* button, Qt::MouseButton mouseButton) {
    if (mouseButton != Qt::LeftButton)
        return;
    SetFocusedButton(button);
    QWidget* control = focusControl_;
    if (control && (control->focusPolicy() & Qt::TabFocus) && control->isEnabled() &&
        control->isVisible() && !control->hasFocus()) {
        control->setFocus(Qt::OtherFocusReason);
    } else if (TabStop() && !hasFocus() && isEnabled() && isVisible()) {
        setFocus(Qt::OtherFocusReason);
    }
}

void TSpinButton::SetFocusedButton(TTimerSpeedButton* button) {
    if (button == focusedButton_ || !TabStop() || !isEnabled() || !isVisible())
        return;
    focusedButton_->SetFlags(focusedButton_->Flags() & ~TTimerSpeedButton::FocusRect);
    focusedButton_ = button;
    if (hasFocus())
        focusedButton_->SetFlags(focusedButton_->Flags() | TTimerSpeedButton::FocusRect);
    update();
}

void TSpinButton::focusInEvent(QFocusEvent* event) {
    focusedButton_->SetFlags(focusedButton_->Flags() | TTimerSpeedButton::FocusRect);
    QWidget::focusInEvent(event);
}

void TSpinButton::focusOutEvent(QFocusEvent* event) {
    focusedButton_->SetFlags(focusedButton_->Flags() & ~TTimerSpeedButton::FocusRect);
    QWidget::focusOutEvent(event);
}

void TSpinButton::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Space:
            focusedButton_->Click();
            break;
        case Qt::Key_Up:
            SetFocusedButton(upButton_);
            upButton_->Click();
            break;
        case Qt::Key_Down:
            SetFocusedButton(downButton_);
            downButton_->Click();
            break;
        default:
            QWidget::keyPressEvent(event);
            return;
    }
    event->accept();
}

void TSpinButton::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    LayoutButtons();
}

void TSpinButton::LayoutButtons() {
    const int half = height() / 2;
    upButton_->setGeometry(0, 0, width(), half);
    // The two buttons overlap by one pixel, so that they share their middle edge.
    downButton_->setGeometry(0, half - 1, width(), height() - half + 1);
}

}  // namespace tavrin
