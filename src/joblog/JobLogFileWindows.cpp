// SPDX-License-Identifier: GPL-3.0-or-later
#include <cstdlib>

#include "joblog/JobLog.h"

namespace tavrin {

namespace fs = std::filesystem;

// The variables are read as UTF-16, so that a user name outside the ANSI code page still makes
// a path that opens.
fs::path JobLogFile() {
    const wchar_t* given = _wgetenv(L"TAVRIN_JOBLOG");
    if (given != nullptr && *given != L'\0')
        return fs::path(given);
    const wchar_t* local = _wgetenv(L"LOCALAPPDATA");
    if (local == nullptr || *local == L'\0')
        local = _wgetenv(L"APPDATA");
    const fs::path folder = local != nullptr && *local != L'\0' ? fs::path(local) : fs::path(L".");
    return folder / L"Tavrin" / L"joblog.sqlite";
}

}  // namespace tavrin
