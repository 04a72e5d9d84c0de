#pragma once

#include <functional>

#include "platform/Form.h"
#include "spool/Clock.h"

namespace tavrin {

// Starts the spool run at the hour and minute set in Uur and Minuut, and again every day at that
// time while the program runs and Schedule stays checked. Works on the window's controls: the
// check box Schedule, the edits Uur and Minuut with their labels Label2 and Label4, the timer
// Timer1 and the print button OKPrint. The window calls the handlers below from the controls'
// events; the spool run is the callback given at construction.
class Scheduler {
public:
    static constexpr int kTickInterval = 1000;     // ms between looks at the clock
    static constexpr int kPauseAfterRun = 120000;  // ms after a run, so its minute has passed

    Scheduler(Form& form, const Clock& clock, std::function<void()> spoolRun);

    // Click on Schedule: starts or stops the timer and shows or hides the time edits. Unchecking
    // it after the print button has armed the start gives the print button back.
    void ScheduleClick();

    // Range keeping of the time edits. A value written by code above the range wraps the hour to
    // 0 (UurChange); leaving or clicking an edit with a typed value above the range gives the
    // highest hour or minute.
    void UurChange();
    void UurClick();
    void UurExit();
    void MinuutChange();
    void MinuutClick();
    void MinuutExit();

    // One tick of Timer1: runs the spool run when the local time is the set minute, then pauses
    // two minutes. An error thrown by the run goes to the caller and leaves Timer1 disabled, so
    // the schedule stops until Schedule is checked again.
    void Timer1Timer();

    // The print button's scheduled branch: enables Timer1, shows "Starts at HH:MM" on OKPrint and
    // disables it until the run.
    void ArmScheduledStart();

    // True while a run started here is under way.
    bool running() const { return running_; }

private:
    void RunSpool();
    static void KeepAtMost(ValueControl& edit, int highest, int replacement);

    Form& form_;
    const Clock& clock_;
    std::function<void()> spoolRun_;
    bool armed_ = false;
    bool running_ = false;
};

}  // namespace tavrin
