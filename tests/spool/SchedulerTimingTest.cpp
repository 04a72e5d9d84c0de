#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SchedulerFixture.h"
#include "platform/Error.h"

namespace tavrin::test {
namespace {

using Times = std::vector<long long>;
constexpr long long kSecond = 1000;
constexpr long long kMinute = 60 * kSecond;

TEST_F(SchedulerTest, StartAt2359RunsOnceInThatMinuteAndAgainTheNextDay) {
    SetStart(23, 59);
    clock.ms = SettableClock::At(0, 23, 58, 0);
    form.schedule.setChecked(true);

    RunUntil(SettableClock::At(2, 0, 5));
    // The first tick inside 23:59 starts it; the ticks after it within the minute do not.
    EXPECT_EQ(runStarts, (Times{SettableClock::At(0, 23, 59), SettableClock::At(1, 23, 59)}));
    EXPECT_FALSE(timerEnabledDuringRun);
    EXPECT_TRUE(form.timer1.enabled());
    EXPECT_EQ(form.timer1.interval(), 1000);
}

TEST_F(SchedulerTest, CheckedInsideTheSetMinuteStartsWithinASecond) {
    SetStart(7, 30);
    clock.ms = SettableClock::At(0, 7, 30, 41);
    form.schedule.setChecked(true);
    RunUntil(SettableClock::At(0, 7, 35));
    EXPECT_EQ(runStarts, (Times{SettableClock::At(0, 7, 30, 42)}));
}

TEST_F(SchedulerTest, TwoMinutePauseAfterARunThenOneSecondTicksAgain) {
    SetStart(6, 0);
    clock.ms = SettableClock::At(0, 5, 59, 58);
    form.schedule.setChecked(true);
    RunUntil(SettableClock::At(0, 6, 0, 0));
    ASSERT_EQ(runStarts.size(), 1u);
    EXPECT_TRUE(form.timer1.enabled());
    EXPECT_EQ(form.timer1.interval(), 120000);

    RunUntil(SettableClock::At(0, 6, 2, 0));  // the tick that ends the pause
    EXPECT_EQ(form.timer1.interval(), 1000);
    EXPECT_EQ(runStarts.size(), 1u);
}

class SchedulerLongRun : public SchedulerTest, public ::testing::WithParamInterface<long long> {};

TEST_P(SchedulerLongRun, RunIsStartedOnceADayWhateverItsLength) {
    runDuration = GetParam();
    SetStart(23, 59);
    clock.ms = SettableClock::At(0, 23, 50);
    form.schedule.setChecked(true);
    RunUntil(SettableClock::At(1, 23, 58));
    EXPECT_EQ(runStarts, (Times{SettableClock::At(0, 23, 59)}));
    RunUntil(SettableClock::At(2, 1, 0));
    EXPECT_EQ(runStarts.size(), 2u);
}

INSTANTIATE_TEST_SUITE_P(Durations, SchedulerLongRun,
                         ::testing::Values(0, 1 * kSecond, 59 * kSecond, 61 * kSecond,
                                           119 * kSecond, 3 * kMinute, 90 * kMinute));

TEST_F(SchedulerTest, NothingRunsOutsideTheSetMinute) {
    SetStart(14, 15);
    clock.ms = SettableClock::At(0, 14, 16);
    form.schedule.setChecked(true);
    RunUntil(SettableClock::At(1, 14, 14, 59));
    EXPECT_TRUE(runStarts.empty());
    RunUntil(SettableClock::At(1, 14, 16));
    EXPECT_EQ(runStarts, (Times{SettableClock::At(1, 14, 15)}));
}

TEST_F(SchedulerTest, ChangedTimeWhileWaitingIsReadAtEveryTick) {
    SetStart(10, 0);
    clock.ms = SettableClock::At(0, 9, 0);
    form.schedule.setChecked(true);
    RunUntil(SettableClock::At(0, 9, 30));
    form.hours.TypeAndLeave(9);
    form.minutes.TypeAndLeave(45);
    RunUntil(SettableClock::At(0, 10, 30));
    EXPECT_EQ(runStarts, (Times{SettableClock::At(0, 9, 45)}));
}

TEST_F(SchedulerTest, ErrorInAScheduledRunReachesTheCallerAndStopsTheSchedule) {
    runError = "Cannot open file /plots/gone.plt";
    SetStart(2, 30);
    clock.ms = SettableClock::At(0, 2, 29, 59);
    form.schedule.setChecked(true);
    clock.ms += 1000;
    try {
        scheduler.Timer1Timer();
        FAIL() << "the run's error was swallowed";
    } catch (const Error& error) {
        EXPECT_EQ(std::string(error.what()), "Cannot open file /plots/gone.plt");
    }
    EXPECT_FALSE(form.timer1.enabled());
    EXPECT_FALSE(scheduler.running());

    runError.clear();
    RunUntil(SettableClock::At(3, 3, 0));
    EXPECT_EQ(runStarts.size(), 1u);

    // Checking Schedule again restarts it.
    form.schedule.setChecked(false);
    form.schedule.setChecked(true);
    RunUntil(SettableClock::At(4, 3, 0));
    EXPECT_EQ(runStarts.size(), 2u);
    EXPECT_EQ(runStarts.back(), SettableClock::At(4, 2, 30));
}

TEST_F(SchedulerTest, UncheckingScheduleDuringARunEndsTheSchedule) {
    SetStart(20, 0);
    clock.ms = SettableClock::At(0, 19, 59, 59);
    form.schedule.setChecked(true);
    duringRun = [this] { form.schedule.setChecked(false); };
    RunUntil(SettableClock::At(3, 0, 0));
    EXPECT_EQ(runStarts.size(), 1u);
    EXPECT_FALSE(form.timer1.enabled());
    EXPECT_EQ(form.okPrint.caption(), "&OK, Print!!");
    EXPECT_TRUE(form.okPrint.enabled());
}

TEST_F(SchedulerTest, TickDuringARunNeverStartsASecondOne) {
    // While the run lets the window handle messages, the user unchecks and checks Schedule again,
    // which enables the timer, and a tick of the set minute arrives.
    SetStart(20, 0);
    clock.ms = SettableClock::At(0, 19, 59, 59);
    form.schedule.setChecked(true);
    duringRun = [this] {
        form.schedule.setChecked(false);
        form.schedule.setChecked(true);
        clock.ms += 1000;
        scheduler.Timer1Timer();
    };
    RunUntil(SettableClock::At(0, 20, 1));
    EXPECT_EQ(runStarts.size(), 1u);
    EXPECT_TRUE(form.timer1.enabled());
    EXPECT_EQ(form.timer1.interval(), 120000);
    duringRun = nullptr;
    RunUntil(SettableClock::At(1, 20, 1));
    EXPECT_EQ(runStarts.size(), 2u);
}

TEST(LocalClock, GivesAnHourAndMinuteOfTheDay) {
    const TimeOfDay now = LocalClock().Now();
    EXPECT_GE(now.hour, 0);
    EXPECT_LE(now.hour, 23);
    EXPECT_GE(now.minute, 0);
    EXPECT_LE(now.minute, 59);
}

}  // namespace
}  // namespace tavrin::test
