// SPDX-License-Identifier: GPL-3.0-or-later
// Runs the HP-GL/2 rewrite on arbitrary files with arbitrary options and compares it with the
// rewrite done the plain way in memory (tests/support/HpglRewriteReference.h): the temporary file
// must hold exactly the reference's bytes, and a replot is placed exactly when the reference
// places one. The block editor is also run on every block of the file in memory, where it must
// give the reference's edits, and every block it says it does not examine must be one that
// examining would leave alone. A run of filler bytes inserted into the file lets small inputs
// make files of many blocks, past the rewrite's reads of several blocks at a time.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>

#include "FuzzSupport.h"
#include "printers/PrintLanguage.h"
#include "spool/HpglBlockEditor.h"
#include "spool/HpglRewrite.h"
#include "support/HpglRewriteReference.h"

namespace {

using tavrin::fuzz::Check;
namespace fs = std::filesystem;

// A window edge: any 32-bit value, a small one, or one near the file's size or a block edge.
struct Edge {
    std::uint8_t how = 0;
    std::int16_t near = 0;
    std::int32_t any = 0;

    explicit Edge(tavrin::fuzz::FuzzInput& input)
        : how(input.Byte()), near(static_cast<std::int16_t>(input.Word())), any(input.Int()) {}

    int For(std::size_t fileSize) const {
        switch (how % 4) {
            case 0:
                return any;
            case 1:
                return near;
            case 2:
                return static_cast<int>(fileSize) + near % 64;
            default:
                return 2048 * (how / 4) + near % 64;
        }
    }
};

// The editor on every block in memory, against the reference's bytes before the replot.
void CheckEditorInMemory(const tavrin::test::HpglRewriteCase& c,
                         const tavrin::test::HpglRewriteExpected& expected) {
    constexpr std::size_t kBlock = tavrin::HpglBlockEditor::kBlockSize;
    tavrin::HpglBlockEditor editor({.removeQuality = c.removeQL,
                                    .seekPage = c.smartReplots,
                                    .fromStart = c.fromStart,
                                    .fromEnd = c.fromEnd,
                                    .fileSize = static_cast<std::int64_t>(c.bytes.size()),
                                    .dataStart = c.dataStart});
    std::string data = c.bytes;
    std::optional<std::size_t> insertion;
    for (std::size_t start = 0; start < data.size(); start += kBlock) {
        const auto offset = static_cast<std::int64_t>(start);
        const std::size_t length = std::min(kBlock, data.size() - start);
        const std::optional<std::int64_t> next = editor.NextExamined(offset);
        const bool examined = editor.Examines(offset);
        Check(examined == (next == offset), "NextExamined agrees with Examines");
        Check(!next || *next >= offset, "NextExamined does not go back");
        const std::string before = data.substr(start, length);
        const std::optional<std::size_t> pageEnd =
            editor.Examine(std::span<char>(data.data() + start, length), offset);
        if (!examined) {
            Check(data.compare(start, length, before) == 0 && !pageEnd,
                  "a block that is not examined is left alone");
        }
        if (pageEnd) {
            Check(!insertion && *pageEnd >= 3 && *pageEnd <= length, "one page instruction");
            Check(data.compare(start + *pageEnd - 3, 3, "PG;") == 0, "the page ends after PG;");
            insertion = start + *pageEnd;
        }
    }
    Check(editor.pageFound() == insertion.has_value(), "pageFound() tells whether it was found");
    if (expected.replotPlaced) {
        Check(insertion.has_value(), "the editor finds the reference's page instruction");
        data.insert(*insertion, expected.bytes.substr(*insertion, 5));
    }
    Check(data == expected.bytes, "the editor's edits are the reference's");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    tavrin::fuzz::FuzzInput input(data, size);
    const std::uint8_t flags = input.Byte();
    const auto replotCount = static_cast<std::int16_t>(input.Word());
    // Up to 256 KiB of one byte, at a place given as a share of the file.
    const std::size_t fillLength = (flags & 8) ? std::size_t{input.Word()} * 4 : 0;
    const std::uint8_t fillAt = input.Byte();
    const char fill = static_cast<char>(input.Byte());
    const Edge fromStart(input);
    const Edge fromEnd(input);
    std::string bytes = input.Rest();
    bytes.insert(bytes.size() * fillAt / 255, fillLength, fill);

    tavrin::test::HpglRewriteCase c;
    c.removeQL = flags & 1;
    c.smartReplots = flags & 2;
    c.replotCount = replotCount;
    c.fromStart = fromStart.For(bytes.size());
    c.fromEnd = fromEnd.For(bytes.size());
    c.bytes = std::move(bytes);
    if (c.removeQL)
        c.dataStart = static_cast<long long>(tavrin::DetectPrintLanguage(c.bytes).hpglStart);
    const tavrin::test::HpglRewriteExpected expected = tavrin::test::RewriteInMemory(c);
    CheckEditorInMemory(c, expected);

    const fs::path& folder = tavrin::fuzz::ScratchFolder();
    const fs::path source = folder / "plot.plt";
    tavrin::test::WriteBytes(source, c.bytes);
    tavrin::fuzz::Options options;
    options.smartReplots = c.smartReplots;
    options.removeQL = c.removeQL;
    options.fromStart = c.fromStart;
    options.fromEnd = c.fromEnd;
    // With and without the "/" at the end of the folder's name.
    options.tempFilesPath = folder.string() + ((flags & 4) ? "/" : "");
    const tavrin::HpglRewrite result =
        tavrin::RewriteHpglFile(source.string(), c.replotCount, options);
    Check(result.replotPlaced == expected.replotPlaced, "a replot is placed as the reference");
    Check(tavrin::test::ReadFile(tavrin::fuzz::TempFile()) == expected.bytes,
          "the temporary file holds the reference's bytes");
    Check(tavrin::test::ReadFile(source) == c.bytes, "the print file is left as it was");

    if (flags & 16) {
        tavrin::fuzz::CheckTempFileRefused([&](const std::string& file) {
            tavrin::RewriteHpglFile(file, c.replotCount, options);
        });
    }
    return 0;
}
