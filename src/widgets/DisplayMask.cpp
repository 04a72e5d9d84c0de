#include "widgets/DisplayMask.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <vector>

namespace tavrin {

namespace {

std::vector<std::string_view> Sections(std::string_view picture) {
    std::vector<std::string_view> sections;
    std::size_t start = 0;
    char quote = 0;
    for (std::size_t i = 0; i < picture.size(); ++i) {
        char c = picture[i];
        if (quote) {
            if (c == quote)
                quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == ';') {
            sections.push_back(picture.substr(start, i - start));
            start = i + 1;
        }
    }
    sections.push_back(picture.substr(start));
    return sections;
}

// Groups the digits of a whole number by three with commas.
std::string WithThousands(const std::string& digits) {
    std::string out;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            out += ',';
        out += digits[i];
    }
    return out;
}

std::string FormatSection(double magnitude, std::string_view section) {
    // Find the placeholder area and what it asks for.
    std::size_t first = std::string_view::npos;
    std::size_t last = 0;
    char quote = 0;
    for (std::size_t i = 0; i < section.size(); ++i) {
        char c = section[i];
        if (quote) {
            if (c == quote)
                quote = 0;
            continue;
        }
        if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '0' || c == '#' || c == '.' || c == ',') {
            if (first == std::string_view::npos)
                first = i;
            last = i;
        }
    }
    auto literal = [](std::string_view text) {
        std::string out;
        char q = 0;
        for (char c : text) {
            if (q) {
                if (c == q) {
                    q = 0;
                } else {
                    out += c;
                }
            } else if (c == '"' || c == '\'') {
                q = c;
            } else {
                out += c;
            }
        }
        return out;
    };
    if (first == std::string_view::npos)
        return literal(section);

    std::string_view area = section.substr(first, last - first + 1);
    std::size_t point = area.find('.');
    std::string_view whole = area.substr(0, point);
    std::string_view fraction = point == std::string_view::npos ? "" : area.substr(point + 1);
    int minWhole = 0;
    bool thousands = false;
    for (char c : whole) {
        if (c == '0')
            ++minWhole;
        if (c == ',')
            thousands = true;
    }
    int minFraction = 0;
    int maxFraction = 0;
    for (char c : fraction) {
        if (c == '0')
            minFraction = ++maxFraction;
        if (c == '#')
            ++maxFraction;
    }

    char buffer[400];
    std::snprintf(buffer, sizeof buffer, "%.*f", maxFraction, magnitude);
    std::string text = buffer;
    std::string wholeDigits = text.substr(0, text.find('.'));
    std::string fractionDigits = maxFraction > 0 ? text.substr(text.find('.') + 1) : std::string();
    while (int(fractionDigits.size()) > minFraction && fractionDigits.back() == '0') {
        fractionDigits.pop_back();
    }
    if (wholeDigits == "0" && minWhole == 0)
        wholeDigits.clear();
    while (int(wholeDigits.size()) < minWhole)
        wholeDigits.insert(0, "0");
    if (thousands)
        wholeDigits = WithThousands(wholeDigits);

    std::string number = wholeDigits;
    if (!fractionDigits.empty())
        number += "." + fractionDigits;
    return literal(section.substr(0, first)) + number + literal(section.substr(last + 1));
}

bool StartsWithNoCase(std::string_view text, std::size_t at, std::string_view word) {
    if (at + word.size() > text.size())
        return false;
    for (std::size_t i = 0; i < word.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(text[at + i])) != word[i])
            return false;
    }
    return true;
}

std::string TwoDigits(int value) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%02d", value);
    return buffer;
}

int DayOfWeek(const DateTime& value) {  // 0 = Sunday
    int y = value.year;
    int m = value.month;
    if (m < 3) {
        m += 12;
        --y;
    }
    int k = y % 100;
    int j = y / 100;
    int h = (value.day + 13 * (m + 1) / 5 + k + k / 4 + j / 4 + 5 * j) % 7;  // 0 = Saturday
    return (h + 6) % 7;
}

}  // namespace

std::string FormatNumberPicture(double value, std::string_view picture) {
    std::vector<std::string_view> sections = Sections(picture);
    if (value == 0 && sections.size() >= 3 && !sections[2].empty()) {
        return FormatSection(0, sections[2]);
    }
    if (value < 0 && sections.size() >= 2 && !sections[1].empty()) {
        return FormatSection(-value, sections[1]);
    }
    std::string text = FormatSection(std::fabs(value), sections[0]);
    bool anyDigit = text.find_first_of("123456789") != std::string::npos;
    return value < 0 && anyDigit ? "-" + text : text;
}

std::string FormatDateTimePicture(const DateTime& value, std::string_view picture) {
    static constexpr const char* kMonths[] = {"January",   "February", "March",    "April",
                                              "May",       "June",     "July",     "August",
                                              "September", "October",  "November", "December"};
    static constexpr const char* kDays[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                            "Thursday", "Friday", "Saturday"};
    std::string out;
    bool afterHour = false;
    std::size_t i = 0;
    while (i < picture.size()) {
        char c = picture[i];
        if (c == '"' || c == '\'') {
            std::size_t end = picture.find(c, i + 1);
            if (end == std::string_view::npos)
                end = picture.size();
            out.append(picture.substr(i + 1, end - i - 1));
            i = end + 1;
            continue;
        }
        if (StartsWithNoCase(picture, i, "yyyy")) {
            char buffer[16];
            std::snprintf(buffer, sizeof buffer, "%04d", value.year);
            out += buffer;
            i += 4;
        } else if (StartsWithNoCase(picture, i, "yy")) {
            out += TwoDigits(value.year % 100);
            i += 2;
        } else if (StartsWithNoCase(picture, i, "dddd")) {
            out += kDays[DayOfWeek(value)];
            i += 4;
        } else if (StartsWithNoCase(picture, i, "ddd")) {
            out += std::string(kDays[DayOfWeek(value)]).substr(0, 3);
            i += 3;
        } else if (StartsWithNoCase(picture, i, "dd")) {
            out += TwoDigits(value.day);
            i += 2;
        } else if (StartsWithNoCase(picture, i, "d")) {
            out += std::to_string(value.day);
            i += 1;
        } else if (StartsWithNoCase(picture, i, "mmmm")) {
            out += kMonths[value.month - 1];
            i += 4;
        } else if (StartsWithNoCase(picture, i, "mmm")) {
            out += std::string(kMonths[value.month - 1]).substr(0, 3);
            i += 3;
        } else if (StartsWithNoCase(picture, i, "mm")) {
            // Right after an hour, "mm" means minutes.
            out += TwoDigits(afterHour ? value.minute : value.month);
            i += 2;
        } else if (StartsWithNoCase(picture, i, "m")) {
            out += std::to_string(afterHour ? value.minute : value.month);
            i += 1;
        } else if (StartsWithNoCase(picture, i, "hh")) {
            out += TwoDigits(value.hour);
            afterHour = true;
            i += 2;
            continue;
        } else if (StartsWithNoCase(picture, i, "h")) {
            out += std::to_string(value.hour);
            afterHour = true;
            i += 1;
            continue;
        } else if (StartsWithNoCase(picture, i, "nn")) {
            out += TwoDigits(value.minute);
            i += 2;
        } else if (StartsWithNoCase(picture, i, "n")) {
            out += std::to_string(value.minute);
            i += 1;
        } else if (StartsWithNoCase(picture, i, "ss")) {
            out += TwoDigits(value.second);
            i += 2;
        } else if (StartsWithNoCase(picture, i, "s")) {
            out += std::to_string(value.second);
            i += 1;
        } else {
            out += c;
            i += 1;
            if (c == ':')
                continue;  // "h:mm" keeps the minute meaning
        }
        afterHour = false;
    }
    return out;
}

std::optional<std::string> FormatNumberCell(std::string_view text, std::string_view mask) {
    std::optional<double> value = ParseNumber(text);
    if (!value)
        return std::nullopt;
    return FormatNumberPicture(*value, mask);
}

std::optional<std::string> FormatDateCell(std::string_view text, std::string_view mask,
                                          const DateFormat& format) {
    std::optional<DateTime> value = ParseDateTime(text, format);
    if (!value)
        return std::nullopt;
    return FormatDateTimePicture(*value, mask);
}

}  // namespace tavrin
