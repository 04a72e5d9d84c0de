// SPDX-License-Identifier: GPL-3.0-or-later
#include <fcntl.h>
#include <stdio.h>

#include <cerrno>
#include <cstring>

#include "platform/Error.h"
#include "platform/RenameNoReplace.h"

namespace tavrin {

bool RenameNoReplace(const std::filesystem::path& from, const std::filesystem::path& to) {
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno == EEXIST)
        return false;
    throw Error("Cannot move " + from.string() + " to " + to.string() + ": " +
                std::strerror(errno));
}

}  // namespace tavrin
