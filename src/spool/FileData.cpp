#include "spool/FileData.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <vector>

namespace tavrin {

namespace {

constexpr std::size_t kCopyBufferSize = 128 * 1024;
constexpr std::int64_t kKernelCopyStep = std::int64_t{1} << 30;

FileDataResult CopyThroughBuffer(int from, int to, std::optional<std::int64_t> limit,
                                 FileDataResult done) {
    std::vector<char> buffer(kCopyBufferSize);
    while (!limit || done.bytes < *limit) {
        std::size_t want = buffer.size();
        if (limit) {
            want = static_cast<std::size_t>(
                std::min<std::int64_t>(static_cast<std::int64_t>(want), *limit - done.bytes));
        }
        const FileDataResult read = ReadFully(from, buffer.data(), want);
        if (read.failed()) {
            return {done.bytes, read.failure, read.error};
        }
        if (read.bytes == 0) {
            break;
        }
        const FileDataResult written =
            WriteFully(to, buffer.data(), static_cast<std::size_t>(read.bytes));
        if (written.failed()) {
            return {done.bytes, written.failure, written.error};
        }
        done.bytes += read.bytes;
    }
    return done;
}

}  // namespace

SourceFile OpenSourceFile(const std::string& path) {
    SourceFile source;
    // O_NONBLOCK keeps a named pipe from stalling the open; it is refused below.
    source.fd = UniqueFd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (!source.fd.valid()) {
        source.error = errno;
        return source;
    }
    if (::fstat(source.fd.get(), &source.info) != 0) {
        source.error = errno;
    } else if (S_ISDIR(source.info.st_mode)) {
        source.error = EISDIR;
    } else if (!S_ISREG(source.info.st_mode)) {
        source.error = EACCES;
    }
    if (source.error != 0) {
        source.fd = UniqueFd();
    }
    return source;
}

FileDataResult ReadFully(int fd, char* buffer, std::size_t size) {
    FileDataResult result;
    while (static_cast<std::size_t>(result.bytes) < size) {
        const ssize_t got = ::read(fd, buffer + result.bytes, size - result.bytes);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            return {result.bytes, FileDataFailure::Read, errno};
        }
        if (got == 0) {
            break;
        }
        result.bytes += got;
    }
    return result;
}

FileDataResult WriteFully(int fd, const char* data, std::size_t size) {
    FileDataResult result;
    while (static_cast<std::size_t>(result.bytes) < size) {
        const ssize_t put = ::write(fd, data + result.bytes, size - result.bytes);
        if (put < 0) {
            if (errno == EINTR) {
                continue;
            }
            return {result.bytes, FileDataFailure::Write, errno};
        }
        if (put == 0) {
            return {result.bytes, FileDataFailure::Write, ENOSPC};
        }
        result.bytes += put;
    }
    return result;
}

FileDataResult CopyFileData(int from, int to, std::optional<std::int64_t> limit) {
    FileDataResult done;
    while (!limit || done.bytes < *limit) {
        const std::int64_t step =
            limit ? std::min(kKernelCopyStep, *limit - done.bytes) : kKernelCopyStep;
        const ssize_t copied =
            ::copy_file_range(from, nullptr, to, nullptr, static_cast<std::size_t>(step), 0);
        if (copied < 0) {
            if (errno == EINTR) {
                continue;
            }
            // The kernel cannot copy between these files, or one side failed. The buffered copy
            // carries on from the same positions and tells a read failure from a write failure.
            return CopyThroughBuffer(from, to, limit, done);
        }
        if (copied == 0) {
            // Either the end of the file, or a file system that reports its files as empty to
            // the kernel copy (as /proc does): a plain read tells which.
            return CopyThroughBuffer(from, to, limit, done);
        }
        done.bytes += copied;
    }
    return done;
}

}  // namespace tavrin
