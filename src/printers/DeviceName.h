#pragma once

#include <string>

namespace tavrin {

// The device a printer-list entry names: the entry cut before its first " on " (an entry may
// be formed as "PRINTER on PORT"); the whole entry when it has none. Case-sensitive.
inline std::string DeviceNameOf(const std::string& entry) {
    const auto at = entry.find(" on ");
    return at == std::string::npos ? entry : entry.substr(0, at);
}

}  // namespace tavrin
