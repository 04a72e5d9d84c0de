// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "printsystem/CupsConnection.h"
#include "printsystem/IppPrinters.h"
#include "printsystem/PrintSpooler.h"

namespace tavrin {

// Reads a Get-Printer-Attributes answer; attributes of unexpected types read as empty.
IppPrinterDescription IppPrinterDescriptionOfResponse(ipp_t* response);

// Asks the printer on `connection`; nothing when it does not answer, and the connection's
// FailureText() says why.
std::optional<IppPrinterDescription> AskIppPrinter(const CupsConnection& connection,
                                                   const IppEndpoint& endpoint);

}  // namespace tavrin
