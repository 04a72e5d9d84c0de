// SPDX-License-Identifier: GPL-3.0-or-later
// What finding the settings is the same for on every system; where they are is in
// SettingsLocationPosix.cpp and SettingsLocationWindows.cpp.
#include "settings/SettingsLocation.h"

#include <cstdlib>
#include <system_error>

#include "platform/ProgramFile.h"

namespace tavrin {

namespace fs = std::filesystem;

SettingsLocation LocateSettings(const fs::path& programFile) {
    return LocateSettings(programFile, [](const char* name) { return std::getenv(name); });
}

fs::path WindowProgramFile() {
    const fs::path running = ProgramFilePath();
    if (running.empty())
        return {};
    // Beside the running program, with its extension (".exe" on Windows, none elsewhere).
    fs::path window = running.parent_path() / "tavrin";
    window += running.extension();
    return window;
}

void CreateCacheFolder(const SettingsLocation& location) {
    std::error_code ignored;
    fs::create_directories(location.CacheFolder, ignored);
}

}  // namespace tavrin
