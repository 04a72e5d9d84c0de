#pragma once

#include <string>

#include "platform/FileData.h"

namespace tavrin {

// The one temporary file every rewriter writes: the folder, a folder separator ("\" on
// Windows, "/" elsewhere) unless the folder already ends in one, and "temp.$$$".
std::string TempFileName(const std::string& tempFilesPath);

}  // namespace tavrin
