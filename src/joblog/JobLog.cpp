// SPDX-License-Identifier: GPL-3.0-or-later
#include "joblog/JobLog.h"

#include <sqlite3.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <functional>
#include <system_error>
#include <thread>
#include <utility>

#include "platform/Error.h"
#include "platform/LocalTime.h"

namespace tavrin {
namespace {

namespace fs = std::filesystem;

// "TVJL" in the database header: the file is a Tavrin job log.
constexpr int kApplicationId = 0x54564A4C;
constexpr int kBusyMilliseconds = 10000;

// The index on sent_at also holds what the totals add up, so that a month's totals are read
// from the index alone: over a million rows that is a fifth quicker than looking up each row.
constexpr const char* kSchema =
    "CREATE TABLE jobs ("
    " id INTEGER PRIMARY KEY,"
    " sent_at INTEGER NOT NULL,"
    " ended_at INTEGER NOT NULL,"
    " user TEXT NOT NULL,"
    " host TEXT NOT NULL,"
    " file_path TEXT NOT NULL,"
    " file_name TEXT NOT NULL,"
    " bytes INTEGER NOT NULL,"
    " language TEXT NOT NULL,"
    " width_mm REAL,"
    " height_mm REAL,"
    " copies INTEGER NOT NULL,"
    " device_copies INTEGER NOT NULL,"
    " printer TEXT NOT NULL,"
    " device_class TEXT NOT NULL,"
    " job_id INTEGER NOT NULL,"
    " outcome TEXT NOT NULL,"
    " reason TEXT NOT NULL,"
    " front_end TEXT NOT NULL);"
    "CREATE INDEX jobs_sent_at"
    " ON jobs (sent_at, printer, copies, width_mm, height_mm, device_class);"
    "CREATE INDEX jobs_file_path ON jobs (file_path);"
    "PRAGMA application_id = 1414941260;"
    "PRAGMA user_version = 1;";
static_assert(kApplicationId == 1414941260);

constexpr const char* kColumns =
    "id, sent_at, ended_at, user, host, file_path, file_name, bytes, language, width_mm, "
    "height_mm, copies, device_copies, printer, device_class, job_id, outcome, reason, front_end";

// A failed SQLite call, turned into an Error with the log's path by the public call it ends.
struct SqliteFailure {
    int code;
    std::string words;
};

std::string Utf8(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

[[noreturn]] void Fail(sqlite3* db, int code) {
    std::string words = db ? sqlite3_errmsg(db) : sqlite3_errstr(code);
    // "unable to open database file" alone does not say that the folder is read-only.
    if (db && (code & 0xff) == SQLITE_CANTOPEN && sqlite3_system_errno(db) != 0)
        words += " (" + std::system_category().message(sqlite3_system_errno(db)) + ")";
    throw SqliteFailure{code, words};
}

// Another program holds the log: taking WAL mode or making the tables can be refused at once
// rather than waited for, or fail on the write-ahead index another opener is setting up, so the
// open is tried again until the busy time has passed.
bool Busy(int code) {
    return (code & 0xff) == SQLITE_BUSY || (code & 0xff) == SQLITE_LOCKED ||
           (code & 0xff) == SQLITE_IOERR;
}

bool Damaged(int code) {
    return (code & 0xff) == SQLITE_NOTADB || (code & 0xff) == SQLITE_CORRUPT;
}

void Execute(sqlite3* db, const char* sql) {
    const int code = sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
    if (code != SQLITE_OK)
        Fail(db, code);
}

class Statement {
public:
    Statement(sqlite3* db, const std::string& sql) : db_(db) {
        const int code =
            sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()), &stmt_, nullptr);
        if (code != SQLITE_OK)
            Fail(db, code);
    }
    ~Statement() { sqlite3_finalize(stmt_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    void Bind(int index, std::int64_t value) { Check(sqlite3_bind_int64(stmt_, index, value)); }
    void Bind(int index, const std::string& text) {
        Check(sqlite3_bind_text(stmt_, index, text.data(), static_cast<int>(text.size()),
                                SQLITE_TRANSIENT));
    }
    void Bind(int index, std::optional<double> value) {
        Check(value ? sqlite3_bind_double(stmt_, index, *value) : sqlite3_bind_null(stmt_, index));
    }

    // Makes the statement ready to run again; its bound values stay until bound anew.
    void Reset() { sqlite3_reset(stmt_); }

    // Whether a row came; false once the statement is done.
    bool Step() {
        const int code = sqlite3_step(stmt_);
        if (code == SQLITE_ROW)
            return true;
        if (code != SQLITE_DONE)
            Fail(db_, code);
        return false;
    }

    std::int64_t Integer(int column) const { return sqlite3_column_int64(stmt_, column); }
    double Real(int column) const { return sqlite3_column_double(stmt_, column); }
    std::optional<double> MaybeReal(int column) const {
        if (sqlite3_column_type(stmt_, column) == SQLITE_NULL)
            return std::nullopt;
        return Real(column);
    }
    std::string Text(int column) const {
        const auto* text = sqlite3_column_text(stmt_, column);
        return text ? std::string(reinterpret_cast<const char*>(text),
                                  static_cast<std::size_t>(sqlite3_column_bytes(stmt_, column)))
                    : std::string();
    }

private:
    void Check(int code) {
        if (code != SQLITE_OK)
            Fail(db_, code);
    }

    sqlite3* db_;
    sqlite3_stmt* stmt_ = nullptr;
};

// One transaction; rolled back unless committed.
class Transaction {
public:
    // `begin`: "BEGIN" to read, "BEGIN IMMEDIATE" to write (takes the write lock at once, so a
    // busy log is waited for here rather than failing halfway).
    Transaction(sqlite3* db, const char* begin) : db_(db) { Execute(db, begin); }
    ~Transaction() {
        if (!done_)
            sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    }
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void Commit() {
        Execute(db_, "COMMIT");
        done_ = true;
    }

private:
    sqlite3* db_;
    bool done_ = false;
};

std::int64_t SingleInteger(sqlite3* db, const char* sql) {
    Statement statement(db, sql);
    return statement.Step() ? statement.Integer(0) : 0;
}

enum class Contents { JobLog, Empty, Foreign };

Contents WhatItHolds(sqlite3* db) {
    Transaction reading(db, "BEGIN");
    const std::int64_t application = SingleInteger(db, "PRAGMA application_id");
    const std::int64_t objects = SingleInteger(db, "SELECT count(*) FROM sqlite_master");
    reading.Commit();
    if (application == kApplicationId)
        return Contents::JobLog;
    return application == 0 && objects == 0 ? Contents::Empty : Contents::Foreign;
}

// Makes the database a job log when it is empty; false when it is another program's. Another
// file's bytes are only read, never written, before they are known to be a job log.
bool MakeJobLog(sqlite3* db) {
    const Contents found = WhatItHolds(db);
    if (found == Contents::Foreign)
        return false;
    Execute(db, "PRAGMA journal_mode=WAL");
    if (found == Contents::JobLog)
        return true;
    // Several programs may find the same empty file: the first to get the write lock makes it.
    Transaction making(db, "BEGIN IMMEDIATE");
    const std::int64_t application = SingleInteger(db, "PRAGMA application_id");
    if (application != kApplicationId) {
        if (application != 0 || SingleInteger(db, "SELECT count(*) FROM sqlite_master") != 0)
            return false;
        Execute(db, kSchema);
    }
    making.Commit();
    return true;
}

bool HasMoved(sqlite3* db) {
    int moved = 0;
    return sqlite3_file_control(db, "main", SQLITE_FCNTL_HAS_MOVED, &moved) == SQLITE_OK &&
           moved != 0;
}

std::string LocalStamp() {
    return LocalTimeText(std::time(nullptr), "%Y%m%d-%H%M%S");
}

// Renames the file, with its -wal and -shm files, to a free "<name>.corrupt-<stamp>[-N]".
fs::path MoveAside(const fs::path& file) {
    const auto named = [&](const std::string& suffix) {
        fs::path name = file;
        name += suffix;
        return name;
    };
    const std::string stamp = ".corrupt-" + LocalStamp();
    fs::path target = named(stamp);
    std::error_code error;
    for (int n = 2; fs::exists(target, error) || fs::exists(named(stamp + "-wal"), error); ++n)
        target = named(stamp + "-" + std::to_string(n));
    fs::rename(file, target, error);
    if (error) {
        throw Error("Cannot open the job log " + Utf8(file) +
                    ": it is not a job log, and it cannot be moved aside: " + error.message());
    }
    for (const char* suffix : {"-wal", "-shm"}) {
        const fs::path companion = named(suffix);
        if (fs::exists(companion, error)) {
            fs::path moved = target;
            moved += suffix;
            fs::rename(companion, moved, error);
            // A write-ahead log left behind would be read into the new log.
            if (error)
                fs::remove(companion, error);
        }
    }
    return target;
}

sqlite3* OpenConnection(const fs::path& file) {
    sqlite3* db = nullptr;
    const int code = sqlite3_open_v2(Utf8(file).c_str(), &db,
                                     SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (code != SQLITE_OK) {
        std::string words = db ? sqlite3_errmsg(db) : sqlite3_errstr(code);
        if (db && sqlite3_system_errno(db) != 0)
            words += " (" + std::system_category().message(sqlite3_system_errno(db)) + ")";
        sqlite3_close_v2(db);
        throw Error("Cannot open the job log " + Utf8(file) + ": " + words);
    }
    sqlite3_extended_result_codes(db, 1);
    sqlite3_busy_timeout(db, kBusyMilliseconds);
    return db;
}

// A connection to a job log at `file`: the one there, or a new one in place of what is not a
// job log (whose new name goes to `movedAside`).
sqlite3* OpenJobLog(const fs::path& file, std::optional<fs::path>& movedAside) {
    std::error_code error;
    const fs::path folder = file.parent_path();
    if (!folder.empty() && !fs::is_directory(folder, error)) {
        fs::create_directories(folder, error);
        if (error) {
            throw Error("Cannot open the job log " + Utf8(file) +
                        ": cannot make its folder: " + error.message());
        }
    }
    // SQLite would say only that it cannot open the file, and not why.
    if (!fs::exists(file, error)) {
        std::ofstream made(file, std::ios::app | std::ios::binary);
        if (!made) {
            throw Error("Cannot open the job log " + Utf8(file) +
                        ": cannot create it: " + std::generic_category().message(errno));
        }
    }
    // A second pass opens what another program put in place while this one looked; a third
    // finding no job log gives up.
    const auto busyUntil =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(kBusyMilliseconds);
    for (int pass = 0;; ++pass) {
        sqlite3* db = OpenConnection(file);
        std::optional<SqliteFailure> failure;
        try {
            if (MakeJobLog(db))
                return db;
        } catch (const SqliteFailure& caught) {
            failure = caught;
        }
        const bool replacedMeanwhile = HasMoved(db);
        sqlite3_close_v2(db);
        if (failure && Busy(failure->code) && std::chrono::steady_clock::now() < busyUntil) {
            --pass;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            continue;
        }
        if (failure && !Damaged(failure->code))
            throw Error("Cannot open the job log " + Utf8(file) + ": " + failure->words);
        if (pass == 2) {
            throw Error("Cannot open the job log " + Utf8(file) + ": " +
                        (failure ? failure->words : "it is not a job log"));
        }
        if (!replacedMeanwhile)
            movedAside = MoveAside(file);
    }
}

JobRecord RecordAt(const Statement& row) {
    JobRecord job;
    job.rowId = row.Integer(0);
    job.sentAt = row.Integer(1);
    job.endedAt = row.Integer(2);
    job.user = row.Text(3);
    job.host = row.Text(4);
    job.filePath = row.Text(5);
    job.fileName = row.Text(6);
    job.bytes = static_cast<std::uint64_t>(row.Integer(7));
    job.language = row.Text(8);
    job.widthMm = row.MaybeReal(9);
    job.heightMm = row.MaybeReal(10);
    job.copies = static_cast<int>(row.Integer(11));
    job.deviceCopies = row.Integer(12) != 0;
    job.printer = row.Text(13);
    job.deviceClass = row.Text(14);
    job.jobId = static_cast<int>(row.Integer(15));
    job.outcome = OutcomeNamed(row.Text(16)).value_or(LoggedOutcome::Open);
    job.reason = row.Text(17);
    job.frontEnd = row.Text(18);
    return job;
}

std::vector<JobRecord> Records(Statement& query) {
    std::vector<JobRecord> jobs;
    while (query.Step())
        jobs.push_back(RecordAt(query));
    return jobs;
}

// The filter's conditions as SQL: ?1 since, ?2 until, ?3 printer.
std::string Conditions(const JobLogFilter& filter) {
    std::string sql;
    if (filter.since)
        sql += " AND sent_at >= ?1";
    if (filter.until)
        sql += " AND sent_at < ?2";
    if (filter.printer)
        sql += " AND printer = ?3";
    return sql;
}

void BindFilter(Statement& statement, const JobLogFilter& filter) {
    if (filter.since)
        statement.Bind(1, *filter.since);
    if (filter.until)
        statement.Bind(2, *filter.until);
    if (filter.printer)
        statement.Bind(3, *filter.printer);
}

// Periods in local time, with the calendar doing the months' lengths and daylight saving.
struct Period {
    std::int64_t start;
    std::int64_t stop;  // exclusive
    std::string label;
};

// The first moment of a day (year, month 1-12 and day may run over; `day` comes back normal).
std::int64_t Midnight(std::tm& day) {
    day.tm_hour = day.tm_min = day.tm_sec = 0;
    day.tm_isdst = -1;
    return static_cast<std::int64_t>(std::mktime(&day));
}

std::string Label(std::tm start, TotalsPeriod kind) {
    char text[80];
    if (kind == TotalsPeriod::Week) {
        // An ISO week belongs to the year of its Thursday and is numbered from that year's first.
        start.tm_mday += 3;
        Midnight(start);
        std::snprintf(text, sizeof text, "%04d-W%02d", start.tm_year + 1900, start.tm_yday / 7 + 1);
    } else if (kind == TotalsPeriod::Month) {
        std::snprintf(text, sizeof text, "%04d-%02d", start.tm_year + 1900, start.tm_mon + 1);
    } else {
        std::snprintf(text, sizeof text, "%04d-%02d-%02d", start.tm_year + 1900, start.tm_mon + 1,
                      start.tm_mday);
    }
    return text;
}

// The periods that cover [first, end), each cut to that range.
std::vector<Period> Periods(std::int64_t first, std::int64_t end, TotalsPeriod kind) {
    std::tm day = LocalTime(static_cast<std::time_t>(first));
    if (kind == TotalsPeriod::Week)
        day.tm_mday -= (day.tm_wday + 6) % 7;
    else if (kind == TotalsPeriod::Month)
        day.tm_mday = 1;
    std::int64_t start = Midnight(day);
    std::vector<Period> periods;
    while (start < end) {
        std::tm next = day;
        if (kind == TotalsPeriod::Month)
            ++next.tm_mon;
        else
            next.tm_mday += kind == TotalsPeriod::Week ? 7 : 1;
        const std::int64_t stop = Midnight(next);
        if (stop <= start)  // mktime failed: a date beyond what time_t holds
            break;
        periods.push_back({std::max(start, first), std::min(stop, end), Label(day, kind)});
        day = next;
        start = stop;
    }
    return periods;
}

// One period's totals per printer; the period is ?1 to ?2.
std::string TotalsSql(JobLogFilter filter) {
    filter.since = filter.until = 0;
    return "SELECT printer, count(*), sum(copies), sum(width_mm * height_mm * copies / 1e6),"
           " sum(CASE WHEN device_class IN ('HP-GL/2', 'Oce') AND height_mm NOT NULL"
           " THEN width_mm * copies / 1e3 END), count(*) - count(width_mm * height_mm)"
           " FROM jobs WHERE 1" +
           Conditions(filter) + " GROUP BY printer ORDER BY printer";
}

template <typename Body>
auto Guarded(const fs::path& file, const char* verb, Body&& body) {
    try {
        return body();
    } catch (const SqliteFailure& failure) {
        throw Error(std::string("Cannot ") + verb + " the job log " + Utf8(file) + ": " +
                    failure.words);
    }
}

// The connection, opened anew when the file was removed or replaced since (rows written to a
// file that is gone would be lost), or when opening it anew failed the last time.
sqlite3* Reconnected(sqlite3*& db, const fs::path& file, std::optional<fs::path>& movedAside) {
    if (db == nullptr || HasMoved(db)) {
        sqlite3_close_v2(std::exchange(db, nullptr));
        db = OpenJobLog(file, movedAside);
    }
    return db;
}

// Runs an UPDATE of one row, whose values the caller binds from ?2 on (?1 is the row).
void UpdateRow(sqlite3* db, const fs::path& file, std::int64_t rowId, const char* sql,
               const std::function<void(Statement&)>& bind) {
    Guarded(file, "write", [&] {
        Transaction writing(db, "BEGIN IMMEDIATE");
        Statement update(db, sql);
        update.Bind(1, rowId);
        bind(update);
        update.Step();
        if (sqlite3_changes(db) != 1)
            throw SqliteFailure{SQLITE_NOTFOUND, "it holds no job " + std::to_string(rowId)};
        writing.Commit();
    });
}

}  // namespace

JobLog::JobLog(const fs::path& file) : file_(file), db_(OpenJobLog(file, movedAside_)) {}

JobLog::~JobLog() {
    sqlite3_close_v2(db_);
}

std::int64_t JobLog::Add(const JobRecord& job) {
    sqlite3* db = Reconnected(db_, file_, movedAside_);
    return Guarded(file_, "write", [&] {
        Transaction writing(db, "BEGIN IMMEDIATE");
        Statement insert(db,
                         "INSERT INTO jobs (sent_at, ended_at, user, host, file_path, file_name,"
                         " bytes, language, width_mm, height_mm, copies, device_copies, printer,"
                         " device_class, job_id, outcome, reason, front_end) VALUES (?1, ?2, ?3,"
                         " ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14, ?15, ?16, ?17, ?18)");
        insert.Bind(1, job.sentAt);
        insert.Bind(2, job.endedAt);
        insert.Bind(3, job.user);
        insert.Bind(4, job.host);
        insert.Bind(5, job.filePath);
        insert.Bind(6, job.fileName);
        insert.Bind(7, static_cast<std::int64_t>(job.bytes));
        insert.Bind(8, job.language);
        insert.Bind(9, job.widthMm);
        insert.Bind(10, job.heightMm);
        insert.Bind(11, std::int64_t{job.copies});
        insert.Bind(12, std::int64_t{job.deviceCopies});
        insert.Bind(13, job.printer);
        insert.Bind(14, job.deviceClass);
        insert.Bind(15, std::int64_t{job.jobId});
        insert.Bind(16, std::string(OutcomeWord(job.outcome)));
        insert.Bind(17, job.reason);
        insert.Bind(18, job.frontEnd);
        insert.Step();
        const std::int64_t row = sqlite3_last_insert_rowid(db);
        writing.Commit();
        return row;
    });
}

void JobLog::SetOutcome(std::int64_t rowId, LoggedOutcome outcome, const std::string& reason,
                        std::int64_t endedAt) {
    UpdateRow(Reconnected(db_, file_, movedAside_), file_, rowId,
              "UPDATE jobs SET outcome = ?2, reason = ?3, ended_at = ?4 WHERE id = ?1",
              [&](Statement& update) {
                  update.Bind(2, std::string(OutcomeWord(outcome)));
                  update.Bind(3, reason);
                  update.Bind(4, endedAt);
              });
}

void JobLog::SetJobId(std::int64_t rowId, const std::string& printer, int jobId,
                      std::int64_t sentAt) {
    UpdateRow(Reconnected(db_, file_, movedAside_), file_, rowId,
              "UPDATE jobs SET printer = ?2, job_id = ?3, sent_at = ?4 WHERE id = ?1",
              [&](Statement& update) {
                  update.Bind(2, printer);
                  update.Bind(3, std::int64_t{jobId});
                  update.Bind(4, sentAt);
              });
}

std::optional<JobRecord> JobLog::NewestFor(const std::string& filePath) {
    sqlite3* db = Reconnected(db_, file_, movedAside_);
    return Guarded(file_, "read", [&]() -> std::optional<JobRecord> {
        Statement query(db, std::string("SELECT ") + kColumns +
                                " FROM jobs WHERE file_path = ?1"
                                " ORDER BY sent_at DESC, id DESC LIMIT 1");
        query.Bind(1, filePath);
        if (!query.Step())
            return std::nullopt;
        return RecordAt(query);
    });
}

std::vector<JobRecord> JobLog::JobsFor(const std::string& filePath) {
    sqlite3* db = Reconnected(db_, file_, movedAside_);
    return Guarded(file_, "read", [&] {
        Statement query(db, std::string("SELECT ") + kColumns +
                                " FROM jobs WHERE file_path = ?1 ORDER BY sent_at, id");
        query.Bind(1, filePath);
        return Records(query);
    });
}

std::vector<JobRecord> JobLog::Jobs(const JobLogFilter& filter) {
    sqlite3* db = Reconnected(db_, file_, movedAside_);
    return Guarded(file_, "read", [&] {
        Statement query(db, std::string("SELECT ") + kColumns + " FROM jobs WHERE 1" +
                                Conditions(filter) + " ORDER BY sent_at DESC, id DESC");
        BindFilter(query, filter);
        return Records(query);
    });
}

std::vector<JobTotals> JobLog::Totals(const JobLogFilter& filter, TotalsPeriod period) {
    sqlite3* db = Reconnected(db_, file_, movedAside_);
    return Guarded(file_, "read", [&] {
        // One snapshot for the range and every statement, whatever others write meanwhile.
        Transaction reading(db, "BEGIN");
        std::int64_t first = filter.since.value_or(0);
        std::int64_t end = filter.until.value_or(0);
        if (!filter.since || !filter.until) {
            Statement range(
                db, "SELECT min(sent_at), max(sent_at) + 1 FROM jobs WHERE 1" + Conditions(filter));
            BindFilter(range, filter);
            range.Step();
            if (range.MaybeReal(0) == std::nullopt)
                return std::vector<JobTotals>();
            first = filter.since.value_or(range.Integer(0));
            end = filter.until.value_or(range.Integer(1));
        }
        // A statement per period: the index finds the period's rows, and SQLite sorts only
        // those by printer (one statement joining a table of periods took half as long again).
        Statement query(db, TotalsSql(filter));
        if (filter.printer)
            query.Bind(3, *filter.printer);
        std::vector<JobTotals> totals;
        for (const Period& each : Periods(first, end, period)) {
            query.Reset();
            query.Bind(1, each.start);
            query.Bind(2, each.stop);
            while (query.Step()) {
                totals.push_back({each.label, query.Text(0), query.Integer(1), query.Integer(2),
                                  query.Real(3), query.Real(4), query.Integer(5)});
            }
        }
        reading.Commit();
        return totals;
    });
}

}  // namespace tavrin
