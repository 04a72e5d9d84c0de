#pragma once

#include <QPointer>
#include <QWidget>

#include <functional>

#include "widgets/TickTimer.h"

namespace tavrin {

class TTimerSpeedButton;

// A pair of up and down buttons, one above the other, that repeat while held.
class TSpinButton : public QWidget {
    Q_OBJECT

public:
    explicit TSpinButton(QWidget* parent = nullptr);

    TTimerSpeedButton* UpButton() const { return upButton_; }
    TTimerSpeedButton* DownButton() const { return downButton_; }
    TTimerSpeedButton* FocusedButton() const { return focusedButton_; }

    // The control that takes the focus when a button is pressed; none once it is destroyed.
    QWidget* FocusControl() const { return focusControl_; }
    void SetFocusControl(QWidget* control) { focusControl_ = control; }

    bool TabStop() const { return focusPolicy() != Qt::NoFocus; }
    void SetTabStop(bool tabStop) { setFocusPolicy(tabStop ? Qt::TabFocus : Qt::NoFocus); }

    // A null pixmap restores the built-in triangle.
    void SetUpGlyph(const QPixmap& glyph);
    void SetDownGlyph(const QPixmap& glyph);

    void SetTimerFactory(const TickTimerFactory& factory);

    std::function<void()> OnUpClick;
    std::function<void()> OnDownClick;

    // The built-in 9 x 6 triangles.
    static QPixmap BuiltInGlyph(bool up);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    TTimerSpeedButton* MakeButton();
    void ButtonClick(TTimerSpeedButton* button);
    void ButtonMouseDown(TTimerSpeedButton* button, Qt::MouseButton mouseButton);
    void SetFocusedButton(TTimerSpeedButton* button);
    void LayoutButtons();

    TTimerSpeedButton* upButton_;
    TTimerSpeedButton* downButton_;
    TTimerSpeedButton* focusedButton_;
    QPointer<QWidget> focusControl_;
};

}  // namespace tavrin
