// SPDX-License-Identifier: GPL-3.0-or-later
// tavrin-cli log: the job log's rows and totals, as lines for people or as CSV.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <sstream>

#include "joblog/JobLog.h"
#include "support/JobSamples.h"
#include "support/SandboxPrintServer.h"
#include "support/TempFolder.h"

namespace tavrin {
namespace {

namespace fs = std::filesystem;
using test::CliResult;
using test::LocalTime;

JobRecord Job(const char* printer, const char* deviceClass, std::int64_t sentAt,
              std::optional<double> width, std::optional<double> height, int copies,
              const char* path) {
    JobRecord job;
    job.sentAt = sentAt;
    job.filePath = path;
    job.fileName = fs::path(path).filename().string();
    job.printer = printer;
    job.deviceClass = deviceClass;
    job.widthMm = width;
    job.heightMm = height;
    job.copies = copies;
    job.frontEnd = "cli";
    return job;
}

// Each line of `text` split at tabs.
std::vector<std::vector<std::string>> Cells(const std::string& text) {
    std::vector<std::vector<std::string>> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.emplace_back();
        std::istringstream cells(line);
        for (std::string cell; std::getline(cells, cell, '\t');)
            lines.back().push_back(cell);
    }
    return lines;
}

class CliLog : public ::testing::Test {
protected:
    CliLog() { ::setenv("TAVRIN_JOBLOG", file.c_str(), 1); }
    ~CliLog() override { ::unsetenv("TAVRIN_JOBLOG"); }
    CliResult Run(const std::string& arguments) { return test::RunCli(folder.path(), arguments); }
    void Seed() {
        JobLog log(file);
        JobRecord printed = Job("hpgl", "HP-GL/2", LocalTime(2026, 12, 31, 23, 30), 841, 594, 2,
                                "/srv/plots/plan.plt");
        printed.outcome = LoggedOutcome::Printed;
        JobRecord failed = Job("ps", "PostScript", LocalTime(2026, 12, 31, 10, 0), 210, 297, 5,
                               "/srv/docs/a, b.ps");
        failed.outcome = LoggedOutcome::NotPrinted;
        failed.reason = "paper\tout";
        for (const JobRecord& job :
             {Job("oce", "Oce", LocalTime(2026, 12, 28, 12, 0), 594, 841, 1, "/srv/plan.plt"),
              failed, printed,
              Job("hpgl", "HP-GL/2", LocalTime(2027, 1, 1, 0, 30), std::nullopt, std::nullopt, 1,
                  "/srv/plots/plan.plt")})
            log.Add(job);
    }

    test::TempFolder folder;
    fs::path file = folder / "logs/joblog.sqlite";
};

TEST_F(CliLog, ListsTheJobsNewestFirstAsTheFiltersSay) {
    Seed();
    const std::string header =
        "SENT\tPRINTER\tFILE\tCOPIES\tOUTCOME\tSIZE_MM\tAREA_M2\tROLL_M\tREASON\n";
    const std::string lines[] = {
        "2027-01-01 00:30\thpgl\tplan.plt\t1\topen\tunknown\tunknown\tunknown\t\n",
        "2026-12-31 23:30\thpgl\tplan.plt\t2\tprinted\t841.0 x 594.0\t0.999\t1.682\t\n",
        "2026-12-31 10:00\tps\ta, b.ps\t5\tnot printed\t210.0 x 297.0\t0.312\t-\tpaper out\n",
        "2026-12-28 12:00\toce\tplan.plt\t1\topen\t594.0 x 841.0\t0.500\t0.594\t\n",
    };
    const std::pair<std::string, std::vector<int>> rows[] = {
        {"log", {0, 1, 2, 3}},
        {"log --since 2026-12-31", {0, 1, 2}},
        {"log --since=2026-12-31 --until 2026-12-31", {1, 2}},
        {"log --until 2026-12-30", {3}},
        {"log --printer hpgl", {0, 1}},
        {"log --printer hpgl --until 2026-12-31", {1}},
        {"log --printer nobody", {}},
    };
    for (const auto& [arguments, expected] : rows) {
        std::string out = header;
        for (const int line : expected)
            out += lines[line];
        const CliResult result = Run(arguments);
        EXPECT_EQ(std::tie(result.exitCode, result.out, result.err), std::tuple(0, out, ""))
            << arguments;
    }

    // The CSV holds the same jobs as the library writes them.
    JobLogFilter lastDay;
    lastDay.since = LocalTime(2026, 12, 31, 0, 0);
    lastDay.until = LocalTime(2027, 1, 1, 0, 0);
    const CliResult csv = Run("log --csv --since 2026-12-31 --until 2026-12-31");
    EXPECT_EQ(std::tie(csv.exitCode, csv.out),
              std::tuple(0, JobsAsCsv(JobLog(file).Jobs(lastDay))));
}

TEST_F(CliLog, DayTotalsAreTheSumsOfTheListedJobs) {
    Seed();
    const CliResult totals = Run("log --totals day");
    EXPECT_EQ(std::tie(totals.exitCode, totals.out),
              std::tuple(0,
                         "PERIOD\tPRINTER\tJOBS\tCOPIES\tAREA_M2\tROLL_M\n"
                         "2026-12-28\toce\t1\t1\t0.500\t0.594\n"
                         "2026-12-31\thpgl\t1\t2\t0.999\t1.682\n"
                         "2026-12-31\tps\t1\t5\t0.312\t0.000\n"
                         "2027-01-01\thpgl\t1\t1\t0.000\t0.000\n"));
    double sums[4] = {};  // jobs, copies, area, roll
    for (const auto& cells : Cells(Run("log").out)) {
        if (cells[0] == "SENT")
            continue;
        sums[0] += 1;
        sums[1] += std::atof(cells[3].c_str());
        sums[2] += std::atof(cells[6].c_str());  // "unknown" adds nothing
        sums[3] += std::atof(cells[7].c_str());
    }
    double totalled[4] = {};
    for (const auto& cells : Cells(totals.out)) {
        for (int column = 0; column < 4 && cells[0] != "PERIOD"; ++column)
            totalled[column] += std::atof(cells[static_cast<std::size_t>(column) + 2].c_str());
    }
    for (int column = 0; column < 4; ++column)
        EXPECT_NEAR(totalled[column], sums[column], 0.002) << column;

    const CliResult csv = Run("log --totals=month --printer hpgl --csv");
    EXPECT_EQ(std::tie(csv.exitCode, csv.out),
              std::tuple(0,
                         "period,printer,jobs,copies,area_m2,roll_m,unknown_size\n"
                         "2026-12,hpgl,1,2,0.999,1.682,0\n"
                         "2027-01,hpgl,1,1,0.000,0.000,1\n"));
}

TEST_F(CliLog, AnEmptyLogGivesTheHeaderOnly) {
    const std::pair<std::string, std::string> rows[] = {
        {"log", "SENT\tPRINTER\tFILE\tCOPIES\tOUTCOME\tSIZE_MM\tAREA_M2\tROLL_M\tREASON\n"},
        {"log --totals week", "PERIOD\tPRINTER\tJOBS\tCOPIES\tAREA_M2\tROLL_M\n"},
        {"log --csv --totals month", "period,printer,jobs,copies,area_m2,roll_m,unknown_size\n"},
    };
    for (const auto& [arguments, header] : rows) {
        const CliResult result = Run(arguments);
        EXPECT_EQ(std::tie(result.exitCode, result.out, result.err), std::tuple(0, header, ""))
            << arguments;
    }
}

TEST_F(CliLog, BadArgumentsExitWith64AndLeaveTheLogAsItWas) {
    Seed();
    const std::string before = test::ReadFile(file);
    const std::pair<std::string, std::string> rows[] = {
        {"log --since 2026-13-01", "'2026-13-01' is not a date (YYYY-MM-DD)"},
        {"log --until 2026-02-29", "'2026-02-29' is not a date (YYYY-MM-DD)"},
        {"log --since 31.12.2026", "'31.12.2026' is not a date (YYYY-MM-DD)"},
        {"log --since 2026-1-01", "'2026-1-01' is not a date (YYYY-MM-DD)"},
        {"log --since=", "'' is not a date (YYYY-MM-DD)"},
        {"log --until", "--until needs a value"},
        {"log --totals year", "--totals takes day, week or month, not 'year'"},
        {"log --printer ''", "--printer needs a name"},
        {"log --csv=yes", "log takes no argument '--csv=yes'"},
        {"log yesterday", "log takes no argument 'yesterday'"},
    };
    for (const auto& [arguments, message] : rows) {
        const CliResult result = Run(arguments);
        EXPECT_EQ(result.exitCode, 64) << arguments;
        EXPECT_EQ(result.out, "") << arguments;
        EXPECT_EQ(result.err.substr(0, result.err.find('\n')), "tavrin-cli: " + message);
        EXPECT_EQ(test::ReadFile(file), before) << arguments;
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(file.parent_path()), {}), 1);
}

TEST_F(CliLog, AFileThatIsNoJobLogIsMovedAsideAndSaidSo) {
    fs::create_directories(file.parent_path());
    test::WriteBytes(file, "Plot room bookings\n");
    const CliResult result = Run("log");
    EXPECT_EQ(
        std::tie(result.exitCode, result.out),
        std::tuple(0, "SENT\tPRINTER\tFILE\tCOPIES\tOUTCOME\tSIZE_MM\tAREA_M2\tROLL_M\tREASON\n"));
    std::vector<fs::path> moved;
    for (const auto& entry : fs::directory_iterator(file.parent_path())) {
        if (entry.path().filename().string().starts_with("joblog.sqlite.corrupt-"))
            moved.push_back(entry.path());
    }
    ASSERT_EQ(moved.size(), 1u);
    EXPECT_EQ(test::ReadFile(moved[0]), "Plot room bookings\n");
    EXPECT_EQ(result.err, "The job log " + file.string() +
                              " was not a job log or was damaged: it was moved to " +
                              moved[0].string() + " and a new log was started\n");
}

}  // namespace
}  // namespace tavrin
