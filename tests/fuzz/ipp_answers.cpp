// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary bytes, read as an IPP message as libcups reads a print server's answer, to every
// reader of such answers: the queue list, a printer's state and what a printer says of itself,
// the jobs' states and the queue listing. Whatever the attributes' types, nothing may crash, and
// what the readers give must make sense to those who use it: every queue has a name, and every
// ended job's verdict a reason.
#include <cups/cups.h>

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "FuzzSupport.h"
#include "printsystem/CupsQueueList.h"
#include "printsystem/CupsQueueStatus.h"
#include "printsystem/IppPrinterDescription.h"
#include "spool/JobVerdict.h"

namespace {

struct Bytes {
    const std::uint8_t* data;
    std::size_t left;
};

ssize_t ReadBytes(void* source, ipp_uchar_t* buffer, std::size_t wanted) {
    auto* bytes = static_cast<Bytes*>(source);
    const std::size_t count = std::min(wanted, bytes->left);
    std::memcpy(buffer, bytes->data, count);
    bytes->data += count;
    bytes->left -= count;
    return static_cast<ssize_t>(count);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using tavrin::fuzz::Check;
    Bytes bytes{data, size};
    ipp_t* answer = ippNew();
    if (ippReadIO(&bytes, ReadBytes, 1, nullptr, answer) != IPP_STATE_DATA) {
        ippDelete(answer);
        return 0;
    }
    for (const tavrin::CupsQueueEntry& queue : tavrin::QueuesOfResponse(answer))
        Check(!queue.name.empty(), "a listed queue without a name");
    const tavrin::PrinterStatus printer = tavrin::PrinterStatusOfResponse(answer);
    for (const tavrin::JobStatus& job : tavrin::JobStatusesOfResponse(answer)) {
        for (bool troubleLasts : {false, tavrin::PrinterReportsTrouble(printer)}) {
            const tavrin::JobVerdict verdict = tavrin::JudgeJob(&job, printer, troubleLasts);
            Check(verdict.outcome == tavrin::JobOutcome::Open || !verdict.reason.empty(),
                  "an ended job without a reason");
            Check(!verdict.stuck || !verdict.reason.empty(), "a stuck job without a reason");
        }
    }
    tavrin::QueueJobsOfResponse(answer);
    for (const std::string& format :
         tavrin::IppPrinterDescriptionOfResponse(answer).documentFormats)
        Check(!format.empty(), "an empty document-format");
    ippDelete(answer);
    return 0;
}
