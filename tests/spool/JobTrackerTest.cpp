// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "spool/JobTracker.h"
#include "support/FakePrintSpooler.h"

namespace tavrin {
namespace {

using S = QueueJobState;
using Words = std::vector<std::string>;

// The server's word on job 1: its state, one state reason, its message.
std::optional<JobStatus> Job(S state, const std::string& reason = "", std::string message = "") {
    return JobStatus{1, state, reason.empty() ? Words{} : Words{reason}, std::move(message)};
}
// A completed job with what its device program last said and the impressions it counted.
std::optional<JobStatus> Completed(std::string printerMessage, int impressions,
                                   const std::string& reason = "processing-to-stop-point") {
    JobStatus job{1, S::Completed, Words{reason}, ""};
    job.printerMessage = std::move(printerMessage);
    job.impressionsCompleted = impressions;
    return job;
}
// "Open", "Printed" or "NotPrinted", "stuck" or "-", and the reason.
std::string Text(const JobVerdict& verdict) {
    static const char* const kOutcomes[] = {"Open", "Printed", "NotPrinted"};
    return std::string(kOutcomes[static_cast<int>(verdict.outcome)]) +
           (verdict.stuck ? " stuck " : " - ") + verdict.reason;
}

TEST(JobVerdict, PrintedOnlyWhenCompletedWithoutErrorsStuckOnlyWhenThePrinterCannotGoOn) {
    struct Row {
        const char* name;
        std::optional<JobStatus> job;  // nothing: unknown to the server
        PrinterStatus printer;
        bool troubleLasts;
        std::string verdict;
    };
    const PrinterStatus idle, paused{true, {"paused"}, ""};
    const PrinterStatus unreachable{false, {"connecting-to-device"}, "Unable to connect"};
    const PrinterStatus empty{false, {"media-empty-error", "door-open"}, ""};
    const PrinterStatus ippDevice{false, {}, "", true};
    const Row rows[] = {
        {"Completed", Job(S::Completed, "job-completed-successfully"), idle, false,
         "Printed - completed"},
        {"CompletedWithErrors", Job(S::Completed, "job-completed-with-errors", "jam"), idle, false,
         "NotPrinted - completed with errors: jam"},
        // Completed by the server, but the device never took the document.
        {"RefusedDocument", Completed("Unable to add document to print job.", 0), idle, false,
         "NotPrinted - Unable to add document to print job."},
        {"RefusedNoCount", Completed("Unable to print file: format", -1), idle, false,
         "NotPrinted - Unable to print file: format"},
        {"RefusedInOtherWords", Completed("Kan document niet toevoegen.", 0), ippDevice, false,
         "NotPrinted - Kan document niet toevoegen."},
        {"ReasonNamesAnError", Completed("", 0, "document-format-error"), idle, false,
         "NotPrinted - document-format-error"},
        // Printed: an impression counted, or only a warning from a device program that does
        // not count them.
        {"PrintedAfterAnError", Completed("Print job was not accepted.", 1), ippDevice, false,
         "Printed - completed"},
        {"PrintedAfterAWarning", Completed("The printer is in use.", 0), idle, false,
         "Printed - completed"},
        {"PrintedAtIppDevice", Completed("", 1), ippDevice, false, "Printed - completed"},
        {"PrintedAtSocket", Completed("", 1, "job-completed-successfully"), idle, false,
         "Printed - completed"},
        {"Canceled", Job(S::Canceled, "job-canceled-by-user"), idle, false,
         "NotPrinted - canceled"},
        {"Aborted", Job(S::Aborted, "", "Unsupported format"), idle, false,
         "NotPrinted - aborted: Unsupported format"},
        {"Unknown", std::nullopt, idle, false, std::string("NotPrinted - ") + kUnknownToTheServer},
        {"Printing", Job(S::Processing), idle, false, "Open - "},
        {"PassingTrouble", Job(S::Processing), unreachable, false, "Open - "},
        {"LastingTrouble", Job(S::Processing), unreachable, true, "Open stuck Unable to connect"},
        {"ReasonsWithoutMessage", Job(S::Pending), empty, true,
         "Open stuck media-empty-error, door-open"},
        {"Paused", Job(S::Pending), paused, false, "Open stuck the printer is paused"},
        {"StoppedJob", Job(S::Stopped), idle, false, "Open stuck the printer is stopped"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(Text(JudgeJob(row.job ? &*row.job : nullptr, row.printer, row.troubleLasts)),
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
