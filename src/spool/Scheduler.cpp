#include "spool/Scheduler.h"

#include <utility>

#include "platform/PrintButtonCaptions.h"

namespace tavrin {

namespace {

constexpr int kLastHour = 23;
constexpr int kLastMinute = 59;

void ShowTimeEdits(Form& form, bool visible) {
    form.Uur().setVisible(visible);
    form.Minuut().setVisible(visible);
    form.Label2().setVisible(visible);
    form.Label4().setVisible(visible);
}

}  // namespace

Scheduler::Scheduler(Form& form, const Clock& clock, std::function<void()> spoolRun)
    : form_(form), clock_(clock), spoolRun_(std::move(spoolRun)) {}

void Scheduler::ScheduleClick() {
    const bool on = form_.Schedule().checked();
    form_.Timer1().setEnabled(on);
    ShowTimeEdits(form_, on);
    if (!on && armed_) {
        armed_ = false;
        form_.OKPrint().setCaption(kPrintCaptionAfterRun);
        form_.OKPrint().setEnabled(true);
    }
}

void Scheduler::KeepAtMost(ValueControl& edit, int highest, int replacement) {
    if (edit.value() > highest)
        edit.setValue(replacement);
}

void Scheduler::UurChange() {
    KeepAtMost(form_.Uur(), kLastHour, 0);
}
void Scheduler::UurClick() {
    KeepAtMost(form_.Uur(), kLastHour, kLastHour);
}
void Scheduler::UurExit() {
    KeepAtMost(form_.Uur(), kLastHour, kLastHour);
}
void Scheduler::MinuutChange() {
    KeepAtMost(form_.Minuut(), kLastMinute, kLastMinute);
}
void Scheduler::MinuutClick() {
    KeepAtMost(form_.Minuut(), kLastMinute, kLastMinute);
}
void Scheduler::MinuutExit() {
    KeepAtMost(form_.Minuut(), kLastMinute, kLastMinute);
}

void Scheduler::Timer1Timer() {
    // A tick can still arrive while a run lets the window handle its messages, when Schedule was
    // checked again meanwhile; a second run must not start inside the first.
    if (running_)
        return;
    Timer& timer = form_.Timer1();
    timer.setInterval(kTickInterval);
    const TimeOfDay now = clock_.Now();
    if (form_.Minuut().value() != now.minute || form_.Uur().value() != now.hour)
        return;

    timer.setEnabled(false);
    RunSpool();
    timer.setInterval(kPauseAfterRun);
    // Schedule may have been unchecked while the run was under way: then the schedule is over.
    timer.setEnabled(form_.Schedule().checked());
}

void Scheduler::ArmScheduledStart() {
    form_.Timer1().setEnabled(true);
    form_.OKPrint().setCaption("Starts at " + form_.Uur().caption() + ":" +
                               form_.Minuut().caption());
    form_.OKPrint().setEnabled(false);
    armed_ = true;
}

void Scheduler::RunSpool() {
    // From here the run owns the button; unchecking Schedule no longer gives it back.
    armed_ = false;
    running_ = true;
    struct RunningReset {
        bool& flag;
        ~RunningReset() { flag = false; }
    } reset{running_};
    spoolRun_();
}

}  // namespace tavrin
