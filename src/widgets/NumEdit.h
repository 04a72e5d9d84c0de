#pragma once

#include <QLineEdit>

#include <functional>
#include <string>

#include "widgets/NumericPattern.h"

namespace tavrin {

// A single-line edit that keeps a number beside its text. Without the focus it shows the number
// right-aligned, formatted with DisplayFormat; with the focus the user edits plain text, which is
// read back into the number when the focus leaves. Text that is no number is reported as
// "'%s' is not a valid floating point value"; the text and the focus then stay where they are.
class TNumEdit : public QLineEdit {
    Q_OBJECT

public:
    explicit TNumEdit(QWidget* parent = nullptr);

    const std::string& DisplayFormat() const { return displayFormat_; }
    // Formats the text with the pattern even when the pattern is unchanged.
    void SetDisplayFormat(const std::string& pattern);
    const std::string& EditFormat() const { return editFormat_; }
    void SetEditFormat(const std::string& pattern);

    // Select the whole text when the focus comes in other than by a mouse press.
    bool AutoSelect() const { return autoSelect_; }
    void SetAutoSelect(bool autoSelect) { autoSelect_ = autoSelect; }

    // The most characters the user may type or paste; 0 for no limit. Text set by the program is
    // never cut: a value wider than the limit is shown in full.
    int MaxLength() const { return maxLength_; }
    void SetMaxLength(int maxLength);

    bool DisplayMode() const { return displayMode_; }

    // The separators of the user's locale (QLocale's default).
    static NumberSeparators LocaleSeparators();

    std::function<void()> OnChange;  // the text changed, by the user or the program
    std::function<void()> OnClick;
    std::function<void()> OnEnter;
    std::function<void()> OnExit;  // the focus left and the text was read into the number

protected:
    double NumberValue() const { return value_; }
    void SetNumberValue(double value) { value_ = value; }
    std::string Formatted(const std::string& pattern) const;

    // Checks a number read from `text` before it is stored; raises Error to refuse it.
    virtual double Accepted(double parsed, const std::string& text) const;

    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    double ReadText() const;

    std::string displayFormat_;
    std::string editFormat_;
    bool displayMode_ = true;
    double value_ = 0;
    bool autoSelect_ = true;
    int maxLength_ = 0;
    bool reclaimingFocus_ = false;
};

}  // namespace tavrin
