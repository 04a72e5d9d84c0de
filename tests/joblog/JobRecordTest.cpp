// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "support/JobSamples.h"

namespace tavrin {
namespace {

TEST(JobRecord, EachOutcomeHasOneWordAndBackAndOtherWordsNameNone) {
    const std::pair<LoggedOutcome, std::string> rows[] = {
        {LoggedOutcome::Open, "open"},
        {LoggedOutcome::Printed, "printed"},
        {LoggedOutcome::NotPrinted, "not printed"},
        {LoggedOutcome::Refused, "refused"},
    };
    for (const auto& [outcome, word] : rows) {
        EXPECT_EQ(OutcomeWord(outcome), word);
        EXPECT_EQ(OutcomeNamed(word), outcome);
    }
    for (const char* other : {"", "Printed", "not_printed", "printed ", "done"})
        EXPECT_EQ(OutcomeNamed(other), std::nullopt) << other;
}

TEST(JobRecord, PaperIsSizeTimesCopiesAndRollLengthOnlyForRollPrinters) {
    struct Row {
        const char* deviceClass;
        std::optional<test::Size> size;
        int copies;
        std::optional<double> area;
        std::optional<double> roll;
    };
    const Row rows[] = {
        {"HP-GL/2", test::Size{841, 594}, 1, 0.499554, 0.841},
        {"HP-GL/2", test::Size{1500, 914}, 3, 4.113, 4.5},
        {"Oce", test::Size{594, 841}, 2, 0.999108, 1.188},
        {"PostScript", test::Size{210, 297}, 10, 0.6237, std::nullopt},
        {"Other", test::Size{210, 297}, 1, 0.06237, std::nullopt},
        {"HP-GL/2", std::nullopt, 4, std::nullopt, std::nullopt},
        {"PostScript", std::nullopt, 1, std::nullopt, std::nullopt},
    };
    for (const Row& row : rows) {
        const JobRecord job = test::SampleJob("p", row.deviceClass, 0, row.size, row.copies);
        const auto area = AreaSquareMetres(job);
        const auto roll = RollMetres(job);
        ASSERT_EQ(area.has_value(), row.area.has_value()) << row.deviceClass;
        ASSERT_EQ(roll.has_value(), row.roll.has_value()) << row.deviceClass;
        EXPECT_NEAR(area.value_or(0), row.area.value_or(0), 1e-9) << row.deviceClass;
        EXPECT_NEAR(roll.value_or(0), row.roll.value_or(0), 1e-9) << row.deviceClass;
    }
    // Half a size is no size.
    JobRecord widthOnly = test::SampleJob("p", "HP-GL/2", 0, test::Size{841, 594}, 1);
    widthOnly.heightMm.reset();
    EXPECT_EQ(AreaSquareMetres(widthOnly), std::nullopt);
    EXPECT_EQ(RollMetres(widthOnly), std::nullopt);
}

}  // namespace
}  // namespace tavrin
