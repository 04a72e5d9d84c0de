// SPDX-License-Identifier: GPL-3.0-or-later
#include "printsystem/NetworkPrinters.h"

#include <strings.h>

#include <algorithm>

namespace tavrin {
namespace {

std::string Option(const cups_dest_t& dest, const char* name) {
    const char* value = cupsGetOption(name, dest.num_options, dest.options);
    return value ? value : "";
}

bool SameName(const std::string& a, const std::string& b) {
    return strcasecmp(a.c_str(), b.c_str()) == 0;
}

}  // namespace

void NetworkPrinterList::Report(unsigned flags, const cups_dest_t& dest) {
    if (dest.instance || !dest.name)
        return;
    const std::string name = dest.name;
    std::erase_if(found_, [&](const NetworkPrinter& p) { return SameName(p.name, name); });
    if ((flags & CUPS_DEST_FLAGS_REMOVED) ||
        std::any_of(queueNames_.begin(), queueNames_.end(),
                    [&](const std::string& queue) { return SameName(queue, name); }))
        return;
    std::string uri = Option(dest, "device-uri");
    if (uri.empty())
        uri = Option(dest, "printer-uri-supported");
    NetworkPrinter printer{name, uri, Option(dest, "printer-info")};
    const auto at = std::find_if(found_.begin(), found_.end(), [&](const NetworkPrinter& p) {
        return strcasecmp(p.name.c_str(), name.c_str()) > 0;
    });
    found_.insert(at, std::move(printer));
}

std::vector<NetworkPrinter> BrowseNetworkPrinters(int milliseconds,
                                                  const std::vector<std::string>& queueNames) {
    NetworkPrinterList list(queueNames);
    const auto report = [](void* data, unsigned flags, cups_dest_t* dest) {
        static_cast<NetworkPrinterList*>(data)->Report(flags, *dest);
        return 1;
    };
    cupsEnumDests(CUPS_DEST_FLAGS_NONE, std::max(0, milliseconds), nullptr, 0, CUPS_PRINTER_3D,
                  report, &list);
    return list.Found();
}

}  // namespace tavrin
