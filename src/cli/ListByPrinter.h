#pragma once

#include <ostream>
#include <string>

#include "platform/Error.h"

namespace tavrin::cli {

// Lists `items` (each with a printerName and a file) on `out`: a line `heading` with the
// printer's name in place of %s whenever the printer changes, then "  FILE: TEXT" for each item,
// TEXT being `text(item)`.
template <typename Items, typename Text>
void ListByPrinter(std::ostream& out, const char* heading, const Items& items, Text text) {
    std::string printer;
    for (const auto& item : items) {
        if (item.printerName != printer) {
            printer = item.printerName;
            out << FormatMessage(heading, printer) << '\n';
        }
        out << "  " << item.file << ": " << text(item) << '\n';
    }
}

}  // namespace tavrin::cli
