#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tavrin {

// The separators of the user's locale, as UTF-8 text.
struct NumberSeparators {
    std::string decimalPoint = ".";
    std::string thousands = ",";
};

// Formats `value` with a numeric pattern: "0" and "#" digit placeholders, the first "." for the
// decimal separator, "," anywhere for thousands grouping, "E+", "E-", "e+" or "e-" followed by
// "0"s for an exponent, quoted text copied as it is, and up to three sections separated by ";"
// (positive; negative; zero). The value is rounded half away from zero to the pattern's
// decimals. An empty pattern, or an empty positive section, gives the general decimal form.
std::string FormatFloat(std::string_view pattern, double value, const NumberSeparators& separators);

// Reads a decimal floating-point number: leading and trailing blanks, an optional sign, digits
// with `decimalPoint` and an optional exponent. Nothing else is accepted, and neither is a
// number too large for a double (a number too small to represent reads as 0).
std::optional<double> TextToFloat(std::string_view text, std::string_view decimalPoint);

// `text` with every occurrence of `part` removed.
std::string RemoveAll(std::string_view text, std::string_view part);

}  // namespace tavrin
