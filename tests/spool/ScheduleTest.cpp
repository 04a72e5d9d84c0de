// SPDX-License-Identifier: GPL-3.0-or-later
#include "spool/Schedule.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace tavrin::test {
namespace {

using Times = std::vector<long long>;

long long At(int day, int hour, int minute, int second = 0) {
    return ((static_cast<long long>(day) * 24 + hour) * 60 + minute) * 60000LL + second * 1000LL;
}
TimeOfDay TimeAt(long long ms) {
    return {static_cast<int>(ms / 3600000 % 24), static_cast<int>(ms / 60000 % 60)};
}

TEST(Schedule, IsDueOnlyWhileOnAndInItsOwnMinute) {
    const std::tuple<bool, int, int, TimeOfDay, bool> rows[] = {
        {true, 7, 5, {7, 5}, true},     {false, 7, 5, {7, 5}, false},  {true, 7, 5, {7, 6}, false},
        {true, 7, 5, {8, 5}, false},    {true, 5, 7, {7, 5}, false},   {true, 0, 0, {0, 0}, true},
        {true, 23, 59, {23, 59}, true}, {true, 12, 0, {0, 12}, false},
    };
    for (const auto& [on, hour, minute, now, due] : rows) {
        EXPECT_EQ((Schedule{on, hour, minute}.IsDue(now)), due)
            << on << " " << hour << ":" << minute << " at " << now.hour << ":" << now.minute;
    }
    EXPECT_FALSE(Schedule{}.IsDue({12, 0}));  // a new window's schedule is off
}

// What a program writes into the hour edit wraps past the day's last hour; what a user leaves in
// an edit stays at the last hour or minute.
TEST(Schedule, TimeEditsKeepTheirRange) {
    using Rule = int (*)(int);
    const std::tuple<Rule, int, int> rows[] = {
        {&HourAsWritten, 24, 0},    {&HourAsWritten, 23, 23}, {&HourAsWritten, 0, 0},
        {&HourAsWritten, 99, 0},    {&HourAsEntered, 24, 23}, {&HourAsEntered, 23, 23},
        {&HourAsEntered, 0, 0},     {&HourAsEntered, 99, 23}, {&MinuteAsEntered, 60, 59},
        {&MinuteAsEntered, 59, 59}, {&MinuteAsEntered, 0, 0}, {&MinuteAsEntered, 75, 59},
    };
    for (const auto& [rule, value, kept] : rows)
        EXPECT_EQ(rule(value), kept) << value;
}

// A window looks at the clock every kLookIntervalMs from the moment Schedule is checked, and
// after a run waits kPauseAfterRunMs before it looks again: one run in the set minute of each day.
TEST(Schedule, LooksAtTheClockOftenEnoughForOneRunInTheSetMinuteOfEachDay) {
    const std::tuple<const char*, int, int, long long, long long, Times> rows[] = {
        {"At2359", 23, 59, At(0, 23, 58), At(2, 0, 5), {At(0, 23, 59), At(1, 23, 59)}},
        {"CheckedInsideTheMinute", 7, 30, At(0, 7, 30, 41), At(1, 7, 29), {At(0, 7, 30, 42)}},
        {"CheckedAfterTheMinute", 14, 15, At(0, 14, 16), At(1, 14, 16), {At(1, 14, 15)}},
        {"Midnight", 0, 0, At(0, 23, 59, 59), At(2, 0, 0, 30), {At(1, 0, 0), At(2, 0, 0)}},
    };
    for (const auto& [name, hour, minute, checkedAt, until, runs] : rows) {
        SCOPED_TRACE(name);
        const Schedule schedule{true, hour, minute};
        Times started;
        for (long long now = checkedAt, wait = Schedule::kLookIntervalMs; now + wait <= until;) {
            now += wait;
            wait = Schedule::kLookIntervalMs;
            if (schedule.IsDue(TimeAt(now))) {
                started.push_back(now);
                wait = Schedule::kPauseAfterRunMs;
            }
        }
        EXPECT_EQ(started, runs);
    }
}

}  // namespace
}  // namespace tavrin::test
