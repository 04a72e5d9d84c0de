// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/FileData.h"

#include <algorithm>
#include <vector>

namespace tavrin {

namespace {

constexpr std::size_t kCopyBufferSize = 128 * 1024;

}  // namespace

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
