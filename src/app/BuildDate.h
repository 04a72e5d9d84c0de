#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tavrin {

// The day the program was built, as the About box shows it.
struct BuildDate {
    std::uint16_t day = 0;
    std::uint16_t month = 0;
    std::uint16_t year = 0;

    constexpr bool operator==(const BuildDate&) const = default;
};

// Reads the compiler's date text "Mmm dd yyyy" (the day padded with a blank, as __DATE__ gives
// it). A text of another form gives all zeros.
constexpr BuildDate ParseCompilerDate(std::string_view text) {
    constexpr std::string_view kMonths = "JanFebMarAprMayJunJulAugSepOctNovDec";
    if (text.size() != 11 || text[3] != ' ' || text[6] != ' ')
        return {};
    const auto digit = [](char c) { return c >= '0' && c <= '9'; };
    std::uint16_t month = 0;
    for (std::size_t i = 0; i < 12; ++i) {
        if (kMonths.substr(i * 3, 3) == text.substr(0, 3))
            month = static_cast<std::uint16_t>(i + 1);
    }
    if (month == 0 || !digit(text[5]) || !(text[4] == ' ' || digit(text[4])))
        return {};
    std::uint16_t day = static_cast<std::uint16_t>(text[5] - '0');
    if (text[4] != ' ')
        day = static_cast<std::uint16_t>(day + 10 * (text[4] - '0'));
    std::uint16_t year = 0;
    for (std::size_t i = 7; i < 11; ++i) {
        if (!digit(text[i]))
            return {};
        year = static_cast<std::uint16_t>(year * 10 + (text[i] - '0'));
    }
    return {day, month, year};
}

// The date this program was compiled.
BuildDate ProgramBuildDate();

// "Compiled (D/M/Y): 8/5/2002": decimal numbers without leading zeros.
std::string CompiledCaption(const BuildDate& date);

}  // namespace tavrin
