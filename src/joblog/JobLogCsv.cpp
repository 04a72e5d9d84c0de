// SPDX-License-Identifier: GPL-3.0-or-later
#include <charconv>
#include <cstdio>
#include <ctime>

#include "joblog/JobLog.h"
#include "platform/LocalTime.h"

namespace tavrin {
namespace {

// Numbers with a point whatever the locale: a front end may have set one with a decimal comma.
std::string Fixed(double value, int decimals) {
    char text[64];
    const auto [end, error] =
        std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
    return error == std::errc() ? std::string(text, end) : std::string();
}

std::string Fixed(const std::optional<double>& value, int decimals) {
    return value ? Fixed(*value, decimals) : "unknown";
}

std::string TimeText(std::int64_t at) {
    return at == 0 ? std::string() : LocalTimeText(at, "%Y-%m-%d %H:%M:%S");
}

// RFC 4180: a field with a comma, a quote or a line break goes in quotes, its quotes doubled.
std::string Field(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (const char c : text) {
        quoted += c;
        if (c == '"')
            quoted += '"';
    }
    return quoted + '"';
}

std::string Line(std::initializer_list<std::string> fields) {
    std::string line;
    for (const std::string& field : fields)
        line += (line.empty() ? "" : ",") + Field(field);
    return line + '\n';
}

}  // namespace

std::string JobsAsCsv(const std::vector<JobRecord>& jobs) {
    std::string csv =
        "sent,ended,user,host,file,path,bytes,language,width_mm,height_mm,copies,device_copies,"
        "printer,class,job_id,outcome,reason,front_end,area_m2,roll_m\n";
    for (const JobRecord& job : jobs) {
        const auto roll = RollMetres(job);
        const bool rollPrinter = job.deviceClass == "HP-GL/2" || job.deviceClass == "Oce";
        csv += Line({TimeText(job.sentAt),
                     TimeText(job.endedAt),
                     job.user,
                     job.host,
                     job.fileName,
                     job.filePath,
                     std::to_string(job.bytes),
                     job.language,
                     Fixed(job.widthMm, 1),
                     Fixed(job.heightMm, 1),
                     std::to_string(job.copies),
                     job.deviceCopies ? "yes" : "no",
                     job.printer,
                     job.deviceClass,
                     std::to_string(job.jobId),
                     OutcomeWord(job.outcome),
                     job.reason,
                     job.frontEnd,
                     Fixed(AreaSquareMetres(job), 3),
                     rollPrinter ? Fixed(roll, 3) : ""});
    }
    return csv;
}

std::string TotalsAsCsv(const std::vector<JobTotals>& totals) {
    std::string csv = "period,printer,jobs,copies,area_m2,roll_m,unknown_size\n";
    for (const JobTotals& each : totals) {
        csv += Line({each.period, each.printer, std::to_string(each.jobs),
                     std::to_string(each.copies), Fixed(each.squareMetres, 3),
                     Fixed(each.rollMetres, 3), std::to_string(each.unknownSize)});
    }
    return csv;
}

}  // namespace tavrin
