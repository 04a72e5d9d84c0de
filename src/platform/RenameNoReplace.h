// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>

namespace tavrin {

// Renames `from` to `to` in one step, never over an existing file: returns false, changing
// nothing, when `to` exists. Throws Error "Cannot move <from> to <to>: <why>" on other failures.
bool RenameNoReplace(const std::filesystem::path& from, const std::filesystem::path& to);

}  // namespace tavrin
