// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Error.h"
#include "platform/RenameNoReplace.h"
#include "platform/WindowsApi.h"
#include "platform/WindowsText.h"

namespace tavrin {

bool RenameNoReplace(const std::filesystem::path& from, const std::filesystem::path& to) {
    // Without MOVEFILE_REPLACE_EXISTING the move fails when the target exists.
    if (MoveFileExW(from.wstring().c_str(), to.wstring().c_str(), MOVEFILE_WRITE_THROUGH))
        return true;
    const DWORD code = GetLastError();
    if (code == ERROR_ALREADY_EXISTS || code == ERROR_FILE_EXISTS)
        return false;
    throw Error("Cannot move " + from.string() + " to " + to.string() + ": " +
                WindowsErrorText(code));
}

}  // namespace tavrin
