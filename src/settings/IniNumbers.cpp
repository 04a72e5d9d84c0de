#include "settings/IniNumbers.h"

#include <charconv>
#include <cstdint>

namespace tavrin {

namespace {

bool IsHexText(std::string_view text) {
    return text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
}

}  // namespace

int IniTextToInt(std::string_view text, int defaultValue) {
    const char* first = text.data();
    const char* last = text.data() + text.size();
    if (IsHexText(text)) {
        first += 2;
        if (last - first > 8)
            return defaultValue;
        std::uint32_t bits = 0;
        const auto [end, error] = std::from_chars(first, last, bits, 16);
        if (error != std::errc() || end != last)
            return defaultValue;
        return static_cast<int>(bits);
    }
    if (first != last && *first == '+')
        ++first;
    if (first != last && (*first == '+' || *first == '-') && first != text.data()) {
        return defaultValue;
    }
    int value = 0;
    const auto [end, error] = std::from_chars(first, last, value, 10);
    if (first == last || error != std::errc() || end != last)
        return defaultValue;
    return value;
}

bool IniTextToBool(std::string_view text, bool defaultValue) {
    return IniTextToInt(text, defaultValue ? 1 : 0) != 0;
}

std::string IniIntText(int value) {
    return std::to_string(value);
}

std::string IniBoolText(bool value) {
    return value ? "1" : "0";
}

}  // namespace tavrin
