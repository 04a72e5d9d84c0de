// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

namespace tavrin {

// The size and modification time a file had when it was looked at: what the window's caches
// compare to tell whether a file has changed since they read it.
struct FileStamp {
    bool found = false;  // false only when there is no such file
    std::int64_t size = 0;
    std::int64_t modified = 0;  // in the file system's own clock ticks

    bool operator==(const FileStamp&) const = default;
};

// A file that cannot be looked at for another reason counts as found, with no size, so that
// reading it says what is wrong.
FileStamp StampOfFile(const std::string& name);

}  // namespace tavrin
