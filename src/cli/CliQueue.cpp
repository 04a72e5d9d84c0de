#include <algorithm>
#include <iostream>

#include "cli/CliCommands.h"
#include "cli/CliSpooler.h"
#include "cli/PrinterArgument.h"
#include "platform/Error.h"
#include "printers/PrinterCatalogue.h"
#include "printers/QueueJobText.h"
#include "printers/QueueManagement.h"

namespace tavrin::cli {
namespace {

void CheckPrinterArgument(const Args& args, const char* command) {
    if (args.size() != 2 || args[0] != "-p" || args[1].empty()) {
        throw UsageError(std::string(command) + " needs exactly -p NAME|INDEX");
    }
}

// The printer named by -p: a printer's name, or an index into the printer list (a printer
// whose name is a number wins). Anything else is passed on, so that opening it fails with the
// spooler's reason.
std::string PrinterArgument(PrintSpooler& spooler, const Args& args) {
    const std::string& given = args[1];
    PrinterCatalogue catalogue(spooler);
    const auto index = FindPrinter(catalogue.Names(), given);
    return index ? catalogue.Names()[static_cast<std::size_t>(*index)] : given;
}

int RunQueueCommand(const Args& args, const char* name, QueueCommand command) {
    CheckPrinterArgument(args, name);
    CliSpooler printers(LocateSettings(WindowProgramFile()), args[1]);
    PrintSpooler& spooler = printers.Spooler();
    const std::string printer = PrinterArgument(spooler, args);
    const QueueCommandResult result = SendQueueCommand(spooler, printer, command);
    if (!result.accepted)
        throw Error(result.refusal);
    return kExitOk;
}

}  // namespace

int RunPause(const Args& args) {
    return RunQueueCommand(args, "pause", QueueCommand::Pause);
}

int RunResume(const Args& args) {
    return RunQueueCommand(args, "resume", QueueCommand::Resume);
}

int RunPurge(const Args& args) {
    return RunQueueCommand(args, "purge", QueueCommand::Purge);
}

int RunJobs(const Args& given) {
    Args args = given;
    const auto all = std::find(args.begin(), args.end(), "--all");
    const bool alsoEnded = all != args.end();
    if (alsoEnded)
        args.erase(all);
    CheckPrinterArgument(args, "jobs");
    CliSpooler printers(LocateSettings(WindowProgramFile()), args[1]);
    PrintSpooler& spooler = printers.Spooler();
    const std::string printerName = PrinterArgument(spooler, args);
    const auto printer = spooler.Open(printerName);
    if (!printer->ok()) {
        std::string text = FormatMessage("Cannot open printer %s", printerName);
        if (!printer->error().empty())
            text += ": " + printer->error();
        throw Error(text);
    }
    const auto jobs = printer->Jobs(alsoEnded ? JobsWanted::AlsoEnded : JobsWanted::Waiting);
    if (!jobs)
        throw Error(FormatMessage("Cannot read the queue of printer %s", printerName));
    for (const QueueJob& job : *jobs)
        std::cout << QueueJobLine(job) << '\n';
    return kExitOk;
}

}  // namespace tavrin::cli
