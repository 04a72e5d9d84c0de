// SPDX-License-Identifier: GPL-3.0-or-later
// On Windows the settings are where the program has always kept them: the INI file named like
// the program, in the program's folder, which is also the folder of the temporary file.
#include <cstdlib>

#include "settings/SettingsLocation.h"

namespace tavrin {

namespace fs = std::filesystem;

namespace {

// The drive root that stands for "C:\" defaults: the one of the system's folder.
std::string SystemDriveRoot(const EnvironmentLookup& environment) {
    const char* drive = environment("SystemDrive");
    return (drive && *drive ? std::string(drive) : std::string("C:")) + "\\";
}

std::string WithoutTrailingBackslashes(std::string path) {
    while (!path.empty() && (path.back() == '\\' || path.back() == '/'))
        path.pop_back();
    return path;
}

}  // namespace

SettingsLocation LocateSettings(const fs::path& programFile, const EnvironmentLookup& environment) {
    SettingsLocation location;
    location.HomeFolder = SystemDriveRoot(environment);
    if (programFile.empty()) {
        location.IniFileName = "tavrin.ini";
        location.CacheFolder = WithoutTrailingBackslashes(location.HomeFolder);
        return location;
    }
    fs::path ini = programFile;
    ini.replace_extension(".ini");
    location.IniFileName = ini;
    location.CacheFolder = WithoutTrailingBackslashes(programFile.parent_path().string());
    return location;
}

}  // namespace tavrin
