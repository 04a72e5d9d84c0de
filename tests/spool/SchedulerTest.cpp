// SPDX-License-Identifier: GPL-3.0-or-later
#include "spool/Scheduler.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "joblist/GridModel.h"
#include "platform/Error.h"
#include "platform/PlainForm.h"
#include "spool/Clock.h"

namespace tavrin::test {
namespace {

using Times = std::vector<long long>;
constexpr const char* kIdleCaption = "&OK, Print!!";

long long At(int day, int hour, int minute, int second = 0) {
    return ((static_cast<long long>(day) * 24 + hour) * 60 + minute) * 60000LL + second * 1000LL;
}

// The controls wired as the window wires them, a clock at `now` (ms since midnight of day 0), and a
// spool run that records when it ran and does to the print button what a real run does.
struct SchedulerTest : public ::testing::Test, public Clock {
    SchedulerTest() {
        form.schedule.onClick = [this] { scheduler.ScheduleClick(); };
        form.timer1.setEnabled(false);  // the window's start-up state
        form.timer1.setInterval(1000);
        for (Control* control : timeEdits)
            control->setVisible(false);
    }
    TimeOfDay Now() const override {
        return TimeOfDay{static_cast<int>(now / 3600000 % 24), static_cast<int>(now / 60000 % 60)};
    }
    void SpoolRun() {
        runStarts.push_back(now);
        timerEnabledDuringRun = timerEnabledDuringRun || form.timer1.enabled();
        form.okPrint.setCaption("Busy!");
        form.okPrint.setEnabled(false);
        duringRun();
        form.okPrint.setCaption(kIdleCaption);
        form.okPrint.setEnabled(true);
    }
    void Check(int hour, int minute, long long at) {
        form.uur.setValue(hour);
        form.minuut.setValue(minute);
        now = at;
        form.schedule.setChecked(true);
    }

    // Lets time pass up to `until` with Timer1's ticks, each interval counted from the last tick.
    void RunUntil(long long until) {
        while (form.timer1.enabled() && now + form.timer1.interval() <= until) {
            now += form.timer1.interval();
            scheduler.Timer1Timer();
        }
        now = std::max(now, until);
    }

    // The button's caption, and "/off" when it is disabled.
    std::string Button() { return form.okPrint.caption() + (form.okPrint.enabled() ? "" : "/off"); }

    GridModel grid;
    PlainForm form{grid};
    Control* const timeEdits[4] = {&form.uur, &form.minuut, &form.label2, &form.label4};
    long long now = 0;
    Scheduler scheduler{form, *this, [this] { SpoolRun(); }};

    Times runStarts;
    std::function<void()> duringRun = [] {};
    bool timerEnabledDuringRun = false;
};

TEST_F(SchedulerTest, ScheduleBoxAndArmedStartDriveTheTimerTheEditsAndTheButton) {
    for (const bool on : {true, false}) {
        form.schedule.setChecked(on);
        EXPECT_EQ(form.timer1.enabled(), on);
        for (Control* control : timeEdits)
            EXPECT_EQ(control->visible(), on);
    }
    EXPECT_EQ(Button(), "     &OK, Print!!");  // unarmed, the button is left alone

    // Unchecked before its start, an armed start gives the button back.
    Check(23, 59, At(0, 12, 0));
    scheduler.ArmScheduledStart();
    EXPECT_EQ(Button(), "Starts at 23:59/off");
    form.schedule.setChecked(false);
    EXPECT_EQ(Button(), kIdleCaption);
    RunUntil(At(2, 0, 0));
    EXPECT_TRUE(runStarts.empty());

    // Once it runs, the run owns the button: unchecking then ends only the schedule.
    Check(7, 5, At(2, 6, 0));
    form.timer1.setEnabled(false);  // whatever happened since, the button starts the timer
    scheduler.ArmScheduledStart();
    EXPECT_TRUE(form.timer1.enabled());
    RunUntil(At(2, 7, 4, 59));
    EXPECT_EQ(Button(), "Starts at 7:5/off");
    std::string captionAfterUncheck;
    duringRun = [&] {
        form.schedule.setChecked(false);
        captionAfterUncheck = form.okPrint.caption();
    };
    RunUntil(At(5, 0, 0));
    EXPECT_EQ(std::tuple(captionAfterUncheck, runStarts, form.timer1.enabled()),
              std::tuple("Busy!", Times{At(2, 7, 5)}, false));
    EXPECT_EQ(Button(), kIdleCaption);
}

// The start, when Schedule is checked, how long time passes, and the runs that start.
TEST_F(SchedulerTest, RunsStartOnceInTheSetMinuteOfEachDay) {
    const std::tuple<const char*, int, int, long long, long long, Times> rows[] = {
        {"At2359", 23, 59, At(0, 23, 58), At(2, 0, 5), {At(0, 23, 59), At(1, 23, 59)}},
        {"CheckedInsideTheMinute", 7, 30, At(0, 7, 30, 41), At(1, 7, 29), {At(0, 7, 30, 42)}},
        {"CheckedAfterTheMinute", 14, 15, At(0, 14, 16), At(1, 14, 16), {At(1, 14, 15)}},
    };
    for (const auto& [name, hour, minute, checkedAt, until, runs] : rows) {
        SCOPED_TRACE(name);
        form.schedule.setChecked(false);
        form.timer1.setInterval(1000);
        runStarts.clear();
        Check(hour, minute, checkedAt);
        RunUntil(until);
        EXPECT_EQ(runStarts, runs);
    }
    EXPECT_FALSE(timerEnabledDuringRun);
}

TEST_F(SchedulerTest, TickDuringARunNeverStartsASecondOneAndAnErrorStopsTheSchedule) {
    // While the run lets the window handle messages, the user unchecks and checks Schedule again,
    // which enables the timer, and a tick of the set minute arrives.
    Check(20, 0, At(0, 19, 59, 59));
    duringRun = [this] {
        form.schedule.setChecked(false);
        form.schedule.setChecked(true);
        now += 1000;
        scheduler.Timer1Timer();
    };
    RunUntil(At(0, 20, 0, 1));  // the nested tick came a second into the run
    // One run, then two minutes' pause, then ticks of a second again.
    EXPECT_EQ(std::tuple(runStarts.size(), form.timer1.enabled(), form.timer1.interval()),
              std::tuple(1u, true, 120000));
    RunUntil(At(0, 20, 2, 1));
    EXPECT_EQ(form.timer1.interval(), 1000);
    duringRun = [] {};
    RunUntil(At(1, 20, 1));
    EXPECT_EQ(runStarts.size(), 2u);

    // The error of a run reaches the caller and ends the schedule; checking it again restarts it.
    duringRun = [] { throw Error("Cannot open file /plots/gone.plt"); };
    EXPECT_THROW(RunUntil(At(2, 20, 1)), Error);
    EXPECT_FALSE(form.timer1.enabled() || scheduler.running());
    duringRun = [] {};
    RunUntil(At(4, 20, 1));
    EXPECT_EQ(runStarts.size(), 3u);
    form.schedule.setChecked(false);
    form.schedule.setChecked(true);
    RunUntil(At(5, 20, 1));
    EXPECT_EQ(runStarts.back(), At(5, 20, 0));
}

// Stored values go through the change handler, typed ones the exit handler; clicks keep it too.
TEST_F(SchedulerTest, TimeEditsKeepTheirRange) {
    using Handler = void (Scheduler::*)();
    const std::tuple<PlainValueControl*, Handler, int, int> rows[] = {
        {&form.uur, &Scheduler::UurChange, 24, 0},
        {&form.uur, &Scheduler::UurChange, 23, 23},
        {&form.minuut, &Scheduler::MinuutChange, 60, 59},
        {&form.uur, &Scheduler::UurExit, 24, 23},
        {&form.uur, &Scheduler::UurExit, 0, 0},
        {&form.minuut, &Scheduler::MinuutExit, 60, 59},
        {&form.uur, &Scheduler::UurClick, 24, 23},
        {&form.minuut, &Scheduler::MinuutClick, 60, 59}};
    for (const auto& [edit, handler, value, kept] : rows) {
        edit->setValue(value);
        (scheduler.*handler)();
        EXPECT_EQ(edit->value(), kept) << value;
    }
}

}  // namespace
}  // namespace tavrin::test
