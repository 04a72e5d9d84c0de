// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace tavrin {

// The engine's file names are UTF-8. A file stream opened with a char string takes it in the
// system's narrow encoding, which on Windows is the ANSI code page (and so may a path made from
// one): a name outside ASCII would lead to another file or none. These go through char8_t.
inline std::filesystem::path PathFromUtf8(std::string_view name) {
    return std::filesystem::path(std::u8string(name.begin(), name.end()));
}

inline std::string Utf8OfPath(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

}  // namespace tavrin
