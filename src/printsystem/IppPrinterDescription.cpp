// SPDX-License-Identifier: GPL-3.0-or-later
#include "printsystem/IppPrinterDescription.h"

#include <string_view>

#include "printsystem/CupsQueueStatus.h"
#include "printsystem/IppValues.h"

namespace tavrin {
IppPrinterDescription IppPrinterDescriptionOfResponse(ipp_t* response) {
    IppPrinterDescription description;
    description.status = PrinterStatusOfResponse(response);
    for (ipp_attribute_t* attr = ippFirstAttribute(response); attr;
         attr = ippNextAttribute(response)) {
        const std::string_view name(ippGetName(attr) ? ippGetName(attr) : "");
        if (name == "document-format-supported")
            description.documentFormats = IppWords(attr);
        if (name == "printer-make-and-model")
            description.makeAndModel = IppText(attr);
        if (name == "printer-info")
            description.info = IppText(attr);
        if (name == "copies-supported" && ippGetValueTag(attr) == IPP_TAG_RANGE) {
            int upper = 1;
            ippGetRange(attr, 0, &upper);
            description.mostCopies = upper;
        }
    }
    return description;
}

std::optional<IppPrinterDescription> AskIppPrinter(const CupsConnection& connection,
                                                   const IppEndpoint& endpoint) {
    if (!connection.ok())
        return std::nullopt;
    ipp_t* response =
        connection.Ask(NewPrinterRequest(IPP_OP_GET_PRINTER_ATTRIBUTES, endpoint.uri,
                                         {"document-format-supported", "printer-make-and-model",
                                          "printer-info", "printer-state", "printer-state-reasons",
                                          "printer-state-message", "copies-supported"}),
                       endpoint.resource.c_str());
    if (!response)
        return std::nullopt;
    IppPrinterDescription description = IppPrinterDescriptionOfResponse(response);
    ippDelete(response);
    return description;
}

}  // namespace tavrin
