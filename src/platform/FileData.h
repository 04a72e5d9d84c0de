// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace tavrin {

// The file routines the spooler needs of the operating system, one implementation per system
// (FileDataPosix.cpp, FileDataWindows.cpp). Paths are UTF-8; errors are errno values (ENOENT,
// EACCES, EISDIR, ENOSPC, EIO...), also on Windows, where the system's codes are mapped to them.

// The character that separates a folder from the name in it: "/" on POSIX systems, "\" on
// Windows.
#ifdef _WIN32
inline constexpr char kFolderSeparator = '\\';
#else
inline constexpr char kFolderSeparator = '/';
#endif

// Owns one open file (a descriptor, or a Windows HANDLE) and closes it when it goes out of scope.
class FileHandle {
public:
    using Native = std::intptr_t;
    static constexpr Native kInvalid = -1;

    FileHandle() = default;
    explicit FileHandle(Native native) : native_(native) {}
    FileHandle(FileHandle&& other) noexcept : native_(other.native_) { other.native_ = kInvalid; }
    FileHandle& operator=(FileHandle&& other) noexcept {
        if (this != &other) {
            Close();
            native_ = other.native_;
            other.native_ = kInvalid;
        }
        return *this;
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    ~FileHandle() { Close(); }

    Native get() const { return native_; }
    bool valid() const { return native_ != kInvalid; }

    // Closes the file; returns 0 or the error of the failed close, which matters for a written
    // file: a failed close can mean lost data.
    int Close();

private:
    Native native_ = kInvalid;
};

// Which side of a copy failed, with the errno of the failure.
enum class FileDataFailure { None, Read, Write };

struct FileDataResult {
    std::int64_t bytes = 0;
    FileDataFailure failure = FileDataFailure::None;
    int error = 0;

    bool failed() const { return failure != FileDataFailure::None; }
};

// What tells whether two names lead to the same data: device and inode, or on Windows the
// volume's serial number and the file index.
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;

    bool operator==(const FileIdentity&) const = default;
};

// A print file opened for reading. `error` is 0 on success, otherwise the errno of the failure.
struct SourceFile {
    FileHandle file;
    std::int64_t size = 0;
    FileIdentity identity;
    int error = 0;
};

// Opens a file for reading. Anything but a regular file (a folder, a pipe, a device) is refused
// with EISDIR or EACCES, so that reading it can neither block nor read something that is not a
// print file.
SourceFile OpenSourceFile(const std::string& path);

// One read or one write of at most `size` bytes, as the system does it (FileDataPosix.cpp,
// FileDataWindows.cpp): the bytes moved (a read gives 0 at the end of the file), or -1 with the
// errno in `error`. ReadFully and WriteFully loop over them.
std::int64_t ReadSome(const FileHandle& file, char* buffer, std::size_t size, int& error);
std::int64_t WriteSome(const FileHandle& file, const char* data, std::size_t size, int& error);

// Reads until `size` bytes are in `buffer` or the end of the file is reached. Returns the bytes
// read, or a Read failure.
FileDataResult ReadFully(const FileHandle& file, char* buffer, std::size_t size);

// Writes all `size` bytes. Returns them, or a Write failure.
FileDataResult WriteFully(const FileHandle& file, const char* data, std::size_t size);

// Copies from the current position of `from` to the current position of `to`, `limit` bytes or up
// to the end of the file when there is no limit. The data moves inside the kernel where the
// system and its file systems allow it and through a small buffer otherwise; the whole file is
// never held.
FileDataResult CopyFileData(const FileHandle& from, const FileHandle& to,
                            std::optional<std::int64_t> limit);

// The same copy, always through the small buffer; `done` counts what was copied before.
FileDataResult CopyFileDataBuffered(const FileHandle& from, const FileHandle& to,
                                    std::optional<std::int64_t> limit, FileDataResult done = {});

struct TempFileCreation {
    FileHandle file;  // open for writing, emptied, readable and writable by its owner only
    int error = 0;    // otherwise the errno of the failed open or truncation
};

// Creates or empties the temporary file at `tempPath`, readable and writable by its owner only.
// A symbolic link at that name is never followed, and a file that has a second name, is not a
// plain file (a pipe, a device) or is the file being copied (`source`) is never emptied: each of
// these raises Error "Cannot create file %s" with the path. Ordinary failures of the file system
// come back in `error` so that each rewriter reports them in its own words.
TempFileCreation CreateTempFile(const std::string& tempPath, std::optional<FileIdentity> source);

// Whether something is at `path` that is not a regular file (after links): a folder, a named
// pipe, a device. A missing name is not.
bool IsThereButNoFile(const std::string& path);

// The identity of the file at `path`, if it can be found.
std::optional<FileIdentity> IdentityOfPath(const std::string& path);

}  // namespace tavrin
