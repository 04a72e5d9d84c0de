#pragma once

#include <sys/stat.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "spool/UniqueFd.h"

namespace tavrin {

// Which side of a copy failed, with the errno of the failure.
enum class FileDataFailure { None, Read, Write };

struct FileDataResult {
    std::int64_t bytes = 0;
    FileDataFailure failure = FileDataFailure::None;
    int error = 0;

    bool failed() const { return failure != FileDataFailure::None; }
};

// A print file opened for reading. `error` is 0 on success, otherwise the errno of the failure;
// anything but a regular file (a folder, a pipe, a device) is refused with EISDIR or EACCES, so
// that reading it can neither block nor read something that is not a print file.
struct SourceFile {
    UniqueFd fd;
    struct stat info {};
    int error = 0;
};
SourceFile OpenSourceFile(const std::string& path);

// Reads until `size` bytes are in `buffer` or the end of the file is reached. Returns the bytes
// read, or a Read failure.
FileDataResult ReadFully(int fd, char* buffer, std::size_t size);

// Writes all `size` bytes. Returns them, or a Write failure.
FileDataResult WriteFully(int fd, const char* data, std::size_t size);

// Copies from the current position of `from` to the current position of `to`, `limit` bytes or up
// to the end of the file when there is no limit. The data moves inside the kernel where the
// file systems allow it and through a small buffer otherwise; the whole file is never held.
FileDataResult CopyFileData(int from, int to, std::optional<std::int64_t> limit);

}  // namespace tavrin
