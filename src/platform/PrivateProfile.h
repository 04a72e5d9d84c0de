#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tavrin {

// The longest value a read gives back; longer values are cut.
inline constexpr std::size_t kProfileValueMax = 2047;

struct ProfileEntry {
    std::string section;
    std::string key;
    std::string value;
};

// The value of a key of a section of the INI file, or `defaultValue` when the file, the
// section or the key is absent. A key present with an empty value reads as empty. The value
// ends before a NUL byte and is cut to kProfileValueMax characters. Never changes the file.
std::string ReadProfileString(const std::filesystem::path& file, std::string_view section,
                              std::string_view key, std::string_view defaultValue);

// Writes one key: an existing value is replaced in its line, a missing key is added at the end
// of its section, a missing section at the end of the file; every other line stays as it was.
// The file is replaced whole or not at all. Throws Error "Unable to write to <full path>".
void WriteProfileString(const std::filesystem::path& file, std::string_view section,
                        std::string_view key, std::string_view value);

// Writes several keys in the order given, as one change of the file: either all of them reach
// the disk or none.
void WriteProfileStrings(const std::filesystem::path& file,
                         const std::vector<ProfileEntry>& entries);

}  // namespace tavrin
