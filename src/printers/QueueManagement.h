#pragma once

#include <string>

#include "platform/Form.h"
#include "platform/PrintSpooler.h"

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

// The "Queue Mgt" menu commands. They act on the printer selected at the moment of the command
// (`printerName`), whichever printer an earlier pause or resume went to.
//
// Pause and resume swap the enabled states of the two menu items before the command is sent,
// so the items follow the user's last choice even when the spooler refuses it.
QueueCommandResult Pauseprinting1Click(Form& form, PrintSpooler& spooler,
                                       const std::string& printerName);
QueueCommandResult Resumeprinting1Click(Form& form, PrintSpooler& spooler,
                                        const std::string& printerName);
// Deletes every job of the queue, then restores the print button's caption. The button's
// enabled state, and so an armed schedule, is left as it is.
QueueCommandResult ClearQueu1Click(Form& form, PrintSpooler& spooler,
                                   const std::string& printerName);

}  // namespace tavrin
