// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/FileStamp.h"

#include <filesystem>
#include <system_error>

namespace tavrin {

FileStamp StampOfFile(const std::string& name) {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path path = fs::u8path(name);
    const auto size = fs::file_size(path, error);
    if (error)
        return {.found = error != std::errc::no_such_file_or_directory &&
                         error != std::errc::not_a_directory};
    const auto modified = fs::last_write_time(path, error);
    return {.found = true,
            .size = static_cast<std::int64_t>(size),
            .modified = error ? 0 : static_cast<std::int64_t>(modified.time_since_epoch().count())};
}

}  // namespace tavrin
