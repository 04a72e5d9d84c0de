#pragma once

#include <optional>
#include <string>
#include <vector>

#include "printsystem/CupsConnection.h"
#include "printsystem/PrintSpooler.h"

namespace tavrin {

// Asks the server on `connection` for the state of a queue and of its jobs numbered
// `firstJobId` or later, ended ones too: two requests. Nothing when either goes unanswered;
// connection.FailureText() then says why.
std::optional<QueueStatus> ReadQueueStatus(CupsConnection& connection, const std::string& queueName,
                                           int firstJobId);
// The same for the printer at `printerUri`, asked at `resource` on the connection.
std::optional<QueueStatus> ReadPrinterStatus(CupsConnection& connection,
                                             const std::string& printerUri,
                                             const std::string& resource, int firstJobId);

// The jobs of the printer at `printerUri` (asked at `resource`) as a queue listing shows them,
// oldest first; nothing when they cannot be read.
std::optional<std::vector<QueueJob>> ReadQueueJobs(const CupsConnection& connection,
                                                   const std::string& printerUri,
                                                   const std::string& resource, JobsWanted wanted);

// The readers of the server's answers: a printer's state from Get-Printer-Attributes, and the
// jobs of a Get-Jobs answer, with their states or as a queue listing shows them (by job id).
// Attributes of unexpected types read as empty or 0.
PrinterStatus PrinterStatusOfResponse(ipp_t* response);
std::vector<JobStatus> JobStatusesOfResponse(ipp_t* response);
std::vector<QueueJob> QueueJobsOfResponse(ipp_t* response);

}  // namespace tavrin
