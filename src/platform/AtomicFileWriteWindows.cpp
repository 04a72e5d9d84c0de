// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/WindowsApi.h"

#include <algorithm>
#include <string>
#include <system_error>

#include "platform/AtomicFileWrite.h"
#include "platform/WindowsText.h"

namespace tavrin {

namespace fs = std::filesystem;

namespace {

[[noreturn]] void ThrowLastError(const char* what) {
    throw std::system_error(ErrnoOfWindowsError(GetLastError()), std::generic_category(), what);
}

fs::path ResolveLinks(const fs::path& file) {
    std::error_code error;
    if (!fs::is_symlink(file, error))
        return file;
    fs::path target = fs::weakly_canonical(file, error);
    return error ? file : target;
}

// A new file beside `target` that no one else has made: ".NAME.PID-N".
HANDLE CreateTemporary(const fs::path& target, std::wstring& name) {
    const std::wstring stem = target.parent_path().wstring() + L"\\." +
                              target.filename().wstring() + L"." +
                              std::to_wstring(GetCurrentProcessId()) + L"-";
    for (unsigned attempt = 0;; ++attempt) {
        name = stem + std::to_wstring(GetTickCount64()) + L"-" + std::to_wstring(attempt);
        const HANDLE handle = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                          FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS || attempt == 100)
            return handle;
    }
}

}  // namespace

void WriteFileAtomically(const fs::path& file, std::string_view contents) {
    fs::path target = ResolveLinks(file);
    if (target.parent_path().empty())
        target = fs::path(".") / target;

    std::wstring temporary;
    const HANDLE handle = CreateTemporary(target, temporary);
    if (handle == INVALID_HANDLE_VALUE)
        ThrowLastError("CreateFileW");
    const auto discard = [&](const char* what) {
        const DWORD error = GetLastError();
        CloseHandle(handle);
        DeleteFileW(temporary.c_str());
        SetLastError(error);
        ThrowLastError(what);
    };
    while (!contents.empty()) {
        DWORD written = 0;
        const DWORD piece = static_cast<DWORD>(std::min<std::size_t>(contents.size(), 1u << 30));
        if (!WriteFile(handle, contents.data(), piece, &written, nullptr) || written == 0)
            discard("WriteFile");
        contents.remove_prefix(written);
    }
    if (!FlushFileBuffers(handle))
        discard("FlushFileBuffers");
    if (!CloseHandle(handle)) {
        const DWORD error = GetLastError();
        DeleteFileW(temporary.c_str());
        SetLastError(error);
        ThrowLastError("CloseHandle");
    }
    // The file system puts the new name in place in one step, and the move is on the disk
    // before the call returns.
    if (!MoveFileExW(temporary.c_str(), target.wstring().c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const DWORD error = GetLastError();
        DeleteFileW(temporary.c_str());
        SetLastError(error);
        ThrowLastError("MoveFileExW");
    }
}

}  // namespace tavrin
