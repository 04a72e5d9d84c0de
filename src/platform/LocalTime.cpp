// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/LocalTime.h"

namespace tavrin {

std::tm LocalTime(std::int64_t at) {
    const std::time_t time = static_cast<std::time_t>(at);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &time);
#else
    localtime_r(&time, &local);
#endif
    return local;
}

std::string LocalTimeText(std::int64_t at, const char* format) {
    const std::tm local = LocalTime(at);
    char text[128];
    const std::size_t length = std::strftime(text, sizeof text, format, &local);
    return std::string(text, length);
}

}  // namespace tavrin
