#include "widgets/CellValues.h"

#include <charconv>
#include <cmath>
#include <ctime>
#include <vector>

namespace tavrin {

namespace {

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The positions of day, month and year in a date picture, as 0, 1, 2.
struct FieldOrder {
    int day = 0;
    int month = 1;
    int year = 2;
};

FieldOrder OrderOf(const DateFormat& format) {
    std::size_t d = format.shortDate.find_first_of("dD");
    std::size_t m = format.shortDate.find_first_of("mM");
    std::size_t y = format.shortDate.find_first_of("yY");
    if (d == std::string::npos || m == std::string::npos || y == std::string::npos)
        return {};
    auto rank = [](std::size_t self, std::size_t a, std::size_t b) {
        return int(self > a) + int(self > b);
    };
    return {rank(d, m, y), rank(m, d, y), rank(y, d, m)};
}

// Splits "12-03-2024" or "12/3" into numbers; no value when a field is not all digits.
std::optional<std::vector<int>> NumberFields(std::string_view text, std::string_view separators) {
    std::vector<int> fields;
    std::size_t i = 0;
    while (i < text.size()) {
        std::size_t start = i;
        while (i < text.size() && IsDigit(text[i]))
            ++i;
        if (i == start || i - start > 4)
            return std::nullopt;
        int value = 0;
        std::from_chars(text.data() + start, text.data() + i, value);
        fields.push_back(value);
        if (i == text.size())
            break;
        if (separators.find(text[i]) == std::string_view::npos)
            return std::nullopt;
        ++i;
        if (i == text.size())
            return std::nullopt;
    }
    return fields;
}

}  // namespace

std::optional<double> ParseNumber(std::string_view text) {
    text = Trim(text);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    if (text.empty())
        return std::nullopt;
    double value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

std::string ShortestNumberText(double value) {
    if (value == 0)
        return "0";
    char buffer[64];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    std::string text(buffer, end);
    // Exponents as "1E20" and "1E-5".
    std::size_t e = text.find('e');
    if (e != std::string::npos) {
        std::string exponent = text.substr(e + 1);
        if (!exponent.empty() && exponent.front() == '+')
            exponent.erase(0, 1);
        text = text.substr(0, e) + "E" + exponent;
    }
    return text;
}

bool IsValidDate(int year, int month, int day) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1)
        return false;
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return day <= kDays[month - 1] + (month == 2 && leap ? 1 : 0);
}

DateTime Today() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, 0, 0, 0};
}

std::optional<DateTime> ParseDateTime(std::string_view text, const DateFormat& format) {
    text = Trim(text);
    std::string_view datePart = text;
    std::string_view timePart;
    if (std::size_t blank = text.find(' '); blank != std::string_view::npos) {
        datePart = text.substr(0, blank);
        timePart = Trim(text.substr(blank + 1));
    }
    auto fields = NumberFields(datePart, "-/.");
    if (!fields || fields->size() < 2 || fields->size() > 3)
        return std::nullopt;

    FieldOrder order = OrderOf(format);
    DateTime result;
    if (fields->size() == 2) {
        // Day and month in their order in the picture, the year of today.
        bool dayFirst = order.day < order.month;
        result.day = (*fields)[dayFirst ? 0 : 1];
        result.month = (*fields)[dayFirst ? 1 : 0];
        result.year = Today().year;
    } else {
        result.day = (*fields)[order.day];
        result.month = (*fields)[order.month];
        result.year = (*fields)[order.year];
        std::size_t yearDigits = 0;
        {
            // Count the digits the year was typed with.
            int field = 0;
            std::size_t i = 0;
            while (i < datePart.size()) {
                std::size_t start = i;
                while (i < datePart.size() && IsDigit(datePart[i]))
                    ++i;
                if (field == order.year)
                    yearDigits = i - start;
                ++field;
                ++i;
            }
        }
        if (yearDigits <= 2)
            result.year += result.year < 50 ? 2000 : 1900;
    }
    if (!IsValidDate(result.year, result.month, result.day))
        return std::nullopt;

    if (!timePart.empty()) {
        auto time = NumberFields(timePart, ":");
        if (!time || time->size() < 2 || time->size() > 3)
            return std::nullopt;
        result.hour = (*time)[0];
        result.minute = (*time)[1];
        result.second = time->size() == 3 ? (*time)[2] : 0;
        if (result.hour > 23 || result.minute > 59 || result.second > 59)
            return std::nullopt;
    }
    return result;
}

}  // namespace tavrin
