#pragma once

#include "widgets/NumEdit.h"

namespace tavrin {

// A TNumEdit for whole numbers: only digits, the minus sign and backspace can be typed, and the
// number is an integer Value.
class TIntegerEdit : public TNumEdit {
    Q_OBJECT

public:
    explicit TIntegerEdit(QWidget* parent = nullptr);

    int Value() const;
    // Sets the number and formats the text with DisplayFormat, also when the number is unchanged.
    void SetValue(int value);

protected:
    // A number read from the text is cut to a whole number, so that the text shows the Value the
    // program reads; one outside the 32-bit range is refused.
    double Accepted(double parsed, const std::string& text) const override;
    void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace tavrin
