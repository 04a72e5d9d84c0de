#pragma once

#include <functional>
#include <optional>
#include <ostream>
#include <vector>

#include "printsystem/PrintSpooler.h"
#include "spool/JobTracker.h"

namespace tavrin::cli {

// Follows the jobs of a run until each has ended, or until `timeoutSeconds` have passed. One
// line per job on `out` as it ends ("FILE<tab>PRINTER-ID<tab>printed|not printed<tab>REASON"),
// a line on `err` whenever a job gets stuck, and at the end on `err` the jobs not printed
// ("Not printed on %s:") and those still open ("Still open on %s:"), each with its reason or
// state. Returns kExitOk when every job printed, kExitStillOpen when time ran out, else
// kExitRefused. `ended` is told of each job as it ends.
int WaitForJobs(PrintSpooler& spooler, const std::vector<TrackedJob>& jobs,
                std::optional<int> timeoutSeconds, std::ostream& out, std::ostream& err,
                const std::function<void(const TrackedJob&)>& ended = {});

}  // namespace tavrin::cli
