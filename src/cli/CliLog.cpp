// SPDX-License-Identifier: GPL-3.0-or-later
#include <charconv>
#include <cstdio>
#include <ctime>
#include <iostream>

#include "cli/CliCommands.h"
#include "joblog/JobLog.h"
#include "platform/LocalTime.h"

namespace tavrin::cli {
namespace {

struct LogRequest {
    JobLogFilter filter;
    bool csv = false;
    std::optional<TotalsPeriod> totals;
};

// The first moment of the local day `text` names (YYYY-MM-DD), or of a day that many after it.
std::int64_t DayStart(const std::string& text, int daysAfter) {
    const auto digits = [&](std::size_t from, std::size_t count) {
        return WholeNumberIn(text.substr(from, count), 0, 9999);
    };
    const bool shaped = text.size() == 10 && text[4] == '-' && text[7] == '-';
    const auto year = shaped ? digits(0, 4) : std::nullopt;
    const auto month = shaped ? digits(5, 2) : std::nullopt;
    const auto day = shaped ? digits(8, 2) : std::nullopt;
    std::tm local{};
    if (year && month && day) {
        local.tm_year = *year - 1900;
        local.tm_mon = *month - 1;
        local.tm_mday = *day;
        local.tm_isdst = -1;
        // mktime moves 2026-02-30 on to March: a day that does not exist is no date.
        if (std::mktime(&local) != -1 && local.tm_mon == *month - 1 && local.tm_mday == *day) {
            local.tm_mday += daysAfter;
            local.tm_hour = local.tm_min = local.tm_sec = 0;
            local.tm_isdst = -1;
            return static_cast<std::int64_t>(std::mktime(&local));
        }
    }
    throw UsageError("'" + text + "' is not a date (YYYY-MM-DD)");
}

TotalsPeriod PeriodNamed(const std::string& word) {
    if (word == "day")
        return TotalsPeriod::Day;
    if (word == "week")
        return TotalsPeriod::Week;
    if (word == "month")
        return TotalsPeriod::Month;
    throw UsageError("--totals takes day, week or month, not '" + word + "'");
}

LogRequest ReadArgs(const Args& args) {
    LogRequest request;
    for (std::size_t at = 0; at < args.size(); ++at) {
        std::string option = args[at];
        std::optional<std::string> attached;
        if (const auto equals = option.find('=');
            option.starts_with("--") && equals != option.npos) {
            attached = option.substr(equals + 1);
            option.erase(equals);
        }
        const auto value = [&]() -> std::string {
            if (attached)
                return *attached;
            if (at + 1 >= args.size())
                throw UsageError(option + " needs a value");
            return args[++at];
        };
        if (option == "--since") {
            request.filter.since = DayStart(value(), 0);
        } else if (option == "--until") {
            request.filter.until = DayStart(value(), 1);
        } else if (option == "--printer") {
            request.filter.printer = value();
            if (request.filter.printer->empty())
                throw UsageError("--printer needs a name");
        } else if (option == "--totals") {
            request.totals = PeriodNamed(value());
        } else if (option == "--csv" && !attached) {
            request.csv = true;
        } else {
            throw UsageError("log takes no argument '" + args[at] + "'");
        }
    }
    return request;
}

std::string Fixed(double value, int decimals) {
    char text[64];
    const auto [end, error] =
        std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
    return error == std::errc() ? std::string(text, end) : std::string();
}

std::string SentText(std::int64_t at) {
    return LocalTimeText(at, "%Y-%m-%d %H:%M");
}

// A field of a tab-separated line: its own tabs and line breaks would split it.
std::string Cell(std::string text) {
    for (char& c : text) {
        if (c == '\t' || c == '\n' || c == '\r')
            c = ' ';
    }
    return text;
}

std::string JobLine(const JobRecord& job) {
    const auto area = AreaSquareMetres(job);
    const auto roll = RollMetres(job);
    const bool rollPrinter = job.deviceClass == "HP-GL/2" || job.deviceClass == "Oce";
    const std::string size = job.widthMm && job.heightMm
                                 ? Fixed(*job.widthMm, 1) + " x " + Fixed(*job.heightMm, 1)
                                 : "unknown";
    return SentText(job.sentAt) + '\t' + Cell(job.printer) + '\t' + Cell(job.fileName) + '\t' +
           std::to_string(job.copies) + '\t' + OutcomeWord(job.outcome) + '\t' + size + '\t' +
           (area ? Fixed(*area, 3) : "unknown") + '\t' +
           (!rollPrinter ? "-"
            : roll       ? Fixed(*roll, 3)
                         : "unknown") +
           '\t' + Cell(job.reason);
}

std::string TotalsLine(const JobTotals& totals) {
    return totals.period + '\t' + Cell(totals.printer) + '\t' + std::to_string(totals.jobs) + '\t' +
           std::to_string(totals.copies) + '\t' + Fixed(totals.squareMetres, 3) + '\t' +
           Fixed(totals.rollMetres, 3);
}

}  // namespace

int RunLog(const Args& args) {
    const LogRequest request = ReadArgs(args);
    JobLog log(JobLogFile());
    if (log.MovedAside()) {
        std::cerr << "The job log " << log.File().string()
                  << " was not a job log or was damaged: it was moved to "
                  << log.MovedAside()->string() << " and a new log was started\n";
    }
    if (request.totals) {
        const std::vector<JobTotals> totals = log.Totals(request.filter, *request.totals);
        if (request.csv) {
            std::cout << TotalsAsCsv(totals);
            return kExitOk;
        }
        std::cout << "PERIOD\tPRINTER\tJOBS\tCOPIES\tAREA_M2\tROLL_M\n";
        for (const JobTotals& each : totals)
            std::cout << TotalsLine(each) << '\n';
        return kExitOk;
    }
    const std::vector<JobRecord> jobs = log.Jobs(request.filter);
    if (request.csv) {
        std::cout << JobsAsCsv(jobs);
        return kExitOk;
    }
    std::cout << "SENT\tPRINTER\tFILE\tCOPIES\tOUTCOME\tSIZE_MM\tAREA_M2\tROLL_M\tREASON\n";
    for (const JobRecord& job : jobs)
        std::cout << JobLine(job) << '\n';
    return kExitOk;
}

}  // namespace tavrin::cli
