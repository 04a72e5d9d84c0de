// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "spool/JobTracker.h"
#include "support/FakePrintSpooler.h"

namespace tavrin {
namespace {

using S = QueueJobState;
using O = JobOutcome;
using Words = std::vector<std::string>;

TEST(JobVerdict, PrintedOnlyWhenCompletedWithoutErrorsStuckOnlyWhenThePrinterCannotGoOn) {
    struct Row {
        const char* name;
        std::optional<JobStatus> job;  // nothing: unknown to the server
        PrinterStatus printer;
        bool troubleLasts;
        JobVerdict verdict;
    };
    const PrinterStatus idle;
    const PrinterStatus unreachable{false, {"connecting-to-device"}, "Unable to connect"};
    const Row rows[] = {
        {"Completed",
         JobStatus{1, S::Completed, {"job-completed-successfully"}, ""},
         idle,
         false,
         {O::Printed, false, "completed"}},
        {"CompletedWithErrors",
         JobStatus{1, S::Completed, {"job-completed-with-errors"}, "jam"},
         idle,
         false,
         {O::NotPrinted, false, "completed with errors: jam"}},
        {"Canceled",
         JobStatus{1, S::Canceled, {"job-canceled-by-user"}, ""},
         idle,
         false,
         {O::NotPrinted, false, "canceled"}},
        {"Aborted",
         JobStatus{1, S::Aborted, {}, "Unsupported format"},
         idle,
         false,
         {O::NotPrinted, false, "aborted: Unsupported format"}},
        {"Unknown", std::nullopt, idle, false, {O::NotPrinted, false, kUnknownToTheServer}},
        {"Printing", JobStatus{1, S::Processing, {}, ""}, idle, false, {}},
        {"PassingTrouble", JobStatus{1, S::Processing, {}, ""}, unreachable, false, {}},
        {"LastingTrouble",
         JobStatus{1, S::Processing, {}, ""},
         unreachable,
         true,
         {O::Open, true, "Unable to connect"}},
        {"ReasonsWithoutMessage",
         JobStatus{1, S::Pending, {}, ""},
         {false, {"media-empty-error", "door-open"}, ""},
         true,
         {O::Open, true, "media-empty-error, door-open"}},
        {"Paused",
         JobStatus{1, S::Pending, {}, ""},
         {true, {"paused"}, ""},
         false,
         {O::Open, true, "the printer is paused"}},
        {"StoppedJob",
         JobStatus{1, S::Stopped, {}, ""},
         idle,
         false,
         {O::Open, true, "the printer is stopped"}},
    };
    for (const Row& row : rows)
        EXPECT_EQ(JudgeJob(row.job ? &*row.job : nullptr, row.printer, row.troubleLasts),
                  row.verdict)
            << row.name;
    // Trouble: reasons, or a message that is not one of a job going normally.
    const std::pair<PrinterStatus, bool> printers[] = {
        {idle, false},
        {{false, {}, "Connected to printer."}, false},
        {{false, {}, "Spooling job, 40% done."}, false},
        {{false, {}, "The printer may not exist or is unavailable at this time."}, true},
        {{false, {"media-empty-error"}, ""}, true},
    };
    for (const auto& [printer, trouble] : printers)
        EXPECT_EQ(PrinterReportsTrouble(printer), trouble) << printer.message;
}

// Notes each call as "ended FILE: REASON" or "stuck FILE: REASON".
struct Notes : JobObserver {
    void JobEnded(const TrackedJob& job) override {
        text += "ended " + job.file + ": " + job.verdict.reason + "|";
    }
    void JobStuckChanged(const TrackedJob& job) override {
        text += "stuck " + job.file + ": " + job.verdict.reason + "|";
    }
    std::string text;
};

TEST(JobTracker, FollowsEachJobToItsEndAsksEachPrinterOnceALookAndWaitsLongerWhenNothingChanges) {
    test::FakePrintSpooler spooler;
    spooler.printers = {"plotter", "laser"};
    JobTracker tracker(spooler);
    for (const auto& [printer, id] :
         {std::pair("plotter", 7), {"plotter", 8}, {"plotter", 9}, {"laser", 3}}) {
        TrackedJob job;
        job.printerName = printer;
        job.file = std::to_string(id) + ".plt";
        job.jobId = id;
        tracker.Track(job);
    }
    auto& plotter = spooler.status["plotter"];
    plotter.jobs = {
        {6, S::Canceled, {}, ""}, {7, S::Completed, {}, ""}, {8, S::Processing, {}, ""}};
    Notes notes;
    // The laser's state cannot be read: its job stays open and is asked for again.
    EXPECT_FALSE(tracker.Poll(100, notes));
    EXPECT_EQ(notes.text, "ended 7.plt: completed|ended 9.plt: unknown to the print server|");
    EXPECT_EQ(tracker.NextLookIn(), JobTracker::kShortestWait);

    spooler.status["laser"].jobs = {{3, S::Pending, {}, ""}};
    plotter.printer = {false, {"connecting-to-device"}, "Unable to connect"};
    notes.text.clear();
    for (const std::int64_t now : {101, 102, 104, 105})
        EXPECT_TRUE(tracker.Poll(now, notes)) << now;
    EXPECT_EQ(notes.text, "stuck 8.plt: Unable to connect|");
    EXPECT_EQ(tracker.NextLookIn(), 2 * JobTracker::kShortestWait);  // unchanged since 104

    plotter.printer = {};
    plotter.jobs[2].state = S::Completed;
    spooler.status["laser"].jobs = {{3, S::Aborted, {}, ""}};
    notes.text.clear();
    EXPECT_TRUE(tracker.Poll(110, notes));
    EXPECT_EQ(notes.text, "ended 3.plt: aborted|ended 8.plt: completed|");
    EXPECT_FALSE(tracker.HasOpenJobs());
    std::string ended;
    for (const TrackedJob& job : tracker.EndedJobs())
        ended += job.file + "@" + std::to_string(job.endedAt) + " ";
    EXPECT_EQ(ended, "8.plt@110 3.plt@110 9.plt@100 7.plt@100 ");
    // One look per printer and poll; a handle is kept between looks, made afresh after a failure.
    EXPECT_EQ(std::tuple(spooler.statusLooks, spooler.opened, spooler.openHandles),
              std::tuple(12, 3, 2));
}

}  // namespace
}  // namespace tavrin
