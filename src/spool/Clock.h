#pragma once

namespace tavrin {

// A moment of the local day, to the minute.
struct TimeOfDay {
    int hour = 0;    // 0..23
    int minute = 0;  // 0..59

    bool operator==(const TimeOfDay&) const = default;
};

// Where the scheduler reads the local time of day. Hour and minute come in one call so that a
// reading taken as the hour turns over cannot pair the old hour with the new minute.
class Clock {
public:
    virtual ~Clock() = default;
    virtual TimeOfDay Now() const = 0;
};

// The machine's local time, with its time zone and daylight saving.
class LocalClock : public Clock {
public:
    TimeOfDay Now() const override;
};

}  // namespace tavrin
