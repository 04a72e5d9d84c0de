#pragma once

#include <QAbstractButton>
#include <QPixmap>

#include <functional>
#include <memory>

#include "widgets/TickTimer.h"

namespace tavrin {

// A flat button that, with AllowTimer, repeats its click while it is held: once 400 ms after
// the press, then every 100 ms, and once more at a release inside the button.
class TTimerSpeedButton : public QAbstractButton {
    Q_OBJECT

public:
    enum Flag : unsigned { FocusRect = 1, AllowTimer = 2 };

    explicit TTimerSpeedButton(QWidget* parent = nullptr);
    ~TTimerSpeedButton() override;

    unsigned Flags() const { return flags_; }
    void SetFlags(unsigned flags);

    const QPixmap& Glyph() const { return glyph_; }
    void SetGlyph(const QPixmap& glyph);

    // Where the repeat timer comes from; Qt timers unless set before the first press.
    void SetTimerFactory(TickTimerFactory factory) { timerFactory_ = std::move(factory); }

    // Runs the click handler, as a release inside the button does.
    void Click();

    std::function<void()> OnClick;
    // A mouse button went down on the button (after the button's own press handling).
    std::function<void(Qt::MouseButton)> OnMouseDown;

    QSize sizeHint() const override;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void RepeatStep();

    unsigned flags_ = 0;
    QPixmap glyph_;
    TickTimerFactory timerFactory_;
    std::unique_ptr<TickTimer> repeatTimer_;
    bool held_ = false;  // the left button went down here and is not released yet
};

}  // namespace tavrin
