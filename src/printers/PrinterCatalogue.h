#pragma once

#include <string>
#include <vector>

#include "printsystem/PrintSpooler.h"

namespace tavrin {

// The installed printers, read from the spooler once and then kept.
class PrinterCatalogue {
public:
    // Empty until Read.
    PrinterCatalogue() = default;
    explicit PrinterCatalogue(PrintSpooler& spooler) { Read(spooler); }

    void Read(PrintSpooler& spooler);

    const std::vector<std::string>& Names() const { return names_; }
    int Count() const { return static_cast<int>(names_.size()); }
    // Why the list is empty when the spooler could not be asked; empty otherwise.
    const std::string& ReadError() const { return readError_; }

private:
    std::vector<std::string> names_;
    std::string readError_;
};

}  // namespace tavrin
