// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/WindowsApi.h"

#include <algorithm>
#include <cerrno>

#include "platform/Error.h"
#include "platform/FileData.h"
#include "platform/WindowsText.h"

namespace tavrin {

namespace {

// ReadFile and WriteFile count in 32 bits.
constexpr std::size_t kLargestTransfer = std::size_t{1} << 30;

HANDLE Native(const FileHandle& file) {
    return reinterpret_cast<HANDLE>(file.get());
}

FileHandle Owned(HANDLE handle) {
    return FileHandle(handle == INVALID_HANDLE_VALUE
                          ? FileHandle::kInvalid
                          : reinterpret_cast<FileHandle::Native>(handle));
}

int LastErrno() {
    return ErrnoOfWindowsError(GetLastError());
}

[[noreturn]] void RefuseTempFile(const std::string& tempPath) {
    throw Error(FormatMessage("Cannot create file %s", tempPath));
}

FileIdentity IdentityOf(const BY_HANDLE_FILE_INFORMATION& info) {
    return {info.dwVolumeSerialNumber,
            (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow};
}

std::int64_t SizeOf(const BY_HANDLE_FILE_INFORMATION& info) {
    return static_cast<std::int64_t>((std::uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow);
}

SourceFile OpenForReading(const std::string& path) {
    SourceFile source;
    const std::wstring name = WideText(path);
    const DWORD attributes = GetFileAttributesW(name.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        source.error = EISDIR;
        return source;
    }
    source.file = Owned(CreateFileW(name.c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!source.file.valid()) {
        source.error = LastErrno();
        return source;
    }
    if (GetFileType(Native(source.file)) != FILE_TYPE_DISK) {
        // A pipe or a device (NUL, COM1): no print file, and reading it may never end.
        source.error = EACCES;
        source.file = FileHandle();
        return source;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(Native(source.file), &info)) {
        source.error = LastErrno();
        source.file = FileHandle();
        return source;
    }
    source.size = SizeOf(info);
    source.identity = IdentityOf(info);
    return source;
}

}  // namespace

int FileHandle::Close() {
    if (native_ == kInvalid) {
        return 0;
    }
    const BOOL closed = CloseHandle(reinterpret_cast<HANDLE>(native_));
    native_ = kInvalid;
    return closed ? 0 : LastErrno();
}

SourceFile OpenSourceFile(const std::string& path) {
    return OpenForReading(path);
}

std::int64_t ReadSome(const FileHandle& file, char* buffer, std::size_t size, int& error) {
    DWORD got = 0;
    error = 0;
    if (!ReadFile(Native(file), buffer, static_cast<DWORD>(std::min(size, kLargestTransfer)), &got,
                  nullptr)) {
        if (GetLastError() == ERROR_BROKEN_PIPE)
            return 0;  // the writing end of a pipe has closed: its end of file
        error = LastErrno();
        return -1;
    }
    return got;
}

std::int64_t WriteSome(const FileHandle& file, const char* data, std::size_t size, int& error) {
    DWORD put = 0;
    error = 0;
    if (!WriteFile(Native(file), data, static_cast<DWORD>(std::min(size, kLargestTransfer)), &put,
                   nullptr)) {
        error = LastErrno();
        return -1;
    }
    return put;
}

FileDataResult CopyFileData(const FileHandle& from, const FileHandle& to,
                            std::optional<std::int64_t> limit) {
    // Windows copies between open handles at their positions only through a buffer.
    return CopyFileDataBuffered(from, to, limit);
}

std::optional<FileIdentity> IdentityOfPath(const std::string& path) {
    // FILE_FLAG_BACKUP_SEMANTICS lets a folder be opened too, for its identity only.
    const FileHandle file =
        Owned(CreateFileW(WideText(path).c_str(), FILE_READ_ATTRIBUTES,
                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                          OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!file.valid() || !GetFileInformationByHandle(Native(file), &info)) {
        return std::nullopt;
    }
    return IdentityOf(info);
}

TempFileCreation CreateTempFile(const std::string& tempPath, std::optional<FileIdentity> source) {
    TempFileCreation created;
    // Not truncated on open: what is at the name is checked first. A symbolic link or junction
    // is opened as itself, never followed. The file keeps the access its folder gives to new
    // files, which on Windows is the owner's unless the folder is shared.
    created.file = Owned(CreateFileW(
        WideText(tempPath).c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
        OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!created.file.valid()) {
        created.error = LastErrno();
        return created;
    }
    const HANDLE handle = Native(created.file);
    if (GetFileType(handle) != FILE_TYPE_DISK) {
        RefuseTempFile(tempPath);
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(handle, &info)) {
        created.error = LastErrno();
        created.file = FileHandle();
        return created;
    }
    if ((info.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) ||
        info.nNumberOfLinks > 1 || (source && *source == IdentityOf(info))) {
        RefuseTempFile(tempPath);
    }
    LARGE_INTEGER start{};
    if (!SetFilePointerEx(handle, start, nullptr, FILE_BEGIN) || !SetEndOfFile(handle)) {
        created.error = LastErrno();
        created.file = FileHandle();
    }
    return created;
}

}  // namespace tavrin
