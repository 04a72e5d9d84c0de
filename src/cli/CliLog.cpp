// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/CliCommands.h"

namespace tavrin::cli {
int RunLog(const Args&) {
    throw UsageError("log: not built yet");
}
}  // namespace tavrin::cli
