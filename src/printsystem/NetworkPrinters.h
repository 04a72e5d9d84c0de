// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cups/cups.h>

#include <string>
#include <vector>

#include "printsystem/NetworkBrowse.h"

namespace tavrin {

// The printers a browse has found so far, sorted by name without regard to case: those the
// browse reports, less those it reports gone and those named like one of the print server's own
// queues (which the server may also advertise).
class NetworkPrinterList {
public:
    explicit NetworkPrinterList(std::vector<std::string> queueNames)
        : queueNames_(std::move(queueNames)) {}

    // One report of libcups' browse: `flags` as cupsEnumDests gives them.
    void Report(unsigned flags, const cups_dest_t& dest);
    const std::vector<NetworkPrinter>& Found() const { return found_; }

private:
    std::vector<std::string> queueNames_;
    std::vector<NetworkPrinter> found_;
};

}  // namespace tavrin
