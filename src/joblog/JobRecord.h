// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace tavrin {

// How a logged job ended; Open until someone learns its end.
enum class LoggedOutcome { Open, Printed, NotPrinted, Refused };

// "open", "printed", "not printed", "refused": the words the log shows and stores.
const char* OutcomeWord(LoggedOutcome outcome);
std::optional<LoggedOutcome> OutcomeNamed(const std::string& word);

// One job as the job log keeps it. Times are seconds since the Unix epoch, 0 for "not yet".
struct JobRecord {
    std::int64_t rowId = 0;  // given by the log
    std::int64_t sentAt = 0;
    std::int64_t endedAt = 0;
    std::string user;
    std::string host;
    std::string filePath;  // the listed file, full path
    std::string fileName;  // its name without the folder
    std::uint64_t bytes = 0;
    std::string language;  // as inspection names it: "HP-GL/2", "PostScript", ...
    // The plot's size where the file says it; for HP-GL/2 the width is the length along the roll
    // (the first value of its PS instruction).
    std::optional<double> widthMm;
    std::optional<double> heightMm;
    int copies = 1;             // copies this job makes
    bool deviceCopies = false;  // the device makes them from one sent copy
    std::string printer;
    std::string deviceClass;  // "HP-GL/2", "PostScript", "Oce", "Other"
    int jobId = 0;            // the print server's; 0 when it gave none (refused)
    LoggedOutcome outcome = LoggedOutcome::Open;
    std::string reason;    // why it did not print, or why it is stuck; empty when printed
    std::string frontEnd;  // "window", "cli", or the hot folder's path

    bool operator==(const JobRecord&) const = default;
};

// Paper used, from the plot's size and copies; nothing when the file does not say its size.
std::optional<double> AreaSquareMetres(const JobRecord& job);
// For a roll printer (HP-GL/2 and Oce classes): the plot's length along the roll times copies;
// nothing for other classes or when the file does not say its size.
std::optional<double> RollMetres(const JobRecord& job);

}  // namespace tavrin
