// SPDX-License-Identifier: GPL-3.0-or-later
#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

#include "joblog/JobLog.h"

namespace tavrin {
namespace {

namespace fs = std::filesystem;

fs::path HomeFolder() {
    const char* home = std::getenv("HOME");
    if (home != nullptr && *home == '/')
        return home;
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
        found->pw_dir && *found->pw_dir == '/')
        return found->pw_dir;
    return "/";
}

}  // namespace

fs::path JobLogFile() {
    const char* given = std::getenv("TAVRIN_JOBLOG");
    if (given != nullptr && *given != '\0')
        return given;
    // The XDG base directory rules ignore a relative XDG_DATA_HOME.
    const char* data = std::getenv("XDG_DATA_HOME");
    const fs::path folder =
        data != nullptr && *data == '/' ? fs::path(data) : HomeFolder() / ".local" / "share";
    return folder / "tavrin" / "joblog.sqlite";
}

}  // namespace tavrin
