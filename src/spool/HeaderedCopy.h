#pragma once

#include <string>

#include "spool/SpoolOptions.h"

namespace tavrin {

// Creates or empties the temporary file, writes `header` into it and then appends the whole file
// at `sourcePath`. Raises Error with "Cannot create file <temp>" when the temporary file cannot be
// made, "Cannot open file <source>" when the source cannot be opened (the temporary file then
// holds the header only), and "Stream read error" or "Stream write error" when copying fails.
void WriteHeaderedCopy(const std::string& sourcePath, const std::string& header,
                       const SpoolOptions& options);

}  // namespace tavrin
