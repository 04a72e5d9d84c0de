#include <ctime>

#include "platform/LocalTime.h"
#include "spool/Clock.h"

namespace tavrin {

TimeOfDay LocalClock::Now() const {
    const std::tm local = LocalTime(std::time(nullptr));
    return TimeOfDay{local.tm_hour, local.tm_min};
}

}  // namespace tavrin
