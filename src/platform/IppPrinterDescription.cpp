// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/IppPrinterDescription.h"

#include <string_view>

#include "platform/CupsQueueStatus.h"

namespace tavrin {
namespace {

std::vector<std::string> Strings(ipp_attribute_t* attr) {
    std::vector<std::string> strings;
    for (int i = 0; i < ippGetCount(attr); ++i) {
        const char* text = ippGetString(attr, i, nullptr);
        if (text && *text)
            strings.emplace_back(text);
    }
    return strings;
}

std::string Text(ipp_attribute_t* attr) {
    const char* text = ippGetString(attr, 0, nullptr);
    return text ? text : "";
}

}  // namespace

IppPrinterDescription IppPrinterDescriptionOfResponse(ipp_t* response) {
    IppPrinterDescription description;
    description.status = PrinterStatusOfResponse(response);
    for (ipp_attribute_t* attr = ippFirstAttribute(response); attr;
         attr = ippNextAttribute(response)) {
        const std::string_view name(ippGetName(attr) ? ippGetName(attr) : "");
        if (name == "document-format-supported")
            description.documentFormats = Strings(attr);
        if (name == "printer-make-and-model")
            description.makeAndModel = Text(attr);
        if (name == "printer-info")
            description.info = Text(attr);
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
