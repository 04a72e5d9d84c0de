// tavrin-cli: the spool engine from the command line. It links only the engine and runs the
// same code as the window, with its options taken from flags and the window's INI file.
#include <cstring>
#include <exception>
#include <iostream>

#include "cli/CliCommands.h"
#include "platform/Error.h"
#include "platform/ProgramFile.h"

namespace {

using namespace tavrin::cli;

const Command kCommands[] = {
    {"printers", "[--discover[=SECONDS]]", RunPrinters},
    {"send", "[-p NAME|INDEX] [OPTIONS] FILE... (options: send --help)", RunSend},
    {"settings", "", RunSettings},
    {"pause", "-p NAME|INDEX", RunPause},
    {"resume", "-p NAME|INDEX", RunResume},
    {"purge", "-p NAME|INDEX", RunPurge},
    {"jobs", "-p NAME|INDEX [--all]", RunJobs},
    {"inspect", "[--json] FILE...", RunInspect},
    {"preview", "FILE -o OUT.png|OUT.svg [--width PIXELS]", RunPreview},
    {"log", "[--since DATE] [--until DATE] [--printer NAME] [--csv] [--totals day|week|month]",
     RunLog},
    {"watch", "[--once] [--list] [--folder DIR -p PRINTER [OPTIONS]] (options: watch --help)",
     RunWatch},
};

void PrintUsage(std::ostream& out) {
    out << "usage: tavrin-cli COMMAND [ARGS...]\n";
    for (const auto& command : kCommands) {
        out << "  tavrin-cli " << command.name;
        if (*command.usage)
            out << ' ' << command.usage;
        out << '\n';
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        PrintUsage(std::cerr);
        return kExitUsage;
    }
    if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        PrintUsage(std::cout);
        return kExitOk;
    }
    for (const auto& command : kCommands) {
        if (std::strcmp(argv[1], command.name) != 0)
            continue;
        try {
            const Args arguments = tavrin::ProgramArguments(argc, argv);
            return command.run(Args(arguments.begin() + 1, arguments.end()));
        } catch (const UsageError& e) {
            std::cerr << "tavrin-cli: " << e.what() << '\n';
            std::cerr << "usage: tavrin-cli " << command.name << ' ' << command.usage << '\n';
            return kExitUsage;
        } catch (const tavrin::Error& e) {
            std::cerr << e.what() << '\n';
            return kExitError;
        } catch (const std::exception& e) {
            std::cerr << e.what() << '\n';
            return kExitError;
        }
    }
    std::cerr << "tavrin-cli: unknown command '" << argv[1] << "'\n";
    PrintUsage(std::cerr);
    return kExitUsage;
}
