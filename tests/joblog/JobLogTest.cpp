// SPDX-License-Identifier: GPL-3.0-or-later
// The job log's rows and totals, and several writers on one file at once.
#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <cmath>
#include <set>
#include <thread>

#include "joblog/JobLog.h"
#include "platform/Error.h"
#include "support/JobSamples.h"
#include "support/TempFolder.h"

namespace tavrin {
namespace {

using test::LocalTime;
using test::SampleJob;
using test::Size;

class JobLogTest : public ::testing::Test {
protected:
    test::TempFolder folder;
    // A folder that is not there yet: the log makes it.
    std::filesystem::path file = folder / "share/tavrin/joblog.sqlite";
};

TEST_F(JobLogTest, JobsComeBackWholeNewestFirstAndAsTheFilterSays) {
    JobRecord odd = SampleJob("oce-9600", "Oce", LocalTime(2026, 12, 7, 9, 30), std::nullopt, 2,
                              "/srv/Pläne/\"A\", rev 2.plt");
    odd.endedAt = LocalTime(2026, 12, 7, 9, 31);
    odd.bytes = 6'000'000'000;
    odd.deviceCopies = true;
    odd.outcome = LoggedOutcome::NotPrinted;
    odd.reason = "aborted\nby the device; 'paper out'";
    odd.frontEnd = "/srv/hot folders/oce";
    const std::vector<JobRecord> added = {
        SampleJob("hpgl", "HP-GL/2", LocalTime(2026, 12, 6, 23, 59, 59), Size{841, 594}, 1),
        odd,
        SampleJob("ps", "PostScript", LocalTime(2026, 12, 8), Size{210, 297}, 5, "/a.ps"),
        SampleJob("hpgl", "HP-GL/2", LocalTime(2026, 12, 7), Size{1000.5, 914.25}, 3),
    };
    std::vector<JobRecord> stored;
    {
        JobLog log(file);
        EXPECT_EQ(log.MovedAside(), std::nullopt);
        for (JobRecord job : added) {
            job.rowId = log.Add(job);
            stored.push_back(job);
        }
    }
    JobLog log(file);  // the rows outlive the connection
    EXPECT_EQ(log.Jobs({}), (std::vector{stored[2], stored[1], stored[3], stored[0]}));

    struct Row {
        std::optional<std::int64_t> since;
        std::optional<std::int64_t> until;
        std::optional<std::string> printer;
        std::vector<int> expected;  // indexes into `stored`, newest first
    };
    const Row rows[] = {
        {LocalTime(2026, 12, 7), std::nullopt, std::nullopt, {2, 1, 3}},
        {std::nullopt, LocalTime(2026, 12, 7), std::nullopt, {0}},
        {LocalTime(2026, 12, 7), LocalTime(2026, 12, 8), std::nullopt, {1, 3}},
        {std::nullopt, std::nullopt, "hpgl", {3, 0}},
        {LocalTime(2026, 12, 7), std::nullopt, "hpgl", {3}},
        {std::nullopt, std::nullopt, "HPGL", {}},
        {LocalTime(2026, 12, 9), std::nullopt, std::nullopt, {}},
    };
    for (const Row& row : rows) {
        std::vector<JobRecord> expected;
        for (const int index : row.expected)
            expected.push_back(stored[static_cast<std::size_t>(index)]);
        EXPECT_EQ(log.Jobs({row.since, row.until, row.printer}), expected)
            << row.printer.value_or("any printer") << ' ' << row.since.value_or(-1) << ' '
            << row.until.value_or(-1);
    }
}

TEST_F(JobLogTest, ARowGetsItsJobIdAndItsEndAndTheNewestOfAFileIsFound) {
    JobLog log(file);
    const std::string plan = "/srv/plots/plan.plt";
    const std::int64_t first = log.Add(SampleJob("hpgl", "HP-GL/2", 1000, Size{841, 594}, 1));
    JobRecord before = SampleJob("queue-to-be", "HP-GL/2", 900, Size{841, 594}, 2);
    before.jobId = 0;  // recorded before the spooler took it
    const std::int64_t second = log.Add(before);
    log.Add(SampleJob("ps", "PostScript", 5000, std::nullopt, 1, "/srv/plots/other.ps"));

    // The row added second is the older send until its job id and time come.
    EXPECT_EQ(log.NewestFor(plan)->rowId, first);
    log.SetJobId(second, "hpgl", 42, 2000);
    log.SetOutcome(second, LoggedOutcome::NotPrinted, "aborted-by-system", 2100);
    log.SetOutcome(first, LoggedOutcome::Printed, "", 1500);

    JobRecord expected = before;
    expected.rowId = second;
    expected.printer = "hpgl";
    expected.jobId = 42;
    expected.sentAt = 2000;
    expected.outcome = LoggedOutcome::NotPrinted;
    expected.reason = "aborted-by-system";
    expected.endedAt = 2100;
    EXPECT_EQ(log.NewestFor(plan), expected);
    const std::vector<JobRecord> rows = log.JobsFor(plan);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1], expected);
    EXPECT_EQ(std::tie(rows[0].rowId, rows[0].outcome, rows[0].endedAt),
              std::tuple(first, LoggedOutcome::Printed, std::int64_t{1500}));
    EXPECT_EQ(log.NewestFor("/srv/plots/none.plt"), std::nullopt);
    EXPECT_TRUE(log.JobsFor("/srv/plots").empty());

    // A row that is not there is said so, and nothing changes.
    try {
        log.SetOutcome(99, LoggedOutcome::Printed, "", 3000);
        ADD_FAILURE() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.what(), "Cannot write the job log " + file.string() + ": it holds no job 99");
    }
    EXPECT_EQ(log.Jobs({}).size(), 3u);
}

// Rows across a month's, a year's and an ISO week's turn; one roll job without a size.
std::vector<JobRecord> TurnOfTheYear() {
    return {
        SampleJob("hpgl", "HP-GL/2", LocalTime(2026, 11, 30, 8), Size{841, 594}, 1),
        SampleJob("oce", "Oce", LocalTime(2026, 12, 28, 12), Size{594, 841}, 1),
        SampleJob("ps", "PostScript", LocalTime(2026, 12, 31, 10), Size{210, 297}, 5),
        SampleJob("hpgl", "HP-GL/2", LocalTime(2026, 12, 31, 23, 30), Size{841, 594}, 2),
        SampleJob("hpgl", "HP-GL/2", LocalTime(2027, 1, 1, 0, 30), std::nullopt, 1),
        SampleJob("hpgl", "HP-GL/2", LocalTime(2027, 1, 1, 10), Size{1000, 914}, 3),
        SampleJob("ps", "PostScript", LocalTime(2027, 1, 4, 9), Size{297, 420}, 1),
    };
}

// Areas and lengths to the micrometre, so that sums in another order compare equal.
std::vector<JobTotals> Rounded(std::vector<JobTotals> totals) {
    for (JobTotals& each : totals) {
        each.squareMetres = std::round(each.squareMetres * 1e6) / 1e6;
        each.rollMetres = std::round(each.rollMetres * 1e6) / 1e6;
    }
    return totals;
}

TEST_F(JobLogTest, TotalsGoByLocalDayIsoWeekAndMonthThenPrinter) {
    JobLog log(file);
    for (const JobRecord& job : TurnOfTheYear())
        log.Add(job);
    const JobLogFilter all;
    const JobLogFilter lastNight{LocalTime(2026, 12, 31), LocalTime(2027, 1, 1, 6), std::nullopt};
    JobLogFilter hpglOnly;
    hpglOnly.printer = "hpgl";
    JobLogFilter february;
    february.since = LocalTime(2027, 2, 1);
    struct Row {
        JobLogFilter filter;
        TotalsPeriod period;
        std::vector<JobTotals> expected;
    };
    const Row rows[] = {
        {all,
         TotalsPeriod::Day,
         {{"2026-11-30", "hpgl", 1, 1, 0.499554, 0.841, 0},
          {"2026-12-28", "oce", 1, 1, 0.499554, 0.594, 0},
          {"2026-12-31", "hpgl", 1, 2, 0.999108, 1.682, 0},
          {"2026-12-31", "ps", 1, 5, 0.31185, 0, 0},
          {"2027-01-01", "hpgl", 2, 4, 2.742, 3.0, 1},
          {"2027-01-04", "ps", 1, 1, 0.12474, 0, 0}}},
        {all,
         TotalsPeriod::Week,
         {{"2026-W49", "hpgl", 1, 1, 0.499554, 0.841, 0},
          {"2026-W53", "hpgl", 3, 6, 3.741108, 4.682, 1},
          {"2026-W53", "oce", 1, 1, 0.499554, 0.594, 0},
          {"2026-W53", "ps", 1, 5, 0.31185, 0, 0},
          {"2027-W01", "ps", 1, 1, 0.12474, 0, 0}}},
        {all,
         TotalsPeriod::Month,
         {{"2026-11", "hpgl", 1, 1, 0.499554, 0.841, 0},
          {"2026-12", "hpgl", 1, 2, 0.999108, 1.682, 0},
          {"2026-12", "oce", 1, 1, 0.499554, 0.594, 0},
          {"2026-12", "ps", 1, 5, 0.31185, 0, 0},
          {"2027-01", "hpgl", 2, 4, 2.742, 3.0, 1},
          {"2027-01", "ps", 1, 1, 0.12474, 0, 0}}},
        {lastNight,
         TotalsPeriod::Week,
         {{"2026-W53", "hpgl", 2, 3, 0.999108, 1.682, 1}, {"2026-W53", "ps", 1, 5, 0.31185, 0, 0}}},
        {hpglOnly,
         TotalsPeriod::Month,
         {{"2026-11", "hpgl", 1, 1, 0.499554, 0.841, 0},
          {"2026-12", "hpgl", 1, 2, 0.999108, 1.682, 0},
          {"2027-01", "hpgl", 2, 4, 2.742, 3.0, 1}}},
        {february, TotalsPeriod::Day, {}},
    };
    for (const Row& row : rows)
        EXPECT_EQ(Rounded(log.Totals(row.filter, row.period)), Rounded(row.expected));
}

TEST_F(JobLogTest, TotalsAreTheSumsOfTheRowsTheyCover) {
    JobLog log(file);
    for (const JobRecord& job : TurnOfTheYear())
        log.Add(job);
    // Three months of jobs, one every 7 hours and 13 minutes, on three printers.
    const char* const printers[][2] = {{"hpgl", "HP-GL/2"}, {"oce", "Oce"}, {"ps", "PostScript"}};
    for (int n = 0; n < 300; ++n) {
        const auto* printer = printers[n % 3];
        const std::optional<Size> size =
            n % 4 == 0 ? std::nullopt : std::optional(Size{594.0 + n, 420.5});
        log.Add(SampleJob(printer[0], printer[1], LocalTime(2026, 11, 15) + n * 26'000, size,
                          n % 5 + 1));
    }
    const JobLogFilter filters[] = {
        {},
        {LocalTime(2026, 12, 3, 13), LocalTime(2027, 1, 9, 7), std::nullopt},
        {LocalTime(2026, 12, 1), std::nullopt, "oce"},
    };
    for (const JobLogFilter& filter : filters) {
        JobTotals rows;
        for (const JobRecord& job : log.Jobs(filter)) {
            ++rows.jobs;
            rows.copies += job.copies;
            rows.squareMetres += AreaSquareMetres(job).value_or(0);
            rows.rollMetres += RollMetres(job).value_or(0);
            rows.unknownSize += AreaSquareMetres(job) ? 0 : 1;
        }
        ASSERT_GT(rows.jobs, 20);
        for (const TotalsPeriod period :
             {TotalsPeriod::Day, TotalsPeriod::Week, TotalsPeriod::Month}) {
            JobTotals sum;
            std::set<std::pair<std::string, std::string>> groups;
            for (const JobTotals& each : log.Totals(filter, period)) {
                EXPECT_TRUE(groups.emplace(each.period, each.printer).second) << each.period;
                sum.jobs += each.jobs;
                sum.copies += each.copies;
                sum.squareMetres += each.squareMetres;
                sum.rollMetres += each.rollMetres;
                sum.unknownSize += each.unknownSize;
            }
            EXPECT_EQ(Rounded({sum}), Rounded({rows}));
            EXPECT_TRUE(std::is_sorted(groups.begin(), groups.end()));
        }
    }
}

TEST_F(JobLogTest, WritersOnTheSameFileAtOnceLoseNoRowAndWriteNoneTwice) {
    constexpr int kWriters = 4;  // threads, and on POSIX systems the last one a second process
    constexpr int kRowsEach = 250;
    const auto write = [&](int writer) {
        JobLog log(file);
        for (int row = 0; row < kRowsEach; ++row) {
            log.Add(SampleJob("hpgl", "HP-GL/2", 1000 + row, Size{841, 594}, 1,
                              "/w" + std::to_string(writer) + "/" + std::to_string(row)));
        }
    };
    int threads = kWriters;
#ifndef _WIN32
    const pid_t child = ::fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        try {
            write(kWriters - 1);
            ::_exit(0);
        } catch (...) {
            ::_exit(1);
        }
    }
    --threads;
#endif
    std::vector<std::string> failures(static_cast<std::size_t>(threads));
    {
        std::vector<std::jthread> running;
        for (int writer = 0; writer < threads; ++writer) {
            running.emplace_back([&, writer] {
                try {
                    write(writer);
                } catch (const std::exception& e) {
                    failures[static_cast<std::size_t>(writer)] = e.what();
                }
            });
        }
    }
#ifndef _WIN32
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
#endif
    EXPECT_EQ(failures, std::vector<std::string>(failures.size()));

    const std::vector<JobRecord> rows = JobLog(file).Jobs({});
    std::set<std::string> paths;
    std::set<std::int64_t> ids;
    for (const JobRecord& row : rows) {
        paths.insert(row.filePath);
        ids.insert(row.rowId);
    }
    EXPECT_EQ(rows.size(), std::size_t{kWriters * kRowsEach});
    EXPECT_EQ(paths.size(), std::size_t{kWriters * kRowsEach});
    EXPECT_EQ(ids.size(), std::size_t{kWriters * kRowsEach});
}

}  // namespace
}  // namespace tavrin
