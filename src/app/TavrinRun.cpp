// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's spool run, on a thread of its own, and its start at a set time.
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <utility>

#include "app/ErrorBox.h"
#include "app/HotFolderWatch.h"
#include "app/JobLogDialog.h"
#include "app/PrintButtonCaptions.h"
#include "app/TavrinUnit.h"
#include "platform/Error.h"
#include "spool/Schedule.h"
#include "widgets/IntegerEdit.h"
#include "widgets/JobListGrid.h"

namespace tavrin {

// How a run ended, as the window shows it.
struct TTavrinForm::RunEnd {
    SpoolRunReport report;
    bool failed = false;
    std::string error;  // the message of the error that ended it
};

// What the run tells, handed from its thread to the window's. Nothing here waits for the
// window's thread.
class TTavrinForm::RunTeller final : public RunObserver {
public:
    explicit RunTeller(TTavrinForm& form) : form_(form) {}

    void WaitingForRoom(const std::string& printer, bool waiting) override {
        Post([printer, waiting](TTavrinForm& form) { form.RoomWaited(printer, waiting); });
    }
    bool KeepWaitingForRoom(const std::string&, int) override { return form_.open_; }
    void ListChanged() override {
        Post([](TTavrinForm& form) {
            form.rowsTakenDuringRun_ = true;
            form.ShowList();
        });
    }
    void Done(const SpoolRunReport& report, const std::string& error) override {
        end.report = report;
        end.failed = !report.finished;
        end.error = error;
    }

    // Handed over once the run's thread has let go of everything it used.
    void Ended() {
        Post([end = std::move(end)](TTavrinForm& form) { form.RunEnded(end); });
    }

    RunEnd end;

private:
    template <typename Work>
    void Post(Work work) {
        // The window waits for the run's thread before it goes, so it is there to take this.
        TTavrinForm* form = &form_;
        QMetaObject::invokeMethod(
            form, [form, work = std::move(work)] { work(*form); }, Qt::QueuedConnection);
    }

    TTavrinForm& form_;
};

void TTavrinForm::StartRun(bool scheduled) {
    if (runUnderWay_)
        return;
    runUnderWay_ = true;
    runScheduled_ = scheduled;
    rowsTakenDuringRun_ = false;
    okPrint_->setText(QString::fromUtf8(kPrintCaptionBusy));
    okPrint_->setEnabled(false);
    PublishOptions();
    run_ = std::thread([this, &recorder = recorder_] {
        RunTeller teller(*this);
        // Every send goes into the job log; one that cannot be written holds up no job.
        RecordingRunObserver recording(teller, recorder);
        try {
            const std::unique_ptr<RunPrintServer> own = runServer_ ? runServer_() : nullptr;
            SpoolRunner runner(own ? own->Spooler() : spooler_, own ? own->Probe() : probe_,
                               options_);
            runner.Run(jobs_, recording);
        } catch (const std::exception& error) {
            // The run has told its end already, unless it never began.
            if (!teller.end.failed) {
                teller.end.failed = true;
                teller.end.error = error.what();
            }
        }
        teller.Ended();
    });
}

void TTavrinForm::RunEnded(const RunEnd& end) {
    if (run_.joinable())
        run_.join();
    const int files = jobs_.Read([](const JobList& list) { return list.FileCount(); });
    const std::vector<RefusedSend>& refused = end.report.refused;
    if (!end.failed) {
        if (files == 0) {
            ShowList();
            StringGrid1().setColWidth(job_grid::kNameColumn, job_grid::kNameWidthNarrow);
            ShowFileCount(0);
        }
    } else if (rowsTakenDuringRun_) {
        // The rows this run took off are gone: the count shown says so.
        ShowFileCount(files);
    }
    okPrint_->setText(QString::fromUtf8(kPrintCaptionAfterRun));
    okPrint_->setEnabled(true);
    if (!end.failed)
        panels_[status_panel::kRun]->setText(
            QString::fromUtf8(refused.empty() ? kRunDone : kRunFailed));
    if (watch_)
        watch_->Follow(end.report.sent);
    // A job log that could not be written is told once, beside the panels.
    if (const std::string problem = recorder_.TakeProblem(); !problem.empty())
        ShowLatestInStatusBar(*statusBar1_, TellOnStderr(problem));
    if (end.failed) {
        ShowError(ErrorBoxText(end.error));
    } else if (!refused.empty()) {
        ShowMessage(RefusedSendsMessage(refused));
    }
    // A failed start at a set time leaves the timer off: the schedule stops until Schedule is
    // checked again.
    if (runScheduled_ && !end.failed) {
        timer1_->setInterval(Schedule::kPauseAfterRunMs);
        // Schedule may have been unchecked while the run was under way: then the schedule is
        // over.
        if (!schedule_->isChecked())
            timer1_->stop();
        else if (!timer1_->isActive())
            timer1_->start();
    }
    runScheduled_ = false;
    runUnderWay_ = false;
}

void TTavrinForm::RoomWaited(const std::string& printer, bool waiting) {
    QLabel* panel = panels_[status_panel::kRun];
    if (waiting) {
        panelBeforeRoomWait_ = FromQt(panel->text());
        panel->setText(ToQt(FormatMessage(SpoolRunner::kWaitingForRoom, printer)));
    } else {
        panel->setText(ToQt(panelBeforeRoomWait_));
    }
}

void TTavrinForm::ArmScheduledStart() {
    if (!timer1_->isActive())
        timer1_->start();
    okPrint_->setText(QStringLiteral("Starts at ") + uur_->text() + QLatin1Char(':') +
                      minuut_->text());
    okPrint_->setEnabled(false);
    armed_ = true;
}

void TTavrinForm::ShowTimeEdits(bool visible) {
    uur_->setVisible(visible);
    minuut_->setVisible(visible);
    label2_->setVisible(visible);
    label4_->setVisible(visible);
}

void TTavrinForm::ScheduleClick() {
    const bool on = schedule_->isChecked();
    if (!on)
        timer1_->stop();
    else if (!timer1_->isActive())
        timer1_->start();
    ShowTimeEdits(on);
    if (!on && armed_) {
        armed_ = false;
        okPrint_->setText(QString::fromUtf8(kPrintCaptionAfterRun));
        okPrint_->setEnabled(true);
    }
}

namespace {

void Keep(TIntegerEdit& edit, int (*rule)(int)) {
    const int kept = rule(edit.Value());
    if (kept != edit.Value())
        edit.SetValue(kept);
}

}  // namespace

// A number written by the program past the day's last hour wraps to 0; one a user leaves in an
// edit is the last hour or minute.
void TTavrinForm::UurChange() {
    Keep(*uur_, HourAsWritten);
}
void TTavrinForm::UurClick() {
    Keep(*uur_, HourAsEntered);
}
void TTavrinForm::UurExit() {
    Keep(*uur_, HourAsEntered);
}
void TTavrinForm::MinuutChange() {
    Keep(*minuut_, MinuteAsEntered);
}
void TTavrinForm::MinuutClick() {
    Keep(*minuut_, MinuteAsEntered);
}
void TTavrinForm::MinuutExit() {
    Keep(*minuut_, MinuteAsEntered);
}

void TTavrinForm::Timer1Timer() {
    // A tick while a run is under way (Schedule checked again meanwhile) waits for the next.
    if (runUnderWay_)
        return;
    timer1_->setInterval(Schedule::kLookIntervalMs);
    const Schedule schedule{schedule_->isChecked(), uur_->Value(), minuut_->Value()};
    if (!schedule.IsDue(clock_.Now()))
        return;
    timer1_->stop();
    // From here the run owns the button; unchecking Schedule no longer gives it back.
    armed_ = false;
    StartRun(true);
}

}  // namespace tavrin
