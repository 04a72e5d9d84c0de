// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>

namespace tavrin {

// A printer reached at its own address, without a print server's queue in between.
struct PrinterAddress {
    enum class Scheme { Ipp, Ipps, Socket };
    Scheme scheme = Scheme::Socket;
    std::string host;
    int port = 0;
    std::string resource;  // the path of an IPP printer ("/ipp/print"); "/" when none is given
    std::string text;      // the address as written

    bool operator==(const PrinterAddress&) const = default;
};

inline constexpr int kAppSocketPort = 9100;

// Whether `text` is meant as an address: it starts with "ipp://", "ipps://" or "socket://".
bool LooksLikePrinterAddress(const std::string& text);

// Reads "ipp://host[:port]/path", "ipps://host[:port]/path" (port 631 by default) or
// "socket://host[:port]" (port 9100). A host may be a name, an IPv4 address or an IPv6 address
// in brackets. Nothing for anything else: a missing host, a port that is not 1..65535, a path
// on a socket address.
std::optional<PrinterAddress> ParsePrinterAddress(const std::string& text);

}  // namespace tavrin
