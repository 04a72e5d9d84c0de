// SPDX-License-Identifier: GPL-3.0-or-later
// The scratch folders on Windows.
#include "platform/WindowsApi.h"

#include <stdexcept>
#include <string>

#include "support/TempFolder.h"

namespace tavrin::test {

namespace fs = std::filesystem;

TempFolder::TempFolder() {
    const fs::path base = fs::temp_directory_path();
    for (unsigned attempt = 0; attempt < 1000; ++attempt) {
        path_ = base / ("tavrin-test-" + std::to_string(GetCurrentProcessId()) + "-" +
                        std::to_string(GetTickCount64()) + "-" + std::to_string(attempt));
        if (CreateDirectoryW(path_.wstring().c_str(), nullptr))
            return;
    }
    throw std::runtime_error("cannot make a folder");
}

}  // namespace tavrin::test
