#include <ctime>

#include "spool/Clock.h"

namespace tavrin {

TimeOfDay LocalClock::Now() const {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    return TimeOfDay{local.tm_hour, local.tm_min};
}

}  // namespace tavrin
