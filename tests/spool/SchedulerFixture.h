#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "joblist/GridModel.h"
#include "platform/Error.h"
#include "platform/PlainForm.h"
#include "spool/Clock.h"
#include "spool/Scheduler.h"

namespace tavrin::test {

// An integer edit with the window's "00" format that, like the real one, takes a typed value only
// when it is left: while the user types, the change handler runs with the value from before.
class TypedIntegerEdit : public PlainValueControl {
public:
    explicit TypedIntegerEdit(int value) : PlainValueControl(value) {}

    std::function<void()> onClick;
    std::function<void()> onExit;

    std::string caption() const override {
        char text[16];
        std::snprintf(text, sizeof text, "%02d", value());
        return text;
    }

    // The user types `typed` and leaves the edit.
    void TypeAndLeave(int typed) {
        if (onChange)
            onChange();  // the text changed; the value has not yet
        const auto handler = std::exchange(onChange, nullptr);
        setValue(typed);  // the text already reads so: no change event
        onChange = handler;
        if (onExit)
            onExit();
    }
    void Click() {
        if (onClick)
            onClick();
    }
};

class SchedulerForm : public PlainForm {
public:
    explicit SchedulerForm(Grid& grid) : PlainForm(grid) {}
    TypedIntegerEdit hours{12};
    TypedIntegerEdit minutes{0};
    ValueControl& Uur() override { return hours; }
    ValueControl& Minuut() override { return minutes; }
};

// Local time that the test moves on, in milliseconds since midnight of day 0.
class SettableClock : public Clock {
public:
    long long ms = 0;

    static long long At(int day, int hour, int minute, int second = 0) {
        return ((static_cast<long long>(day) * 24 + hour) * 60 + minute) * 60000LL +
               second * 1000LL;
    }
    TimeOfDay Now() const override {
        const long long minutes = ms / 60000;
        return TimeOfDay{static_cast<int>(minutes / 60 % 24), static_cast<int>(minutes % 60)};
    }
};

// The main window with the scheduler wired to its controls as the window wires them, a clock
// the test sets, and a spool run that records when it ran, takes `runDuration` of clock time and
// does to the print button what a real run does.
class SchedulerTest : public ::testing::Test {
protected:
    SchedulerTest() {
        form.schedule.onClick = [this] { scheduler.ScheduleClick(); };
        form.hours.onChange = [this] { scheduler.UurChange(); };
        form.hours.onClick = [this] { scheduler.UurClick(); };
        form.hours.onExit = [this] { scheduler.UurExit(); };
        form.minutes.onChange = [this] { scheduler.MinuutChange(); };
        form.minutes.onClick = [this] { scheduler.MinuutClick(); };
        form.minutes.onExit = [this] { scheduler.MinuutExit(); };
        // The window's start-up state.
        form.timer1.setEnabled(false);
        form.timer1.setInterval(1000);
        for (Control* control :
             {static_cast<Control*>(&form.hours), static_cast<Control*>(&form.minutes),
              static_cast<Control*>(&form.label2), static_cast<Control*>(&form.label4)})
            control->setVisible(false);
    }

    void SpoolRun() {
        runStarts.push_back(clock.ms);
        timerEnabledDuringRun = timerEnabledDuringRun || form.timer1.enabled();
        form.okPrint.setCaption("Busy!");
        form.okPrint.setEnabled(false);
        if (duringRun)
            duringRun();
        clock.ms += runDuration;
        if (!runError.empty())
            throw Error(runError);
        form.okPrint.setCaption("&OK, Print!!");
        form.okPrint.setEnabled(true);
    }

    void SetStart(int hour, int minute) {
        form.hours.setValue(hour);
        form.minutes.setValue(minute);
    }

    // Lets time pass up to `until`, delivering Timer1's ticks as the window's timer does: one
    // tick each interval while the timer is enabled, the next interval counted from the end of
    // the tick's handler.
    void RunUntil(long long until) {
        while (form.timer1.enabled()) {
            const long long next = clock.ms + form.timer1.interval();
            if (next > until)
                break;
            clock.ms = next;
            scheduler.Timer1Timer();
        }
        if (clock.ms < until)
            clock.ms = until;
    }

    GridModel grid;
    SchedulerForm form{grid};
    SettableClock clock;
    Scheduler scheduler{form, clock, [this] { SpoolRun(); }};

    std::vector<long long> runStarts;
    long long runDuration = 0;
    std::string runError;
    std::function<void()> duringRun;
    bool timerEnabledDuringRun = false;
};

}  // namespace tavrin::test
