#include "widgets/TypedCharacter.h"

#include <QKeyEvent>

namespace tavrin {

std::optional<char32_t> TypedCharacter(const QKeyEvent& event) {
    const Qt::KeyboardModifiers modifiers = event.modifiers();
    const bool control =
        modifiers.testFlag(Qt::ControlModifier) && !modifiers.testFlag(Qt::AltModifier);
    const int key = event.key();
    if (control && key >= Qt::Key_A && key <= Qt::Key_Z) {
        return static_cast<char32_t>(key - Qt::Key_A + 1);
    }
    switch (key) {
        case Qt::Key_Backspace:
            return control ? 0x7F : 8;
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            return 9;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return 13;
        case Qt::Key_Escape:
            return 27;
        case Qt::Key_Delete:
            return std::nullopt;
        default:
            break;
    }
    const QString text = event.text();
    if (text.isEmpty() || control)
        return std::nullopt;
    const char32_t c = text.toUcs4().value(0);
    if (c < 32 || c == 0x7F)
        return std::nullopt;
    return c;
}

}  // namespace tavrin
