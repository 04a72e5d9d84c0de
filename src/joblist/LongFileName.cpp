#include "joblist/LongFileName.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <filesystem>
#include <memory>
#include <optional>
#include <system_error>
#include <unordered_map>
#include <vector>

namespace tavrin {

namespace {

std::optional<struct stat> EntryOf(const std::string& path) {
    struct stat info {};
    if (lstat(path.c_str(), &info) != 0)
        return std::nullopt;
    return info;
}

bool SameEntry(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

bool SameLetters(const std::string& a, const std::string& b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

std::string OtherCase(std::string text) {
    for (char& c : text) {
        const auto u = static_cast<unsigned char>(c);
        c = static_cast<char>(std::islower(u) ? std::toupper(u) : std::tolower(u));
    }
    return text;
}

std::string Join(const std::string& folder, const std::string& name) {
    return folder == "/" ? "/" + name : folder + "/" + name;
}

// The name under which `folder` stores the entry `name` leads to; nothing when there is none.
// On a file system that tells letter case apart, a name that is found is stored as it is
// written, which one more look-up with the letter case swapped shows without listing the folder.
std::optional<std::string> StoredName(const std::string& folder, const std::string& name) {
    const auto entry = EntryOf(Join(folder, name));
    if (!entry)
        return std::nullopt;
    const std::string swapped = OtherCase(name);
    if (swapped == name)
        return name;
    const auto twin = EntryOf(Join(folder, swapped));
    if (!twin || !SameEntry(*entry, *twin))
        return name;

    const std::unique_ptr<DIR, int (*)(DIR*)> listing(opendir(folder.c_str()), closedir);
    if (!listing)
        return name;
    std::optional<std::string> stored;
    while (const dirent* item = readdir(listing.get())) {
        const std::string candidate = item->d_name;
        if (candidate == name)
            return name;
        if (!stored && SameLetters(candidate, name)) {
            const auto found = EntryOf(Join(folder, candidate));
            if (found && SameEntry(*found, *entry))
                stored = candidate;
        }
    }
    return stored.value_or(name);
}

// An absolute path with "." and ".." resolved by their text, without repeated or trailing "/".
std::string Normalized(const std::string& absolute) {
    std::vector<std::string> parts;
    std::size_t at = 0;
    while (at <= absolute.size()) {
        std::size_t end = absolute.find('/', at);
        if (end == std::string::npos)
            end = absolute.size();
        const std::string part = absolute.substr(at, end - at);
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        at = end + 1;
    }
    std::string path;
    for (const std::string& part : parts)
        path += "/" + part;
    return path.empty() ? "/" : path;
}

// Long forms of folders already worked out in one batch of names, so that names sharing a
// folder look each of its components up once.
using FolderCache = std::unordered_map<std::string, std::string>;

std::string LongPathOf(const std::string& path, FolderCache* cache) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return path;
    if (path == "/")
        return {};
    const std::string folder = slash == 0 ? "/" : path.substr(0, slash);
    const std::string name = path.substr(slash + 1);
    if (name.empty())
        return LongPathOf(folder, cache);
    std::string longFolder;
    if (!cache) {
        longFolder = LongPathOf(folder, nullptr);
    } else if (const auto known = cache->find(folder); known != cache->end()) {
        longFolder = known->second;
    } else {
        longFolder = LongPathOf(folder, cache);
        cache->emplace(folder, longFolder);
    }
    return longFolder + "/" + StoredName(folder, name).value_or(name);
}

std::string LongFileName(const std::string& name, FolderCache* cache) {
    if (name.empty())
        return name;
    std::string absolute = name;
    if (name.front() != '/') {
        std::error_code error;
        const std::filesystem::path current = std::filesystem::current_path(error);
        // Without a current folder there is nothing to make the name absolute against.
        if (error)
            return name;
        absolute = current.string() + "/" + name;
    }
    const std::string longName = LongPathOf(Normalized(absolute), cache);
    return longName.empty() ? "/" : longName;
}

}  // namespace

std::string LongFileName(const std::string& name) {
    return LongFileName(name, nullptr);
}

std::vector<std::string> LongFileNames(const std::vector<std::string>& names) {
    FolderCache cache;
    std::vector<std::string> longNames;
    longNames.reserve(names.size());
    for (const std::string& name : names)
        longNames.push_back(LongFileName(name, &cache));
    return longNames;
}

std::string LongPathOf(const std::string& path) {
    return LongPathOf(path, nullptr);
}

}  // namespace tavrin
