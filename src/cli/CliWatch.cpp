// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/CliCommands.h"

namespace tavrin::cli {
int RunWatch(const Args&) {
    throw UsageError("watch: not built yet");
}
}  // namespace tavrin::cli
