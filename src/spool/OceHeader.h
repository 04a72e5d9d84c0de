#pragma once

#include <string>

#include "spool/SpoolOptions.h"

namespace tavrin {

// The header record that tells an Oce printer how many copies to make, four CR LF lines; empty
// unless "Copies by plotter" is checked and the count is 2 or more.
std::string OceHeader(int copyCount, const SpoolOptions& options);

// Copies the Oce plot file at `sourcePath` to the temporary file with OceHeader() in front of it.
// Errors as WriteHeaderedCopy() raises them.
void WriteOceHeader(const std::string& sourcePath, int copyCount, const SpoolOptions& options);

}  // namespace tavrin
