#include "widgets/IntegerEdit.h"

#include <QKeyEvent>

#include <cmath>
#include <limits>

#include "platform/Error.h"
#include "widgets/TypedCharacter.h"

namespace tavrin {

TIntegerEdit::TIntegerEdit(QWidget* parent) : TNumEdit(parent) {}

int TIntegerEdit::Value() const {
    const double value = std::trunc(NumberValue());
    if (value <= std::numeric_limits<int>::min())
        return std::numeric_limits<int>::min();
    if (value >= std::numeric_limits<int>::max())
        return std::numeric_limits<int>::max();
    return static_cast<int>(value);
}

void TIntegerEdit::SetValue(int value) {
    SetNumberValue(value);
    setText(QString::fromStdString(Formatted(DisplayFormat())));
}

double TIntegerEdit::Accepted(double parsed, const std::string& text) const {
    const double whole = std::trunc(parsed);
    if (whole < std::numeric_limits<int>::min() || whole > std::numeric_limits<int>::max()) {
        throw Error(FormatMessage("'%s' is not a valid integer value", text));
    }
    return whole == 0 ? 0.0 : whole;
}

void TIntegerEdit::keyPressEvent(QKeyEvent* event) {
    const std::optional<char32_t> typed = TypedCharacter(*event);
    if (typed && *typed != 8 && *typed != U'-' && !(*typed >= U'0' && *typed <= U'9')) {
        // Tab, Enter and Escape go on to the window, for its focus chain and its buttons.
        if (*typed == 9 || *typed == 13 || *typed == 27) {
            event->ignore();
        } else {
            event->accept();
        }
        return;
    }
    TNumEdit::keyPressEvent(event);
}

}  // namespace tavrin
