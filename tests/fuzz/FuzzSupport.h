// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/Error.h"
#include "support/PlainSpoolOptions.h"
#include "support/TempFolder.h"

namespace tavrin::fuzz {

using Options = test::PlainSpoolOptions;

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
    std::uint16_t Word() { return static_cast<std::uint16_t>(Byte() | unsigned{Byte()} << 8); }
    std::int32_t Int() { return static_cast<std::int32_t>(Word() | std::uint32_t{Word()} << 16); }
    std::string Rest() {
        std::string rest(reinterpret_cast<const char*>(data_), size_);
        size_ = 0;
        return rest;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
};

// The folder the targets that work on files write in, made once and removed when the fuzzer
// exits.
inline const std::filesystem::path& ScratchFolder() {
    static const test::TempFolder folder;
    return folder.path();
}

inline std::filesystem::path TempFile() {
    return ScratchFolder() / "temp.$$$";
}

// What the header writers read from the front of an input. The flags byte: 1 copies by the
// device, 2 collate, 4 fit to page, 8 a 32-bit count (else one signed byte), 16 a "/" after the
// temporary folder's name, 32 also the temporary file as the print file, 64 quality on plotter;
// then the page size (one in 7 none) and the count.
struct HeaderCase {
    explicit HeaderCase(FuzzInput& input) : flags(input.Byte()) {
        const std::uint8_t size = input.Byte();
        copies = (flags & 8) ? input.Int() : static_cast<std::int8_t>(input.Byte());
        options.smartReplots = flags & 1;
        options.psCollate = flags & 2;
        options.fitToPage = flags & 4;
        options.removeQL = flags & 64;
        options.pageSize.reset();
        if (size % 7 != 6)
            options.pageSize = static_cast<PageSize>(size % 7);
        options.tempFilesPath = ScratchFolder().string() + ((flags & 16) ? "/" : "");
    }
    bool TryTempFile() const { return flags & 32; }

    std::uint8_t flags;
    int copies = 0;
    Options options;
};

// A rewrite given the temporary file itself as its print file must refuse, naming it, before it
// empties the file.
template <typename Rewrite>
void CheckTempFileRefused(Rewrite rewrite) {
    const std::string temp = TempFile().string();
    const std::string held = test::ReadFile(temp);
    bool refused = false;
    try {
        rewrite(temp);
    } catch (const Error& error) {
        refused = std::string(error.what()) == "Cannot create file " + temp;
    }
    Check(refused, "the temporary file as the print file is refused with its name");
    Check(test::ReadFile(temp) == held, "the refused file keeps its bytes");
}

// A header writer on `body`: the temporary file holds `header` and then the file unchanged.
template <typename Write>
void CheckHeaderWritten(const std::string& body, const std::string& header, bool tryTemp,
                        Write write) {
    const std::filesystem::path source = ScratchFolder() / "print.file";
    test::WriteBytes(source, body);
    write(source.string());
    Check(test::ReadFile(TempFile()) == header + body, "the file follows the header unchanged");
    Check(test::ReadFile(source) == body, "the print file is left as it was");
    if (tryTemp)
        CheckTempFileRefused(write);
}

}  // namespace tavrin::fuzz
