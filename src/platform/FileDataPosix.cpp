// SPDX-License-Identifier: GPL-3.0-or-later
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "platform/Error.h"
#include "platform/FileData.h"

namespace tavrin {

namespace {

constexpr std::int64_t kKernelCopyStep = std::int64_t{1} << 30;
constexpr mode_t kOwnerOnly = S_IRUSR | S_IWUSR;

int Fd(const FileHandle& file) {
    return static_cast<int>(file.get());
}

[[noreturn]] void RefuseTempFile(const std::string& tempPath) {
    throw Error(FormatMessage("Cannot create file %s", tempPath));
}

FileIdentity IdentityOf(const struct stat& info) {
    return {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
}

SourceFile OpenForReading(const std::string& path) {
    SourceFile source;
    // O_NONBLOCK keeps a named pipe from stalling the open; it is refused then.
    source.file = FileHandle(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (!source.file.valid()) {
        source.error = errno;
        return source;
    }
    struct stat info {};
    if (::fstat(Fd(source.file), &info) != 0) {
        source.error = errno;
    } else if (S_ISDIR(info.st_mode)) {
        source.error = EISDIR;
    } else if (!S_ISREG(info.st_mode)) {
        source.error = EACCES;
    }
    if (source.error != 0) {
        source.file = FileHandle();
        return source;
    }
    source.size = static_cast<std::int64_t>(info.st_size);
    source.identity = IdentityOf(info);
    return source;
}

}  // namespace

int FileHandle::Close() {
    if (native_ == kInvalid) {
        return 0;
    }
    const int result = ::close(static_cast<int>(native_));
    native_ = kInvalid;
    return result == 0 ? 0 : errno;
}

SourceFile OpenSourceFile(const std::string& path) {
    return OpenForReading(path);
}

std::int64_t ReadSome(const FileHandle& file, char* buffer, std::size_t size, int& error) {
    ssize_t got = 0;
    do {
        got = ::read(Fd(file), buffer, size);
    } while (got < 0 && errno == EINTR);
    error = got < 0 ? errno : 0;
    return got;
}

std::int64_t WriteSome(const FileHandle& file, const char* data, std::size_t size, int& error) {
    ssize_t put = 0;
    do {
        put = ::write(Fd(file), data, size);
    } while (put < 0 && errno == EINTR);
    error = put < 0 ? errno : 0;
    return put;
}

FileDataResult CopyFileData(const FileHandle& from, const FileHandle& to,
                            std::optional<std::int64_t> limit) {
    FileDataResult done;
    while (!limit || done.bytes < *limit) {
        const std::int64_t step =
            limit ? std::min(kKernelCopyStep, *limit - done.bytes) : kKernelCopyStep;
        const ssize_t copied = ::copy_file_range(Fd(from), nullptr, Fd(to), nullptr,
                                                 static_cast<std::size_t>(step), 0);
        if (copied < 0) {
            if (errno == EINTR) {
                continue;
            }
            // The kernel cannot copy between these files, or one side failed. The buffered copy
            // carries on from the same positions and tells a read failure from a write failure.
            return CopyFileDataBuffered(from, to, limit, done);
        }
        if (copied == 0) {
            // Either the end of the file, or a file system that reports its files as empty to
            // the kernel copy (as /proc does): a plain read tells which.
            return CopyFileDataBuffered(from, to, limit, done);
        }
        done.bytes += copied;
    }
    return done;
}

std::optional<FileIdentity> IdentityOfPath(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return std::nullopt;
    }
    return IdentityOf(info);
}

TempFileCreation CreateTempFile(const std::string& tempPath, std::optional<FileIdentity> source) {
    TempFileCreation created;
    // Not truncated on open: what is at the name is checked first. O_NONBLOCK keeps a planted
    // named pipe from stalling the open; it has no effect on a plain file.
    created.file = FileHandle(::open(
        tempPath.c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK, kOwnerOnly));
    if (!created.file.valid()) {
        // ELOOP: the name is a symbolic link. ENXIO: it is a pipe that no one reads.
        if (errno == ELOOP || errno == ENXIO) {
            RefuseTempFile(tempPath);
        }
        created.error = errno;
        return created;
    }
    const int fd = Fd(created.file);
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        created.error = errno;
        created.file = FileHandle();
        return created;
    }
    if (!S_ISREG(info.st_mode) || info.st_nlink > 1 || (source && *source == IdentityOf(info))) {
        RefuseTempFile(tempPath);
    }
    // A file left from an earlier run, or made by someone else, may be readable by others.
    if ((info.st_mode & 07777) != kOwnerOnly && ::fchmod(fd, kOwnerOnly) != 0) {
        RefuseTempFile(tempPath);
    }
    if (::ftruncate(fd, 0) != 0) {
        created.error = errno;
        created.file = FileHandle();
    }
    return created;
}

}  // namespace tavrin
