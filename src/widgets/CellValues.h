#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tavrin {

struct DateTime {
    int year = 1899;
    int month = 12;
    int day = 30;
    int hour = 0;
    int minute = 0;
    int second = 0;

    bool operator==(const DateTime&) const = default;
};

// The short date format of the grid: a date picture (d, dd, m, mm, yy, yyyy and separators). The
// order of d, m and y in it is also the order in which typed dates are read.
struct DateFormat {
    std::string shortDate = "dd-mm-yyyy";
};

// Reads a decimal floating-point number; blanks around it are allowed. No value for anything
// else, also for infinities and NaN.
std::optional<double> ParseNumber(std::string_view text);

// The shortest decimal text that reads back as the same number ("7", "1.5", "1E20").
std::string ShortestNumberText(double value);

// Reads a date in the order of `format` (two fields: day and month of this year), optionally
// followed by a time "h:n" or "h:n:s". Two-digit years are 1950..2049.
std::optional<DateTime> ParseDateTime(std::string_view text, const DateFormat& format);

// The local date today, at midnight.
DateTime Today();

bool IsValidDate(int year, int month, int day);

}  // namespace tavrin
