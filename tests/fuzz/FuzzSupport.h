// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "spool/SpoolOptions.h"
#include "support/TempFolder.h"

namespace tavrin::fuzz {

// A broken invariant: says which one, then aborts so that libFuzzer keeps the input.
inline void Check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}

// Takes the options from the front of the input, a few bytes each; what is left is the file.
// Past the end every byte reads as 0.
class FuzzInput {
public:
    FuzzInput(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    std::uint8_t Byte() {
        if (size_ == 0)
            return 0;
        --size_;
        return *data_++;
    }
    std::uint16_t Word() {
        const unsigned low = Byte();
        return static_cast<std::uint16_t>(low | unsigned{Byte()} << 8);
    }
    std::int32_t Int() {
        const std::uint32_t low = Word();
        return static_cast<std::int32_t>(low | std::uint32_t{Word()} << 16);
    }
    std::string Rest() {
        std::string rest(reinterpret_cast<const char*>(data_), size_);
        size_ = 0;
        return rest;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
};

// The options the rewriters read, as plain fields.
class Options : public SpoolOptions {
public:
    bool smartReplots = false;
    bool removeQL = false;
    bool psCollate = false;
    bool fitToPage = false;
    std::optional<PageSize> pageSize;
    int fromStart = 0;
    int fromEnd = 0;
    std::string tempFilesPath;

    bool SmartReplots() const override { return smartReplots; }
    bool RemoveQL() const override { return removeQL; }
    bool PSCollate() const override { return psCollate; }
    bool FitToPage() const override { return fitToPage; }
    std::optional<PageSize> CheckedPageSize() const override { return pageSize; }
    bool JobAsSet() const override { return false; }
    bool ClearAfterSpooling() const override { return false; }
    bool ReverseSet() const override { return false; }
    int GlobalCopies() const override { return 1; }
    int FromStart() const override { return fromStart; }
    int FromEnd() const override { return fromEnd; }
    std::string TempFilesPath() const override { return tempFilesPath; }
};

// The folder the targets that work on files write in, made once and removed when the fuzzer
// exits.
inline const std::filesystem::path& ScratchFolder() {
    static const test::TempFolder folder;
    return folder.path();
}

}  // namespace tavrin::fuzz
