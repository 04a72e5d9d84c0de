#pragma once

#include <QLineEdit>

#include <functional>

#include "widgets/TickTimer.h"

namespace tavrin {

class TSpinButton;

// An integer edit with up and down buttons at its right edge. It keeps its number between
// MinValue and MaxValue (unless the two are equal) and steps it by Increment with the buttons
// and the Up and Down keys. With EditorEnabled false the text changes only by stepping.
class TSpinEdit : public QLineEdit {
    Q_OBJECT

public:
    explicit TSpinEdit(QWidget* parent = nullptr, const TickTimerFactory& timers = QtTickTimers());

    int MinValue() const { return minValue_; }
    void SetMinValue(int value) { minValue_ = value; }
    int MaxValue() const { return maxValue_; }
    void SetMaxValue(int value) { maxValue_ = value; }
    int Increment() const { return increment_; }
    void SetIncrement(int increment) { increment_ = increment; }
    bool EditorEnabled() const { return editorEnabled_; }
    void SetEditorEnabled(bool enabled) { editorEnabled_ = enabled; }
    bool AutoSelect() const { return autoSelect_; }
    void SetAutoSelect(bool autoSelect) { autoSelect_ = autoSelect; }

    // The text as a 32-bit integer; MinValue when the text is no such number. Not clamped.
    int Value() const;
    // Shows the clamped number; the text (and OnChange) changes only when it differs.
    void SetValue(int value);

    virtual bool AcceptsChar(char32_t c) const;
    virtual void StepUp();
    virtual void StepDown();

    TSpinButton* Button() const { return button_; }
    // The least height that shows the text in the control's font.
    int MinHeight() const;

    std::function<void()> OnChange;
    std::function<void()> OnClick;
    std::function<void()> OnEnter;
    std::function<void()> OnExit;

protected:
    virtual void Beep();

    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    int Clamp(long long value) const;
    void Step(long long delta);
    bool TextMayChange() const { return editorEnabled_ && !isReadOnly(); }
    void LayoutButton();

    int minValue_ = 0;
    int maxValue_ = 0;
    int increment_ = 1;
    bool editorEnabled_ = true;
    bool autoSelect_ = true;
    bool entered_ = false;
    TSpinButton* button_;
};

}  // namespace tavrin
