#include "spool/HpglBlockEditor.h"

#include <algorithm>

namespace tavrin {

namespace {

constexpr std::int64_t kBlock = static_cast<std::int64_t>(HpglBlockEditor::kBlockSize);

bool IsDigit(char byte) {
    return byte >= '0' && byte <= '9';
}

std::size_t ClampToBlock(std::int64_t position, std::size_t length) {
    return static_cast<std::size_t>(
        std::clamp<std::int64_t>(position, 0, static_cast<std::int64_t>(length)));
}

std::int64_t AlignUpToBlock(std::int64_t offset) {
    if (offset <= 0) {
        return 0;
    }
    return (offset + kBlock - 1) / kBlock * kBlock;
}

}  // namespace

bool HpglBlockEditor::Examines(std::int64_t offset) const {
    const bool headTest = windows_.removeQuality && offset + kBlock > windows_.dataStart &&
                          offset + 3 < windows_.dataStart + windows_.fromStart;
    // The last "PG;" a block can hold ends at offset + kBlock.
    const bool tailTest = SeeksPage() && windows_.fileSize - (offset + kBlock) < windows_.fromEnd;
    return headTest || tailTest;
}

std::optional<std::int64_t> HpglBlockEditor::NextExamined(std::int64_t offset) const {
    if (Examines(offset)) {
        return offset;
    }
    std::optional<std::int64_t> next;
    // The head begins further on, after the padding and job header.
    if (windows_.removeQuality && windows_.fromStart > 3 && offset + kBlock <= windows_.dataStart)
        next = windows_.dataStart / kBlock * kBlock;
    if (SeeksPage()) {
        const std::int64_t firstTailBlock =
            std::max(offset, AlignUpToBlock(windows_.fileSize - windows_.fromEnd - kBlock + 1));
        next = next ? std::min(*next, firstTailBlock) : firstTailBlock;
    }
    return next;  // nothing when the head lies behind and no page instruction is sought
}

std::optional<std::size_t> HpglBlockEditor::Examine(std::span<char> block, std::int64_t offset) {
    const std::size_t length = block.size();
    // Positions i from qualityBegin and below qualityEnd have "Q" in the data's first
    // fromStart - 3 bytes; positions from pageBegin on have fewer than fromEnd bytes after a
    // "PG;" that starts there.
    const std::size_t qualityBegin = ClampToBlock(windows_.dataStart - offset, length);
    const std::size_t qualityEnd =
        windows_.removeQuality
            ? ClampToBlock(windows_.dataStart + windows_.fromStart - 3 - offset, length)
            : 0;
    const std::size_t pageBegin =
        SeeksPage() ? ClampToBlock(windows_.fileSize - windows_.fromEnd - 2 - offset, length)
                    : length;
    for (std::size_t i = 0; i < length; ++i) {
        if (i < qualityBegin && i < pageBegin) {
            i = std::min(qualityBegin, pageBegin);
        }
        if (i >= qualityEnd && i < pageBegin) {
            i = pageBegin;
        }
        if (i >= length) {
            break;
        }
        if (i >= qualityBegin && i < qualityEnd && i + 1 < length && block[i] == 'Q' &&
            block[i + 1] == 'L') {
            block[i] = ';';
            block[i + 1] = ';';
            for (std::size_t d = i + 2; d < length && IsDigit(block[d]); ++d) {
                block[d] = ';';
            }
        }
        if (i >= pageBegin && i + 2 < length && block[i] == 'P' && block[i + 1] == 'G' &&
            block[i + 2] == ';') {
            pageFound_ = true;
            return i + 3;
        }
    }
    return std::nullopt;
}

}  // namespace tavrin
