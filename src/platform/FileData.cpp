// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/FileData.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <system_error>
#include <vector>

namespace tavrin {

namespace {

constexpr std::size_t kCopyBufferSize = 128 * 1024;

}  // namespace

bool IsThereButNoFile(const std::string& path) {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::file_status status = fs::status(fs::u8path(path), error);
    return !error && fs::exists(status) && !fs::is_regular_file(status);
}

FileDataResult ReadFully(const FileHandle& file, char* buffer, std::size_t size) {
    FileDataResult result;
    while (static_cast<std::size_t>(result.bytes) < size) {
        int error = 0;
        const std::int64_t got = ReadSome(file, buffer + result.bytes,
                                          size - static_cast<std::size_t>(result.bytes), error);
        if (got < 0)
            return {result.bytes, FileDataFailure::Read, error};
        if (got == 0)
            break;
        result.bytes += got;
    }
    return result;
}

FileDataResult WriteFully(const FileHandle& file, const char* data, std::size_t size) {
    FileDataResult result;
    while (static_cast<std::size_t>(result.bytes) < size) {
        int error = 0;
        const std::int64_t put = WriteSome(file, data + result.bytes,
                                           size - static_cast<std::size_t>(result.bytes), error);
        if (put < 0)
            return {result.bytes, FileDataFailure::Write, error};
        if (put == 0)
            return {result.bytes, FileDataFailure::Write, ENOSPC};
        result.bytes += put;
    }
    return result;
}

FileDataResult CopyFileDataBuffered(const FileHandle& from, const FileHandle& to,
                                    std::optional<std::int64_t> limit, FileDataResult done) {
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

}  // namespace tavrin
