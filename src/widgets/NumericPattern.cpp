#include "widgets/NumericPattern.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace tavrin {
namespace {

// The value as decimal digits: 0.d1d2d3... x 10^exponent, without trailing zeros. No digits is 0.
struct Decimal {
    std::string digits;
    int exponent = 0;
};

// Doubles carry about 15 trustworthy decimal digits; rounding those (rather than the binary
// value's exact expansion) makes 1.005 round to 1.01 as the user typed it, not to 1.00.
constexpr int kSignificantDigits = 15;

Decimal ToDecimal(double magnitude) {
    Decimal result;
    if (magnitude == 0)
        return result;
    char buffer[64];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, magnitude,
                                   std::chars_format::scientific, kSignificantDigits - 1);
    (void)ec;
    std::string_view text(buffer, end - buffer);
    std::size_t e = text.find('e');
    for (char c : text.substr(0, e)) {
        if (c != '.')
            result.digits += c;
    }
    result.exponent = std::atoi(std::string(text.substr(e + 1)).c_str()) + 1;
    while (!result.digits.empty() && result.digits.back() == '0')
        result.digits.pop_back();
    return result;
}

// Rounds to `decimals` digits after the decimal point, a half away from zero.
void RoundToDecimals(Decimal& d, int decimals) {
    if (d.digits.empty())
        return;
    const long keep = static_cast<long>(d.exponent) + decimals;
    if (keep >= static_cast<long>(d.digits.size()))
        return;
    if (keep < 0) {
        d.digits.clear();
        return;
    }
    const bool up = d.digits[keep] >= '5';
    d.digits.resize(keep);
    if (up) {
        long i = keep - 1;
        while (i >= 0 && d.digits[i] == '9') {
            d.digits[i] = '0';
            --i;
        }
        if (i >= 0) {
            ++d.digits[i];
        } else {
            d.digits.insert(d.digits.begin(), '1');
            ++d.exponent;
        }
    }
    while (!d.digits.empty() && d.digits.back() == '0')
        d.digits.pop_back();
    if (d.digits.empty())
        d.exponent = 0;
}

// The digit at `index` of the digit string, 0 outside it.
char DigitAt(const Decimal& d, long index) {
    return index >= 0 && index < static_cast<long>(d.digits.size()) ? d.digits[index] : '0';
}

std::string IntegerDigits(const Decimal& d) {
    std::string digits;
    for (long i = 0; i < d.exponent; ++i)
        digits += DigitAt(d, i);
    return digits;
}

std::string GeneralForm(double value, const NumberSeparators& separators) {
    if (std::isnan(value))
        return "NAN";
    if (std::isinf(value))
        return value < 0 ? "-INF" : "INF";
    Decimal d = ToDecimal(std::fabs(value));
    if (d.digits.empty())
        return "0";
    std::string text = value < 0 ? "-" : "";
    if (d.exponent >= -4 && d.exponent <= kSignificantDigits) {
        std::string integer = IntegerDigits(d);
        text += integer.empty() ? "0" : integer;
        std::string fraction;
        for (long i = std::max(d.exponent, 0); i < static_cast<long>(d.digits.size()); ++i) {
            fraction += DigitAt(d, i);
        }
        if (d.exponent < 0)
            fraction.insert(0, -d.exponent, '0');
        if (!fraction.empty())
            text += separators.decimalPoint + fraction;
    } else {
        text += d.digits[0];
        if (d.digits.size() > 1)
            text += separators.decimalPoint + d.digits.substr(1);
        text += "E" + std::to_string(d.exponent - 1);
    }
    return text;
}

struct Token {
    enum Kind { IntegerDigit, FractionDigit, Point, Literal, Exponent } kind;
    char placeholder = 0;  // '0' or '#' for digits, the exponent's letter for Exponent
    char sign = 0;         // '+' or '-' for Exponent
    int exponentDigits = 0;
    std::string text;
};

struct Section {
    std::vector<Token> tokens;
    int integerPlaceholders = 0;
    int fractionPlaceholders = 0;
    int firstIntegerZero = -1;  // index among the integer placeholders, -1 when none is "0"
    int lastFractionZero = 0;   // 1-based position, 0 when no fraction placeholder is "0"
    bool thousands = false;
    bool scientific = false;
    bool empty = true;
};

std::vector<std::string_view> SplitSections(std::string_view pattern) {
    std::vector<std::string_view> sections;
    std::size_t start = 0;
    char quote = 0;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        char c = pattern[i];
        if (quote) {
            if (c == quote)
                quote = 0;
        } else if (c == '\'' || c == '"') {
            quote = c;
        } else if (c == ';') {
            sections.push_back(pattern.substr(start, i - start));
            start = i + 1;
        }
    }
    sections.push_back(pattern.substr(start));
    return sections;
}

Section ParseSection(std::string_view text) {
    Section section;
    section.empty = text.empty();
    bool afterPoint = false;
    bool afterExponent = false;
    auto literal = [&section](std::string_view chars) {
        if (!section.tokens.empty() && section.tokens.back().kind == Token::Literal) {
            section.tokens.back().text += chars;
        } else {
            section.tokens.push_back({Token::Literal, 0, 0, 0, std::string(chars)});
        }
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\'' || c == '"') {
            std::size_t end = text.find(c, i + 1);
            if (end == std::string_view::npos)
                end = text.size();
            literal(text.substr(i + 1, end - i - 1));
            i = end;
        } else if ((c == '0' || c == '#') && !afterExponent) {
            if (afterPoint) {
                ++section.fractionPlaceholders;
                if (c == '0')
                    section.lastFractionZero = section.fractionPlaceholders;
                section.tokens.push_back({Token::FractionDigit, c, 0, 0, {}});
            } else {
                if (c == '0' && section.firstIntegerZero < 0) {
                    section.firstIntegerZero = section.integerPlaceholders;
                }
                ++section.integerPlaceholders;
                section.tokens.push_back({Token::IntegerDigit, c, 0, 0, {}});
            }
        } else if (c == '.' && !afterExponent) {
            if (!afterPoint)
                section.tokens.push_back({Token::Point, 0, 0, 0, {}});
            afterPoint = true;
        } else if (c == ',') {
            section.thousands = true;
        } else if ((c == 'E' || c == 'e') && !afterExponent && i + 2 < text.size() &&
                   (text[i + 1] == '+' || text[i + 1] == '-') && text[i + 2] == '0') {
            std::size_t j = i + 2;
            while (j < text.size() && text[j] == '0')
                ++j;
            const int zeros = static_cast<int>(j - (i + 2));
            section.tokens.push_back({Token::Exponent, c, text[i + 1], std::min(zeros, 4), {}});
            section.scientific = true;
            afterExponent = true;
            i = j - 1;
        } else {
            literal(text.substr(i, 1));
        }
    }
    return section;
}

struct Rendered {
    std::string text;
    bool zero = true;  // the rounded magnitude is 0
};

Rendered RenderSection(const Section& section, double magnitude,
                       const NumberSeparators& separators) {
    Decimal d = ToDecimal(magnitude);
    int exponent10 = 0;
    if (section.scientific) {
        if (!d.digits.empty()) {
            exponent10 = d.exponent - section.integerPlaceholders;
            d.exponent = section.integerPlaceholders;
            RoundToDecimals(d, section.fractionPlaceholders);
            if (d.exponent > section.integerPlaceholders) {
                d.exponent = section.integerPlaceholders;
                ++exponent10;
            }
        }
    } else {
        RoundToDecimals(d, section.fractionPlaceholders);
    }

    const std::string integer = IntegerDigits(d);
    const int minimumIntegerDigits =
        section.firstIntegerZero < 0 ? 0 : section.integerPlaceholders - section.firstIntegerZero;
    const int width = std::max(static_cast<int>(integer.size()), minimumIntegerDigits);
    const std::string padded = std::string(width - integer.size(), '0') + integer;
    const int significantFraction =
        std::clamp(static_cast<int>(d.digits.size()) - d.exponent, 0, section.fractionPlaceholders);
    const int fractionCount = std::max(significantFraction, section.lastFractionZero);

    Rendered out;
    out.zero = d.digits.empty();
    std::string& text = out.text;
    // Emits the integer digits from position `from` down to `to` (0 is the units position).
    auto emitInteger = [&](int from, int to) {
        for (int position = from; position >= to; --position) {
            text += padded[width - 1 - position];
            if (section.thousands && position > 0 && position % 3 == 0) {
                text += separators.thousands;
            }
        }
    };
    bool integerDone = section.integerPlaceholders > 0;
    int integerIndex = 0;
    int fractionIndex = 0;
    for (const Token& token : section.tokens) {
        switch (token.kind) {
            case Token::IntegerDigit: {
                const int position = section.integerPlaceholders - 1 - integerIndex;
                if (integerIndex == 0) {
                    emitInteger(width - 1, position);
                } else if (position < width) {
                    emitInteger(position, position);
                }
                ++integerIndex;
                break;
            }
            case Token::Point:
                if (!integerDone) {
                    emitInteger(width - 1, 0);
                    integerDone = true;
                }
                if (fractionCount > 0)
                    text += separators.decimalPoint;
                break;
            case Token::FractionDigit:
                if (!integerDone) {
                    emitInteger(width - 1, 0);
                    integerDone = true;
                }
                ++fractionIndex;
                if (fractionIndex <= fractionCount)
                    text += DigitAt(d, d.exponent + fractionIndex - 1);
                break;
            case Token::Literal:
                text += token.text;
                break;
            case Token::Exponent: {
                text += token.placeholder;
                if (exponent10 < 0) {
                    text += '-';
                } else if (token.sign == '+') {
                    text += '+';
                }
                std::string digits = std::to_string(std::abs(exponent10));
                if (static_cast<int>(digits.size()) < token.exponentDigits) {
                    digits.insert(0, token.exponentDigits - digits.size(), '0');
                }
                text += digits;
                break;
            }
        }
    }
    return out;
}

}  // namespace

std::string FormatFloat(std::string_view pattern, double value,
                        const NumberSeparators& separators) {
    if (std::isnan(value) || std::isinf(value))
        return GeneralForm(value, separators);
    const std::vector<std::string_view> parts = SplitSections(pattern);
    const Section positive = ParseSection(parts[0]);
    const double magnitude = std::fabs(value);
    // A value that the positive section rounds to nothing counts as zero, so that it never
    // shows as "-0".
    const bool zero = positive.empty ? ToDecimal(magnitude).digits.empty()
                                     : RenderSection(positive, magnitude, separators).zero;
    int chosen = zero ? 2 : (value < 0 ? 1 : 0);
    if (chosen >= static_cast<int>(parts.size()) || parts[chosen].empty())
        chosen = 0;
    if (chosen == 0 && positive.empty)
        return GeneralForm(value, separators);

    Rendered rendered =
        RenderSection(chosen == 0 ? positive : ParseSection(parts[chosen]), magnitude, separators);
    if (chosen == 0 && value < 0 && !rendered.zero)
        rendered.text.insert(0, "-");
    return rendered.text;
}

std::optional<double> TextToFloat(std::string_view text, std::string_view decimalPoint) {
    auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);

    std::string normal;  // the number in the form std::from_chars reads
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        if (text[i] == '-')
            normal += '-';
        ++i;
    }
    auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    std::string integer;
    std::string fraction;
    while (i < text.size() && isDigit(text[i]))
        integer += text[i++];
    if (!decimalPoint.empty() && text.substr(i, decimalPoint.size()) == decimalPoint) {
        i += decimalPoint.size();
        while (i < text.size() && isDigit(text[i]))
            fraction += text[i++];
    }
    if (integer.empty() && fraction.empty())
        return std::nullopt;
    long exponent = 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        bool negative = false;
        if (i < text.size() && (text[i] == '+' || text[i] == '-'))
            negative = text[i++] == '-';
        if (i >= text.size() || !isDigit(text[i]))
            return std::nullopt;
        while (i < text.size() && isDigit(text[i])) {
            exponent = std::min(exponent * 10 + (text[i++] - '0'), 1'000'000L);
        }
        if (negative)
            exponent = -exponent;
    }
    if (i != text.size())
        return std::nullopt;

    normal += (integer.empty() ? "0" : integer) + "." + (fraction.empty() ? "0" : fraction) + "e" +
              std::to_string(exponent);
    double value = 0;
    auto [end, ec] = std::from_chars(normal.data(), normal.data() + normal.size(), value);
    if (ec == std::errc::result_out_of_range) {
        // Either far too small (reads as 0) or far too large (not a number a double holds).
        const std::size_t firstInteger = integer.find_first_not_of('0');
        long magnitude = 0;
        if (firstInteger != std::string::npos) {
            magnitude = static_cast<long>(integer.size() - firstInteger) + exponent;
        } else {
            const std::size_t firstFraction = fraction.find_first_not_of('0');
            if (firstFraction == std::string::npos)
                return 0.0;
            magnitude = exponent - static_cast<long>(firstFraction);
        }
        if (magnitude > 0)
            return std::nullopt;
        return normal.front() == '-' ? -0.0 : 0.0;
    }
    if (ec != std::errc() || end != normal.data() + normal.size())
        return std::nullopt;
    return value;
}

std::string RemoveAll(std::string_view text, std::string_view part) {
    if (part.empty())
        return std::string(text);
    std::string result;
    std::size_t start = 0;
    for (std::size_t at = text.find(part); at != std::string_view::npos;
         at = text.find(part, start)) {
        result += text.substr(start, at - start);
        start = at + part.size();
    }
    result += text.substr(start);
    return result;
}

}  // namespace tavrin
