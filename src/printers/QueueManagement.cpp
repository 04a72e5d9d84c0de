#include "printers/QueueManagement.h"

#include "platform/Error.h"

namespace tavrin {
namespace {

const char* VerbOf(QueueCommand command) {
    switch (command) {
        case QueueCommand::Pause:
            return "pause";
        case QueueCommand::Resume:
            return "resume";
        case QueueCommand::Purge:
            return "purge";
    }
    return "control";
}

std::string WithReason(std::string text, const std::string& reason) {
    if (!reason.empty())
        text += ": " + reason;
    return text;
}

}  // namespace

QueueCommandResult SendQueueCommand(PrintSpooler& spooler, const std::string& printerName,
                                    QueueCommand command) {
    const auto printer = spooler.Open(printerName);
    if (!printer->ok()) {
        return {false,
                WithReason(FormatMessage("Cannot open printer %s", printerName), printer->error())};
    }
    if (!printer->Send(command)) {
        const std::string text = std::string("The print spooler refused to ") + VerbOf(command) +
                                 " the queue of printer " + printerName;
        return {false, WithReason(text, printer->error())};
    }
    return {true, {}};
}

}  // namespace tavrin
