// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "joblog/JobRecord.h"

struct sqlite3;

namespace tavrin {

// Which jobs a query covers. Times are seconds since the epoch; `until` is exclusive.
struct JobLogFilter {
    std::optional<std::int64_t> since;
    std::optional<std::int64_t> until;
    std::optional<std::string> printer;  // exact queue or address name
};

enum class TotalsPeriod { Day, Week, Month };

// One printer's jobs over one period (local time): "2026-12-07", "2026-W49", "2026-12".
struct JobTotals {
    std::string period;
    std::string printer;
    std::int64_t jobs = 0;
    std::int64_t copies = 0;
    double squareMetres = 0;       // of the jobs whose size is known
    double rollMetres = 0;         // likewise, roll printers only
    std::int64_t unknownSize = 0;  // jobs whose files did not say their size
    bool operator==(const JobTotals&) const = default;
};

// The job log: one SQLite database (WAL), written by every front end at once. Each call is one
// transaction; a busy database is waited for. Errors throw Error with the database's path and
// SQLite's words.
class JobLog {
public:
    // Opens or creates the database (and its folder). A file that is not a job log, or one
    // SQLite calls corrupt, is renamed to "<name>.corrupt-<YYYYMMDD-HHMMSS>" and a new log is
    // started; `MovedAside()` then names where the old one went.
    explicit JobLog(const std::filesystem::path& file);
    ~JobLog();
    JobLog(const JobLog&) = delete;
    JobLog& operator=(const JobLog&) = delete;

    // Adds a job; returns its row id.
    std::int64_t Add(const JobRecord& job);
    // Records a job's end (or that it became stuck: outcome Open with a reason).
    void SetOutcome(std::int64_t rowId, LoggedOutcome outcome, const std::string& reason,
                    std::int64_t endedAt);
    // The printer and job id a row was sent as (a send recorded before the spooler took it).
    void SetJobId(std::int64_t rowId, const std::string& printer, int jobId, std::int64_t sentAt);
    // The newest job whose file path is `filePath`; nothing when there is none.
    std::optional<JobRecord> NewestFor(const std::string& filePath);
    // Every job of `filePath`, oldest first.
    std::vector<JobRecord> JobsFor(const std::string& filePath);
    // Jobs in the filter, newest first.
    std::vector<JobRecord> Jobs(const JobLogFilter& filter);
    // Totals per period and printer, periods oldest first, printers by name.
    std::vector<JobTotals> Totals(const JobLogFilter& filter, TotalsPeriod period);

    const std::filesystem::path& File() const { return file_; }
    const std::optional<std::filesystem::path>& MovedAside() const { return movedAside_; }

private:
    std::filesystem::path file_;
    std::optional<std::filesystem::path> movedAside_;
    sqlite3* db_ = nullptr;
};

// The log's file: $XDG_DATA_HOME/tavrin/joblog.sqlite (~/.local/share/tavrin/joblog.sqlite);
// on Windows %LOCALAPPDATA%\Tavrin\joblog.sqlite. TAVRIN_JOBLOG, when set, names the file itself.
std::filesystem::path JobLogFile();

// The CSV a billing sheet reads: a header line, then one line per job, RFC 4180 quoting, sizes
// and paper with "unknown" where the file did not say.
std::string JobsAsCsv(const std::vector<JobRecord>& jobs);
std::string TotalsAsCsv(const std::vector<JobTotals>& totals);

}  // namespace tavrin
