// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "printers/PrintLanguage.h"

namespace tavrin {

// A width and height in millimetres.
struct Millimetres {
    double width = 0;
    double height = 0;

    bool operator==(const Millimetres&) const = default;
};

// What a print file says about itself, read from a bounded head and tail.
struct PrintFileFacts {
    FileLanguage language;
    std::uint64_t size = 0;
    // Whether head and tail together held the whole file; counts are then exact.
    bool wholeFileRead = true;

    // HP-GL and HP-GL/2.
    std::optional<Millimetres> plotSize;  // from the first PS instruction
    int rotation = 0;                     // the last RO instruction read
    int pageEnds = 0;                     // PG instructions
    bool quality = false;                 // holds a QL instruction
    bool replot = false;                  // holds an RP instruction

    // PostScript (DSC comments) and PDF.
    std::string boundingBox;               // "%%BoundingBox:" as written, e.g. "0 0 595 842"
    std::string documentMedia;             // "%%DocumentMedia:" as written
    std::optional<int> pages;              // "%%Pages:", or a PDF's page count
    std::optional<Millimetres> firstPage;  // a PDF's first /MediaBox

    // PCL.
    std::string pageSize;  // from ESC&l#A: "A4", "Letter", or "size code N"

    bool operator==(const PrintFileFacts&) const = default;
};

// How much of a file's start (after its NUL padding) and end inspection reads.
inline constexpr std::size_t kFactsHeadBytes = 256 * 1024;
inline constexpr std::size_t kFactsTailBytes = 64 * 1024;

// The facts of a file of `size` bytes from its `head` (its start after any NUL padding) and
// `tail` (its last bytes; empty when the head holds the whole file).
PrintFileFacts InspectPrintData(std::string_view head, std::string_view tail, std::uint64_t size);

// Reads the head and tail of the file at `path`, never more. Throws "Cannot open file %s".
PrintFileFacts InspectPrintFile(const std::string& path);

// One line for people: "HP-GL/2 in PJL, 134688 bytes, plot 297 x 210 mm, rotated 90, ...".
std::string DescribeFacts(const PrintFileFacts& facts);

}  // namespace tavrin
