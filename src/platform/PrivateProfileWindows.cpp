// SPDX-License-Identifier: GPL-3.0-or-later
// The INI file through the system's own private-profile functions. They rewrite the file in
// place, so each change is made on a copy beside it, which then replaces the file in one step.
#include "platform/WindowsApi.h"

#include <string>
#include <system_error>
#include <vector>

#include "platform/Error.h"
#include "platform/PrivateProfile.h"
#include "platform/ProfileDocument.h"
#include "platform/WindowsText.h"

namespace tavrin {

namespace fs = std::filesystem;

namespace {

// The profile functions take the file name in the ANSI code page.
std::string AnsiName(const fs::path& file) {
    return AnsiText(Utf8Text(file.wstring()));
}

fs::path FullPath(const fs::path& file) {
    std::error_code error;
    fs::path full = fs::absolute(file, error);
    return error ? file : full;
}

[[noreturn]] void ThrowUnableToWrite(const fs::path& file) {
    throw Error(FormatMessage("Unable to write to %s", FullPath(file).string()));
}

// A name beside `file` that nothing has: ".NAME.PID-N".
fs::path UnusedNameBeside(const fs::path& file) {
    const fs::path folder = FullPath(file).parent_path();
    const std::wstring stem =
        L"." + file.filename().wstring() + L"." + std::to_wstring(GetCurrentProcessId()) + L"-";
    for (unsigned attempt = 0;; ++attempt) {
        fs::path candidate = folder / (stem + std::to_wstring(attempt));
        if (GetFileAttributesW(candidate.wstring().c_str()) == INVALID_FILE_ATTRIBUTES &&
            GetLastError() == ERROR_FILE_NOT_FOUND)
            return candidate;
        if (attempt == 1000)
            ThrowUnableToWrite(file);
    }
}

bool FlushToDisk(const fs::path& file) {
    const HANDLE handle = CreateFileW(file.wstring().c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    const bool flushed = FlushFileBuffers(handle);
    return CloseHandle(handle) && flushed;
}

}  // namespace

std::string ReadProfileString(const fs::path& file, std::string_view section, std::string_view key,
                              std::string_view defaultValue) {
    std::vector<char> value(kProfileValueMax + 1);
    const std::string sectionText(section), keyText(key), defaultText(defaultValue);
    const DWORD length = GetPrivateProfileStringA(
        sectionText.c_str(), keyText.c_str(), defaultText.c_str(), value.data(),
        static_cast<DWORD>(value.size()), AnsiName(file).c_str());
    return std::string(value.data(), length);
}

void WriteProfileString(const fs::path& file, std::string_view section, std::string_view key,
                        std::string_view value) {
    WriteProfileStrings(file,
                        {ProfileEntry{std::string(section), std::string(key), std::string(value)}});
}

void WriteProfileStrings(const fs::path& file, const std::vector<ProfileEntry>& entries) {
    if (entries.empty())
        return;
    for (const ProfileEntry& entry : entries) {
        if (!CanStoreInProfile(entry.section, entry.key, entry.value))
            ThrowUnableToWrite(file);
    }
    const std::wstring target = file.wstring();
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        ThrowUnableToWrite(file);
    const fs::path copy = UnusedNameBeside(file);
    const auto fail = [&] {
        DeleteFileW(copy.wstring().c_str());
        ThrowUnableToWrite(file);
    };
    // A file that exists but cannot be read in full is never replaced, since that would lose
    // what it holds.
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        !CopyFileW(target.c_str(), copy.wstring().c_str(), TRUE))
        fail();
    const std::string copyName = AnsiName(copy);
    for (const ProfileEntry& entry : entries) {
        if (!WritePrivateProfileStringA(entry.section.c_str(), entry.key.c_str(),
                                        entry.value.c_str(), copyName.c_str()))
            fail();
    }
    if (!FlushToDisk(copy) || !MoveFileExW(copy.wstring().c_str(), target.c_str(),
                                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        fail();
}

}  // namespace tavrin
