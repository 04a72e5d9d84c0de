#pragma once

#include <cstddef>
#include <string_view>

namespace tavrin {

enum class IniLineKind {
    Other,          // blank line, comment, a line without "="
    Section,        // [name]
    BrokenSection,  // "[name" without its "]": ends the section before it, starts none
    Key,            // key=value
};

// One line of an INI file as the profile functions see it. Names and values are trimmed of
// blanks; valueStart is where the value's text begins in the line (after "=" and its blanks).
struct IniLine {
    IniLineKind kind = IniLineKind::Other;
    std::string_view name;
    std::string_view value;
    std::size_t valueStart = 0;
};

// Classifies one line, given without its line terminator. Lines starting with ";" or "#" are
// comments.
IniLine ParseIniLine(std::string_view line);

// Section and key names match without regard to letter case (ASCII).
bool IniNamesEqual(std::string_view a, std::string_view b);

std::string_view TrimIniBlanks(std::string_view text);

// The UTF-8 byte order mark that some editors put in front of the first line.
inline constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

}  // namespace tavrin
