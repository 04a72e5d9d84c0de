#include "spool/Schedule.h"

namespace tavrin {

int HourAsWritten(int hour) {
    return hour > Schedule::kLastHour ? 0 : hour;
}
int HourAsEntered(int hour) {
    return hour > Schedule::kLastHour ? Schedule::kLastHour : hour;
}
int MinuteAsEntered(int minute) {
    return minute > Schedule::kLastMinute ? Schedule::kLastMinute : minute;
}

}  // namespace tavrin
