#pragma once

#include <optional>
#include <string>

#include "platform/CupsConnection.h"
#include "platform/PrintSpooler.h"

namespace tavrin {

// Asks the server on `connection` for the state of a queue and of its jobs numbered
// `firstJobId` or later, ended ones too: two requests. Nothing when either goes unanswered;
// connection.FailureText() then says why.
std::optional<QueueStatus> ReadQueueStatus(CupsConnection& connection, const std::string& queueName,
                                           int firstJobId);

}  // namespace tavrin
