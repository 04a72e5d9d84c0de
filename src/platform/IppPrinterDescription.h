// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/CupsConnection.h"
#include "platform/PrintSpooler.h"

namespace tavrin {

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

// Reads a Get-Printer-Attributes answer; attributes of unexpected types read as empty.
IppPrinterDescription IppPrinterDescriptionOfResponse(ipp_t* response);

// Asks the printer on `connection`; nothing when it does not answer, and the connection's
// FailureText() says why.
std::optional<IppPrinterDescription> AskIppPrinter(const CupsConnection& connection,
                                                   const IppEndpoint& endpoint);

}  // namespace tavrin
