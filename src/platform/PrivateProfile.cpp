#include "platform/PrivateProfile.h"

#include <fstream>
#include <iterator>
#include <system_error>

#include "platform/AtomicFileWrite.h"
#include "platform/Error.h"
#include "platform/ProfileDocument.h"

namespace tavrin {

namespace fs = std::filesystem;

namespace {

std::string ReadableValue(std::string_view value) {
    value = value.substr(0, value.find('\0'));
    return std::string(value.substr(0, kProfileValueMax));
}

[[noreturn]] void ThrowUnableToWrite(const fs::path& file) {
    std::error_code error;
    fs::path full = fs::absolute(file, error);
    if (error)
        full = file;
    throw Error(FormatMessage("Unable to write to %s", full.string()));
}

// The file's current text; empty when there is no file yet. A file that exists but cannot be
// read in full is never replaced, since that would lose what it holds.
std::string CurrentText(const fs::path& file) {
    std::error_code error;
    const fs::file_status status = fs::status(file, error);
    if (status.type() == fs::file_type::not_found)
        return {};
    if (error || status.type() == fs::file_type::directory)
        ThrowUnableToWrite(file);
    std::ifstream in(file, std::ios::binary);
    if (!in)
        ThrowUnableToWrite(file);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad())
        ThrowUnableToWrite(file);
    return text;
}

}  // namespace

std::string ReadProfileString(const fs::path& file, std::string_view section, std::string_view key,
                              std::string_view defaultValue) {
    std::ifstream in(file, std::ios::binary);
    if (in) {
        if (auto value = FindProfileValue(in, section, key))
            return ReadableValue(*value);
    }
    return ReadableValue(defaultValue);
}

void WriteProfileString(const fs::path& file, std::string_view section, std::string_view key,
                        std::string_view value) {
    WriteProfileStrings(file,
                        {ProfileEntry{std::string(section), std::string(key), std::string(value)}});
}

void WriteProfileStrings(const fs::path& file, const std::vector<ProfileEntry>& entries) {
    for (const ProfileEntry& entry : entries) {
        if (!CanStoreInProfile(entry.section, entry.key, entry.value))
            ThrowUnableToWrite(file);
    }
    ProfileDocument document(CurrentText(file));
    for (const ProfileEntry& entry : entries)
        document.Set(entry.section, entry.key, entry.value);
    try {
        WriteFileAtomically(file, document.Text());
    } catch (const std::system_error&) {
        ThrowUnableToWrite(file);
    }
}

}  // namespace tavrin
