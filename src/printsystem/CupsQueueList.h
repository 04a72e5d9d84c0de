// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "printsystem/CupsConnection.h"
#include "printsystem/CupsQueueAttributes.h"

namespace tavrin {

// One queue (printer or class) as the print server lists it.
struct CupsQueueEntry {
    std::string name;
    int type = 0;                    // printer-type: CUPS_PRINTER_* bits
    CupsQueueAttributes attributes;  // a class has no device URI

    bool operator==(const CupsQueueEntry&) const = default;
};

// Every queue of the server but 3D printers, asked for in one CUPS-Get-Printers request on
// `connection`: the server's own list, without browsing the network for printers it has no
// queue for. Sorted by name without regard to case, as libcups sorts its destinations. Nothing
// when the server refuses or does not answer; connection.FailureText() then says why.
std::optional<std::vector<CupsQueueEntry>> ListQueues(CupsConnection& connection);

// The entries of a CUPS-Get-Printers response, in the order `ListQueues` gives them.
std::vector<CupsQueueEntry> QueuesOfResponse(ipp_t* response);

}  // namespace tavrin
