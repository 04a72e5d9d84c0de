#pragma once

#include <optional>
#include <string>

#include "printsystem/CupsConnection.h"
#include "printsystem/PrintSpooler.h"

namespace tavrin {

// What the engine reads of a CUPS queue.
struct CupsQueueAttributes {
    std::string deviceUri;                  // the queue's device, e.g. socket://10.0.0.7:9100
    std::string printerUri;                 // printer-uri-supported
    std::string info;                       // the description an administrator gave
    std::optional<std::string> technology;  // option technology (technology-default)

    bool operator==(const CupsQueueAttributes&) const = default;
};

// Reads one printer attribute of a response into `queue`; other attributes change nothing.
void TakeQueueAttribute(CupsQueueAttributes& queue, ipp_attribute_t* attr);

// Asks the server for one queue's attributes in a single request on `connection` (so the wait
// stays within its bounds). Nothing when the queue is unknown or the server does not answer;
// connection.FailureText() then says why.
std::optional<CupsQueueAttributes> ReadQueueAttributes(CupsConnection& connection,
                                                       const std::string& queueName);

// The queue window's state of a job whose IPP job-state is `ippJobState`; pending for a value
// it does not know.
QueueJobState QueueJobStateOf(int ippJobState);

}  // namespace tavrin
