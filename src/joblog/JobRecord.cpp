// SPDX-License-Identifier: GPL-3.0-or-later
#include "joblog/JobRecord.h"

namespace tavrin {
namespace {

constexpr struct {
    LoggedOutcome outcome;
    const char* word;
} kOutcomeWords[] = {
    {LoggedOutcome::Open, "open"},
    {LoggedOutcome::Printed, "printed"},
    {LoggedOutcome::NotPrinted, "not printed"},
    {LoggedOutcome::Refused, "refused"},
};

bool SizeKnown(const JobRecord& job) {
    return job.widthMm && job.heightMm;
}

}  // namespace

const char* OutcomeWord(LoggedOutcome outcome) {
    for (const auto& [each, word] : kOutcomeWords) {
        if (each == outcome)
            return word;
    }
    return "open";
}

std::optional<LoggedOutcome> OutcomeNamed(const std::string& word) {
    for (const auto& [outcome, each] : kOutcomeWords) {
        if (word == each)
            return outcome;
    }
    return std::nullopt;
}

std::optional<double> AreaSquareMetres(const JobRecord& job) {
    if (!SizeKnown(job))
        return std::nullopt;
    return *job.widthMm * *job.heightMm * job.copies / 1e6;
}

std::optional<double> RollMetres(const JobRecord& job) {
    if (!SizeKnown(job) || (job.deviceClass != "HP-GL/2" && job.deviceClass != "Oce"))
        return std::nullopt;
    return *job.widthMm * job.copies / 1000;
}

}  // namespace tavrin
