#pragma once

#include <filesystem>
#include <functional>
#include <string>

namespace tavrin {

// Where the settings live and the folders that stand in for the drive-root and program-folder
// defaults.
struct SettingsLocation {
    std::filesystem::path IniFileName;
    // The user's home folder: the default of TempFilesPath and PlotFilesPath when the file
    // lacks them, and the TempFilesPath a first run writes.
    std::string HomeFolder;
    // The per-user cache folder: the temporary folder on a first run and when the file holds
    // an empty TempFilesPath.
    std::string CacheFolder;
};

// Reads an environment variable; null when it is not set.
using EnvironmentLookup = std::function<const char*(const char* name)>;

// The INI file is "<program name>.ini" beside the program file when such a file exists (a
// portable install), else $XDG_CONFIG_HOME/tavrin/tavrin.ini (~/.config/tavrin/tavrin.ini).
// The cache folder is $XDG_CACHE_HOME/tavrin (~/.cache/tavrin). XDG variables that are empty
// or not absolute paths are ignored.
SettingsLocation LocateSettings(const std::filesystem::path& programFile,
                                const EnvironmentLookup& environment);
SettingsLocation LocateSettings(const std::filesystem::path& programFile);

// The window's program file, "tavrin" beside the running program (tavrin-cli lives beside it
// and reads the window's INI file).
std::filesystem::path WindowProgramFile();

// Creates the cache folder when it is missing. A folder that cannot be created is reported
// later, by whoever writes the temporary file into it.
void CreateCacheFolder(const SettingsLocation& location);

}  // namespace tavrin
