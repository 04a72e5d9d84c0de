#include <iostream>

#include "app/cli/CliCommands.h"

namespace tavrin::cli {

int RunPrinters(const Args& args) {
    if (!args.empty()) throw UsageError("printers takes no arguments");
    // Filled in with the printer catalogue.
    return kExitOk;
}

}  // namespace tavrin::cli
