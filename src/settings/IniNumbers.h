#pragma once

#include <string>
#include <string_view>

namespace tavrin {

// A number as the settings file holds it: decimal with an optional sign, or, for a text of more
// than two characters starting with "0x" or "0X", up to eight hexadecimal digits (a 32-bit
// pattern, so 0xFFFFFFFF is -1). Anything else, or a decimal outside the 32-bit range, gives
// `defaultValue`.
int IniTextToInt(std::string_view text, int defaultValue);

// Read as a number with the default 1 or 0; any non-zero number is true.
bool IniTextToBool(std::string_view text, bool defaultValue);

std::string IniIntText(int value);
std::string IniBoolText(bool value);

}  // namespace tavrin
