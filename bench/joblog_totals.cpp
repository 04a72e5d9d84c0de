// SPDX-License-Identifier: GPL-3.0-or-later
// Times a month's totals in a job log of 1,000,000 jobs sent over a year on five printers,
// through JobLog::Totals, against the sqlite3 program on the same file running the same SQL (the
// periods' statements as one, their bounds written in) and the query a user would write there
// (local days by strftime). The
// figures are SQLite's own ".timer" for sqlite3, so its start is left out of them; the wall time
// of one whole sqlite3 run is printed beside them.
#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "BenchSize.h"
#include "joblog/JobLog.h"
#include "support/SandboxPrintServer.h"
#include "support/TempFolder.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kRuns = 20;

struct Printer {
    const char* name;
    const char* deviceClass;
};
constexpr Printer kPrinters[] = {{"hpgl-plotter", "HP-GL/2"},
                                 {"oce-9600", "Oce"},
                                 {"ps-printer", "PostScript"},
                                 {"ps-colour", "PostScript"},
                                 {"raw-printer", "Other"}};

std::int64_t LocalMidnight(int year, int month, int day) {
    std::tm local{};
    local.tm_year = year - 1900;
    local.tm_mon = month - 1;
    local.tm_mday = day;
    local.tm_isdst = -1;
    return static_cast<std::int64_t>(std::mktime(&local));
}

void Check(int code, sqlite3* db) {
    if (code != SQLITE_OK && code != SQLITE_DONE) {
        std::fprintf(stderr, "sqlite: %s\n", sqlite3_errmsg(db));
        std::exit(1);
    }
}

// The rows go in through SQLite in one transaction: a million of JobLog::Add's transactions,
// each synced to disk, would take hours. JobLog makes the file and its schema first.
void FillLog(const std::filesystem::path& file, int rows, std::int64_t from, std::int64_t to) {
    { tavrin::JobLog log(file); }
    sqlite3* db = nullptr;
    Check(sqlite3_open(file.c_str(), &db), db);
    Check(sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr), db);
    sqlite3_stmt* insert = nullptr;
    Check(sqlite3_prepare_v2(
              db,
              "INSERT INTO jobs (sent_at, ended_at, user, host, file_path, file_name, bytes,"
              " language, width_mm, height_mm, copies, device_copies, printer, device_class,"
              " job_id, outcome, reason, front_end) VALUES (?1, ?1 + 60, 'ada', 'office', ?2,"
              " ?3, 250000, 'HP-GL/2', ?4, ?5, ?6, 0, ?7, ?8, ?9, 'printed', '', 'window')",
              -1, &insert, nullptr),
          db);
    for (int row = 0; row < rows; ++row) {
        const Printer& printer = kPrinters[row % 5];
        const std::string name = "sheet " + std::to_string(row % 997) + ".plt";
        sqlite3_bind_int64(insert, 1, from + (to - from) * row / rows);
        sqlite3_bind_text(insert, 2,
                          ("/srv/plots/project " + std::to_string(row / 1000) + "/" + name).c_str(),
                          -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(insert, 3, name.c_str(), -1, SQLITE_TRANSIENT);
        if (row % 10 == 3) {
            sqlite3_bind_null(insert, 4);
            sqlite3_bind_null(insert, 5);
        } else {
            sqlite3_bind_double(insert, 4, 420.0 + row % 800);
            sqlite3_bind_double(insert, 5, 594.0);
        }
        sqlite3_bind_int(insert, 6, row % 4 + 1);
        sqlite3_bind_text(insert, 7, printer.name, -1, SQLITE_STATIC);
        sqlite3_bind_text(insert, 8, printer.deviceClass, -1, SQLITE_STATIC);
        sqlite3_bind_int(insert, 9, row + 1);
        Check(sqlite3_step(insert), db);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    Check(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), db);
    sqlite3_close(db);
}

const char* const kSums =
    "count(*), sum(copies), sum(width_mm * height_mm * copies / 1e6),"
    " sum(CASE WHEN device_class IN ('HP-GL/2', 'Oce') AND height_mm NOT NULL"
    " THEN width_mm * copies / 1e3 END), count(*) - count(width_mm * height_mm)";

// What JobLog::Totals runs for each period, the periods' bounds written in and their
// statements joined into one.
std::string TotalsSql(const std::vector<std::int64_t>& bounds) {
    std::string sql;
    for (std::size_t i = 0; i + 1 < bounds.size(); ++i) {
        sql += std::string(i ? " UNION ALL " : "") + "SELECT * FROM (SELECT " +
               std::to_string(bounds[i]) + ", printer, " + kSums +
               " FROM jobs WHERE sent_at >= " + std::to_string(bounds[i]) + " AND sent_at < " +
               std::to_string(bounds[i + 1]) + " GROUP BY printer ORDER BY printer)";
    }
    return sql + ";";
}

// What one would type at sqlite3's prompt.
std::string StrftimeSql(const char* format, std::int64_t since, std::int64_t until) {
    return std::string("SELECT strftime('") + format +
           "', sent_at, 'unixepoch', 'localtime') AS period, printer, " + kSums +
           " FROM jobs WHERE sent_at >= " + std::to_string(since) + " AND sent_at < " +
           std::to_string(until) + " GROUP BY period, printer ORDER BY period, printer;";
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

struct SqliteRun {
    double medianMs = 0;
    double wholeRunMs = 0;  // one sqlite3 process, start to end
    std::int64_t jobs = 0;  // of the first run's rows
};

// Runs `sql` kRuns times in one sqlite3 process with ".timer on".
SqliteRun RunSqlite(const tavrin::test::TempFolder& folder, const std::filesystem::path& file,
                    const std::string& sql) {
    std::string script = ".timer on\n";
    for (int run = 0; run < kRuns; ++run)
        script += sql + "\n";
    tavrin::test::WriteBytes(folder / "totals.sql", script);
    tavrin::test::WriteBytes(folder / "once.sql", sql + "\n");
    const std::string command = "sqlite3 -batch '" + file.string() + "' < '";
    const tavrin::test::CliResult result =
        tavrin::test::RunCommand(command + (folder / "totals.sql").string() + "'");
    if (result.exitCode != 0) {
        std::fprintf(stderr, "sqlite3 failed: %s\n", result.out.c_str());
        std::exit(1);
    }
    SqliteRun run;
    std::vector<double> times;
    std::size_t at = 0;
    while (at < result.out.size()) {
        const std::size_t end = result.out.find('\n', at);
        const std::string line = result.out.substr(at, end - at);
        at = end == std::string::npos ? result.out.size() : end + 1;
        double seconds = 0;
        if (std::sscanf(line.c_str(), "Run Time: real %lf", &seconds) == 1) {
            times.push_back(seconds * 1000);
        } else if (times.empty()) {
            // period|printer|jobs|...
            const std::size_t second = line.find('|', line.find('|') + 1);
            run.jobs += std::atoll(line.c_str() + second + 1);
        }
    }
    if (times.size() != kRuns) {
        std::fprintf(stderr, "sqlite3 gave %zu timings, not %d\n", times.size(), kRuns);
        std::exit(1);
    }
    run.medianMs = Median(times);
    const auto start = Clock::now();
    tavrin::test::RunCommand(command + (folder / "once.sql").string() + "' > /dev/null");
    run.wholeRunMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    return run;
}

void Measure(const tavrin::test::TempFolder& folder, const std::filesystem::path& file,
             const char* label, tavrin::TotalsPeriod period,
             const std::vector<std::int64_t>& bounds, const char* format) {
    tavrin::JobLog log(file);
    const tavrin::JobLogFilter month{bounds.front(), bounds.back(), std::nullopt};
    std::vector<double> times;
    std::int64_t jobs = 0;
    std::size_t groups = 0;
    for (int run = 0; run < kRuns; ++run) {
        const auto start = Clock::now();
        const std::vector<tavrin::JobTotals> totals = log.Totals(month, period);
        times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        jobs = 0;
        for (const tavrin::JobTotals& each : totals)
            jobs += each.jobs;
        groups = totals.size();
    }
    const SqliteRun same = RunSqlite(folder, file, TotalsSql(bounds));
    const SqliteRun typed =
        RunSqlite(folder, file, StrftimeSql(format, bounds.front(), bounds.back()));
    if (same.jobs != jobs || typed.jobs != jobs) {
        std::fprintf(stderr, "the totals disagree: %lld jobs, sqlite3 %lld and %lld\n",
                     static_cast<long long>(jobs), static_cast<long long>(same.jobs),
                     static_cast<long long>(typed.jobs));
        std::exit(1);
    }
    std::printf(
        "%-24s %6lld jobs, %3zu lines: JobLog::Totals %7.2f ms   |   sqlite3 same SQL %7.2f ms"
        "   strftime GROUP BY %7.2f ms   (one whole sqlite3 run %7.2f ms)\n",
        label, static_cast<long long>(jobs), groups, Median(times), same.medianMs, typed.medianMs,
        same.wholeRunMs);
}

}  // namespace

int main() {
    if (tavrin::test::RunCommand("sqlite3 -version > /dev/null 2>&1").exitCode != 0) {
        std::fprintf(stderr, "the sqlite3 program is not installed (Debian package sqlite3)\n");
        return 1;
    }
    const int rows = BenchSize(1'000'000, 10'000);
    tavrin::test::TempFolder folder;
    const std::filesystem::path file = folder / "joblog.sqlite";
    const auto start = Clock::now();
    FillLog(file, rows, LocalMidnight(2026, 1, 1), LocalMidnight(2027, 1, 1));
    std::printf("%d jobs over 2026 on 5 printers: %.1f MB, made in %.1f s; medians of %d runs\n",
                rows, std::filesystem::file_size(file) / 1e6,
                std::chrono::duration<double>(Clock::now() - start).count(), kRuns);

    std::vector<std::int64_t> days;
    for (int day = 1; day <= 31; ++day)
        days.push_back(LocalMidnight(2026, 7, day));
    days.push_back(LocalMidnight(2026, 8, 1));
    Measure(folder, file, "July, per printer", tavrin::TotalsPeriod::Month,
            {days.front(), days.back()}, "%Y-%m");
    Measure(folder, file, "July, per day and printer", tavrin::TotalsPeriod::Day, days, "%Y-%m-%d");
    return 0;
}
