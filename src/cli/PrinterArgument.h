#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tavrin::cli {

// The printer a -p argument names: a printer of that name (so a queue whose name is a number
// wins), else the printer at that index in the list; nothing when neither exists.
std::optional<int> FindPrinter(const std::vector<std::string>& printers, const std::string& given);

}  // namespace tavrin::cli
