#include "settings/SettingsLocation.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <system_error>
#include <vector>

namespace tavrin {

namespace fs = std::filesystem;

namespace {

constexpr const char* kFolderName = "tavrin";

std::string AbsoluteVariable(const EnvironmentLookup& environment, const char* name) {
    const char* value = environment(name);
    if (value == nullptr || *value != '/')
        return {};
    return value;
}

std::string PasswordHomeFolder() {
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
        found->pw_dir && *found->pw_dir == '/') {
        return found->pw_dir;
    }
    return "/";
}

std::string WithoutTrailingSlashes(std::string path) {
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

}  // namespace

SettingsLocation LocateSettings(const fs::path& programFile, const EnvironmentLookup& environment) {
    SettingsLocation location;
    std::string home = AbsoluteVariable(environment, "HOME");
    location.HomeFolder = WithoutTrailingSlashes(home.empty() ? PasswordHomeFolder() : home);

    std::string config = AbsoluteVariable(environment, "XDG_CONFIG_HOME");
    if (config.empty())
        config = (fs::path(location.HomeFolder) / ".config").string();
    std::string cache = AbsoluteVariable(environment, "XDG_CACHE_HOME");
    if (cache.empty())
        cache = (fs::path(location.HomeFolder) / ".cache").string();
    location.CacheFolder = WithoutTrailingSlashes((fs::path(cache) / kFolderName).string());

    location.IniFileName = fs::path(config) / kFolderName / "tavrin.ini";
    if (!programFile.empty()) {
        fs::path beside = programFile;
        beside.replace_extension(".ini");
        std::error_code error;
        if (fs::is_regular_file(beside, error))
            location.IniFileName = beside;
    }
    return location;
}

}  // namespace tavrin
