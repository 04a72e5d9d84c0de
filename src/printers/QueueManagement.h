#pragma once

#include <string>

#include "printsystem/PrintSpooler.h"

namespace tavrin {

// What became of a queue command. The window's menu commands leave it unreported; tavrin-cli
// reports it.
struct QueueCommandResult {
    bool accepted = false;
    std::string refusal;  // why the command did not reach the queue, for the user
};

// Opens `printerName`, sends `command` to its queue and closes the printer again.
QueueCommandResult SendQueueCommand(PrintSpooler& spooler, const std::string& printerName,
                                    QueueCommand command);

}  // namespace tavrin
