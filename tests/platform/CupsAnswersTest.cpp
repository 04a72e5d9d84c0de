// SPDX-License-Identifier: GPL-3.0-or-later
// The readers of the print server's answers, given attributes of the wrong type or empty words.
#include <cups/cups.h>
#include <gtest/gtest.h>

#include "platform/CupsQueueStatus.h"

namespace tavrin {
namespace {

TEST(CupsAnswers, WrongTypesReadAsEmptyAndEmptyOrNoneWordsAreLeftOut) {
    ipp_t* answer = ippNew();
    const char* reasons[] = {"", "none", "media-empty-error"};
    ippAddStrings(answer, IPP_TAG_PRINTER, IPP_TAG_KEYWORD, "printer-state-reasons", 3, nullptr,
                  reasons);
    ippAddInteger(answer, IPP_TAG_PRINTER, IPP_TAG_INTEGER, "printer-state-message", 7);
    ippAddInteger(answer, IPP_TAG_JOB, IPP_TAG_INTEGER, "job-id", 4);
    ippAddInteger(answer, IPP_TAG_JOB, IPP_TAG_INTEGER, "job-name", 12);  // no text
    ippAddStrings(answer, IPP_TAG_JOB, IPP_TAG_KEYWORD, "job-state-reasons", 3, nullptr, reasons);

    const PrinterStatus printer = PrinterStatusOfResponse(answer);
    EXPECT_EQ(printer, (PrinterStatus{false, {"media-empty-error"}, ""}));
    const std::vector<QueueJob> listed = QueueJobsOfResponse(answer);
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ((std::pair{listed[0].id, listed[0].documentName}), (std::pair{4, std::string()}));
    const std::vector<JobStatus> jobs = JobStatusesOfResponse(answer);
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_EQ(jobs[0].reasons, std::vector<std::string>{"media-empty-error"});
    ippDelete(answer);
}

}  // namespace
}  // namespace tavrin
