// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <ctime>
#include <string>

namespace tavrin {

// The machine's local time (its time zone and daylight saving) at `at`, seconds since the epoch.
std::tm LocalTime(std::int64_t at);
// That time written by strftime's `format`, e.g. "%Y-%m-%d %H:%M".
std::string LocalTimeText(std::int64_t at, const char* format);

}  // namespace tavrin
