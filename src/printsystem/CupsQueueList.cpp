// SPDX-License-Identifier: GPL-3.0-or-later
#include "printsystem/CupsQueueList.h"

#include <strings.h>

#include <algorithm>
#include <iterator>
#include <string_view>

namespace tavrin {
namespace {

bool NameBefore(const CupsQueueEntry& a, const CupsQueueEntry& b) {
    return strcasecmp(a.name.c_str(), b.name.c_str()) < 0;
}

}  // namespace

std::vector<CupsQueueEntry> QueuesOfResponse(ipp_t* response) {
    std::vector<CupsQueueEntry> queues;
    CupsQueueEntry entry;
    bool inPrinter = false;
    const auto close = [&] {
        if (inPrinter && !entry.name.empty())
            queues.push_back(std::move(entry));
        entry = {};
        inPrinter = false;
    };
    for (ipp_attribute_t* attr = ippFirstAttribute(response); attr;
         attr = ippNextAttribute(response)) {
        // Each printer's attributes form a group of their own; a separator or another group
        // ends it.
        const char* name = ippGetName(attr);
        if (ippGetGroupTag(attr) != IPP_TAG_PRINTER || !name) {
            close();
            continue;
        }
        inPrinter = true;
        const std::string_view key(name);
        if (key == "printer-type")
            entry.type = ippGetInteger(attr, 0);
        else if (const char* text = ippGetString(attr, 0, nullptr); key == "printer-name" && text)
            entry.name = text;
        else
            TakeQueueAttribute(entry.attributes, attr);
    }
    close();
    std::stable_sort(queues.begin(), queues.end(), NameBefore);
    return queues;
}

std::optional<std::vector<CupsQueueEntry>> ListQueues(CupsConnection& connection) {
    if (!connection.ok())
        return std::nullopt;
    static const char* const kAttributes[] = {"printer-name", "printer-type",
                                              "device-uri",   "printer-uri-supported",
                                              "printer-info", "technology-default"};
    ipp_t* request = ippNewRequest(IPP_OP_CUPS_GET_PRINTERS);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
                 cupsUser());
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                  static_cast<int>(std::size(kAttributes)), nullptr, kAttributes);
    // Only queues whose type has none of the mask's bits: no 3D printers.
    ippAddInteger(request, IPP_TAG_OPERATION, IPP_TAG_ENUM, "printer-type", 0);
    ippAddInteger(request, IPP_TAG_OPERATION, IPP_TAG_ENUM, "printer-type-mask", CUPS_PRINTER_3D);
    ipp_t* response = cupsDoRequest(connection.http(), request, "/");
    const ipp_status_t status = cupsLastError();
    // A server without queues answers "not found".
    if (!response || connection.timedOut() ||
        (status > IPP_STATUS_OK_EVENTS_COMPLETE && status != IPP_STATUS_ERROR_NOT_FOUND)) {
        ippDelete(response);
        return std::nullopt;
    }
    std::vector<CupsQueueEntry> queues = QueuesOfResponse(response);
    ippDelete(response);
    return queues;
}

}  // namespace tavrin
