#include "cli/PrinterArgument.h"

#include <algorithm>

namespace tavrin::cli {

namespace {

bool IsIndex(const std::string& text) {
    return !text.empty() && text.size() < 10 &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

std::optional<int> FindPrinter(const std::vector<std::string>& printers, const std::string& given) {
    const auto named = std::find(printers.begin(), printers.end(), given);
    if (named != printers.end())
        return static_cast<int>(named - printers.begin());
    if (IsIndex(given) && std::stoi(given) < static_cast<int>(printers.size()))
        return std::stoi(given);
    return std::nullopt;
}

}  // namespace tavrin::cli
