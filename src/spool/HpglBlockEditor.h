#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace tavrin {

// The examination of one 2048-byte block of an HP-GL/2 file. Positions are tested in increasing
// order, first for a quality instruction "QL" in the head (blanked in place with its digits; the
// head counted from where the HP-GL/2 data begins, after any padding and job header),
// then for the page instruction "PG;" in the tail. Neither instruction is looked for across the
// end of a block. The first page instruction that qualifies ends the search for it.
class HpglBlockEditor {
public:
    static constexpr std::size_t kBlockSize = 2048;

    struct Windows {
        bool removeQuality = false;  // blank "QL" whose "Q" lies below dataStart + fromStart - 3
        bool seekPage = false;       // find "PG;" followed by fewer than fromEnd bytes
        std::int64_t fromStart = 0;
        std::int64_t fromEnd = 0;
        std::int64_t fileSize = 0;
        std::int64_t dataStart = 0;  // where the HP-GL/2 data begins; nothing before is edited
    };

    explicit HpglBlockEditor(const Windows& windows) : windows_(windows) {}

    // Whether any test can apply in the block that starts at `offset`.
    bool Examines(std::int64_t offset) const;

    // The first block offset at or after `offset` that Examines(), if there is one. Everything
    // before it passes unchanged.
    std::optional<std::int64_t> NextExamined(std::int64_t offset) const;

    // Edits `block`, which starts at file offset `offset`. Returns the position right after the
    // page instruction when this block holds the one that qualifies.
    std::optional<std::size_t> Examine(std::span<char> block, std::int64_t offset);

    bool pageFound() const { return pageFound_; }

private:
    bool SeeksPage() const { return windows_.seekPage && !pageFound_; }

    Windows windows_;
    bool pageFound_ = false;
};

}  // namespace tavrin
