// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

namespace tavrin {

// A printer that DNS-SD finds on the network.
struct NetworkPrinter {
    std::string name;
    std::string uri;  // where it is reached, e.g. dnssd://... or ipp://host/ipp/print
    std::string info;

    bool operator==(const NetworkPrinter&) const = default;
};

// Browses the network with DNS-SD for at most `milliseconds` (libcups asks the print server for
// its queues first). Nothing when no DNS-SD daemon runs, and on a system
// without libcups (Windows).
std::vector<NetworkPrinter> BrowseNetworkPrinters(int milliseconds,
                                                  const std::vector<std::string>& queueNames);

}  // namespace tavrin
