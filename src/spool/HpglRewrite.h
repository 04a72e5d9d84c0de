#pragma once

#include <string>

#include "spool/SpoolOptions.h"

namespace tavrin {

struct HpglRewrite {
    // True when a replot instruction went into the temporary file. False when none was asked for
    // ("Copies by plotter" off, or a count below 1) and also when no page instruction qualified:
    // the plotter then makes no copies, so the caller sends the copies as separate jobs.
    bool replotPlaced = false;
};

// Copies the HP-GL/2 file at `sourcePath` to the temporary file, blanking the quality instruction
// in the head ("Quality on plotter") and inserting a replot instruction for `replotCount` extra
// plots after the first page instruction in the tail ("Copies by plotter"). Raises Error with
// "File not found", "File access denied" or "I/O error <errno>" when a file cannot be opened,
// read or written, and "Cannot create file <path>" when the temporary file's name is unsafe.
HpglRewrite RewriteHpglFile(const std::string& sourcePath, int replotCount,
                            const SpoolOptions& options);

}  // namespace tavrin
