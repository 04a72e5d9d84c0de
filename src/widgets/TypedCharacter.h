#pragma once

#include <optional>

class QKeyEvent;

namespace tavrin {

// The character a key press types, as the keyboard produces it with its modifiers: control
// characters for Ctrl with a letter (Ctrl+V is 22), 8 for backspace, 9 for Tab, 13 for Enter,
// 27 for Escape. Keys that only move the caret or delete (arrows, Home, Delete) type nothing.
std::optional<char32_t> TypedCharacter(const QKeyEvent& event);

}  // namespace tavrin
