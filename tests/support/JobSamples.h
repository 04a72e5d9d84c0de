// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>

#include "joblog/JobRecord.h"

namespace tavrin::test {

// Seconds since the epoch of a local date and time.
inline std::int64_t LocalTime(int year, int month, int day, int hour = 0, int minute = 0,
                              int second = 0) {
    std::tm local{};
    local.tm_year = year - 1900;
    local.tm_mon = month - 1;
    local.tm_mday = day;
    local.tm_hour = hour;
    local.tm_min = minute;
    local.tm_sec = second;
    local.tm_isdst = -1;
    return static_cast<std::int64_t>(std::mktime(&local));
}

struct Size {
    double width;
    double height;
};

// A job as a front end records it; `size` nothing when the file does not say it.
inline JobRecord SampleJob(const std::string& printer, const std::string& deviceClass,
                           std::int64_t sentAt, std::optional<Size> size, int copies,
                           const std::string& filePath = "/srv/plots/plan.plt") {
    JobRecord job;
    job.sentAt = sentAt;
    job.user = "ada";
    job.host = "drawing-office";
    job.filePath = filePath;
    job.fileName = filePath.substr(filePath.rfind('/') + 1);
    job.bytes = 134688;
    job.language = deviceClass == "PostScript" ? "PostScript" : "HP-GL/2";
    if (size) {
        job.widthMm = size->width;
        job.heightMm = size->height;
    }
    job.copies = copies;
    job.printer = printer;
    job.deviceClass = deviceClass;
    job.jobId = 17;
    job.frontEnd = "cli";
    return job;
}

}  // namespace tavrin::test
