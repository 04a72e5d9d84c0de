#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "widgets/CellValues.h"

namespace tavrin {

// Formats a number with a number picture: '0' a digit always shown, '#' a digit shown when
// significant, '.' the decimal point, ',' anywhere among the digits thousands separators, text
// in quotes and other characters as they are; up to three sections "positive;negative;zero".
std::string FormatNumberPicture(double value, std::string_view picture);

// Formats a date-time with a picture: d dd ddd dddd m mm mmm mmmm yy yyyy h hh n nn s ss,
// text in quotes and other characters as they are.
std::string FormatDateTimePicture(const DateTime& value, std::string_view picture);

// The text a cell shows under a display mask, or no value when the text does not convert.
std::optional<std::string> FormatNumberCell(std::string_view text, std::string_view mask);
std::optional<std::string> FormatDateCell(std::string_view text, std::string_view mask,
                                          const DateFormat& format);

}  // namespace tavrin
