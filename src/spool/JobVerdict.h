#pragma once

#include <string>

#include "printsystem/PrintSpooler.h"

namespace tavrin {

// Where a job stands: still open (queued or printing), printed, or ended without printing.
enum class JobOutcome { Open, Printed, NotPrinted };

// What the print server's word on a job means for the user.
struct JobVerdict {
    JobOutcome outcome = JobOutcome::Open;
    // An open job that cannot go on until someone acts: its printer is stopped or in trouble.
    bool stuck = false;
    // In plain words: why the job ended as it did, or why it is stuck; empty for an open job
    // that is not stuck.
    std::string reason;

    bool operator==(const JobVerdict&) const = default;
};

// The reason a job the print server no longer knows has ended with.
inline constexpr const char* kUnknownToTheServer = "unknown to the print server";

// Whether a printer says something is wrong: state reasons, or a message other than the ones
// the print server's device programs write while a job goes normally ("Connected to printer.").
bool PrinterReportsTrouble(const PrinterStatus& printer);

// Judges one job: `job` is the server's word on it, null when the server no longer knows it.
// Printed means completed cleanly; aborted, canceled, completed with errors, completed with a
// reason that names an error, or completed although the device did not take the document (its
// device program's failure, with no impression counted) is not printed. An open job is stuck when
// its printer is stopped, when the job itself is stopped or held, or when `troubleLasts`: the
// printer has reported trouble for long enough that it is not the passing trouble of a normal job.
JobVerdict JudgeJob(const JobStatus* job, const PrinterStatus& printer, bool troubleLasts);

}  // namespace tavrin
