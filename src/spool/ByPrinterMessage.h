// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

#include "spool/JobTracker.h"

namespace tavrin {

// The most lines a message lists per printer; the rest are counted.
inline constexpr int kMostRefusedNamesShown = 20;

struct PrinterLine {
    std::string printerName;
    std::string text;
};

// Per printer, in the order the printers first come: `heading` with the printer's name for %s,
// then its lines one per line, at most kMostRefusedNamesShown, then "and <n> more"; a blank line
// between printers. Empty when there are no lines.
std::string ByPrinterMessage(const char* heading, const std::vector<PrinterLine>& lines);

// "Not printed on <printer>:" and a line "<document name>: <reason>" per job.
std::string NotPrintedMessage(const std::vector<TrackedJob>& jobs);

}  // namespace tavrin
