#pragma once

#include "spool/Clock.h"

namespace tavrin {

// The start at a set time: on or off, and the hour and minute of the day a run starts at, every
// day while it stays on.
struct Schedule {
    static constexpr int kLastHour = 23;
    static constexpr int kLastMinute = 59;
    static constexpr int kLookIntervalMs = 1000;     // between looks at the clock
    static constexpr int kPauseAfterRunMs = 120000;  // after a run, so that its minute has passed

    bool on = false;
    int hour = 12;
    int minute = 0;

    bool IsDue(TimeOfDay now) const { return on && hour == now.hour && minute == now.minute; }

    bool operator==(const Schedule&) const = default;
};

// The hour a program writes: past the day's last it wraps to 0.
int HourAsWritten(int hour);
// The hour or minute a user leaves in its edit: past the last it is the last.
int HourAsEntered(int hour);
int MinuteAsEntered(int minute);

}  // namespace tavrin
