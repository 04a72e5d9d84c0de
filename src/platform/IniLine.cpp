#include "platform/IniLine.h"

namespace tavrin {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

std::string_view TrimIniBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool IniNamesEqual(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (Lower(a[i]) != Lower(b[i]))
            return false;
    }
    return true;
}

IniLine ParseIniLine(std::string_view line) {
    IniLine result;
    const std::string_view text = TrimIniBlanks(line);
    if (text.empty() || text.front() == ';' || text.front() == '#')
        return result;
    if (text.front() == '[') {
        const std::size_t close = text.find(']');
        if (close == std::string_view::npos) {
            result.kind = IniLineKind::BrokenSection;
        } else {
            result.kind = IniLineKind::Section;
            result.name = TrimIniBlanks(text.substr(1, close - 1));
        }
        return result;
    }
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos)
        return result;
    result.kind = IniLineKind::Key;
    result.name = TrimIniBlanks(line.substr(0, equals));
    std::size_t start = equals + 1;
    while (start < line.size() && IsBlank(line[start]))
        ++start;
    result.valueStart = start;
    result.value = TrimIniBlanks(line.substr(start));
    return result;
}

}  // namespace tavrin
