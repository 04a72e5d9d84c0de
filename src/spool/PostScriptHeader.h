#pragma once

#include <string>

#include "spool/SpoolOptions.h"

namespace tavrin {

// The setpagedevice lines put in front of a PostScript file: the copies the printer makes
// ("Copies by printer", count 2 or more) with collation ("Collate copies"), then the page size to
// fit to ("Fit to page: "). Each line ends in CR LF. Empty when no option applies.
std::string PostScriptHeader(int copyCount, const SpoolOptions& options);

// Copies the PostScript file at `sourcePath` to the temporary file with PostScriptHeader() in
// front of it. Errors as WriteHeaderedCopy() raises them.
void WritePostScriptHeader(const std::string& sourcePath, int copyCount,
                           const SpoolOptions& options);

}  // namespace tavrin
