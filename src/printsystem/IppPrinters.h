// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "printsystem/PrintSpooler.h"
#include "printsystem/ServerTimeouts.h"

namespace tavrin {

// IPP printers reached at their own address, as the engine sees them on every system. They are
// spoken to through libcups (IppPrinterHandle.cpp); a build without libcups (Windows) has none:
// such a printer is refused with the reason.

// Where an IPP printer is reached, straight and without a print server's queue in between.
struct IppEndpoint {
    std::string uri;  // "ipp://host:port/path", as the printer-uri of every request
    std::string host;
    int port = 631;
    std::string resource;  // the path requests are posted to ("/ipp/print")
    bool encrypted = false;
};

// What an IPP printer says about itself.
struct IppPrinterDescription {
    std::vector<std::string> documentFormats;  // document-format-supported
    std::string makeAndModel;                  // printer-make-and-model
    std::string info;                          // printer-info
    int mostCopies = 1;                        // the upper end of copies-supported
    PrinterStatus status;

    bool operator==(const IppPrinterDescription&) const = default;
};

// How long an IPP printer may keep a job waiting: beside the connection's own bounds, a
// printer that answers server-error-busy (as one does while it prints the job before) is asked
// again every `busyPauseMilliseconds` until `busyMilliseconds` have passed.
struct IppTimeouts {
    CupsTimeouts connection;
    int busyMilliseconds = 120000;
    int busyPauseMilliseconds = 1000;
};

// Decides a document's IPP document-format from its first bytes: `choose` gets the start of the
// document (any leading NUL padding and `headBytes` more, or the whole document when shorter) and
// the formats the printer takes.
struct DocumentFormatChoice {
    std::size_t headBytes = 0;
    std::function<std::string(std::string_view head, const std::vector<std::string>& supported)>
        choose;
};

// What the IPP printer at `endpoint` says of itself; nothing when it does not answer.
std::optional<IppPrinterDescription> DescribeIppPrinter(const IppEndpoint& endpoint,
                                                        const CupsTimeouts& timeouts);

// Opens the IPP printer at `endpoint`: an IppPrinterHandle, or on a system without IPP printers
// a handle that refuses everything with the reason.
std::unique_ptr<PrinterHandle> OpenIppPrinter(IppEndpoint endpoint,
                                              std::optional<std::vector<std::string>> knownFormats,
                                              DocumentFormatChoice choice, IppTimeouts timeouts);

}  // namespace tavrin
