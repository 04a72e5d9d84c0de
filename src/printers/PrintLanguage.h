// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <istream>
#include <string>
#include <string_view>
#include <vector>

namespace tavrin {

// The page description language a print file is written in.
enum class PrintLanguage {
    Unknown,
    HpGl2,         // HP-GL/2, as plotters take it (alone or entered with ESC%-1B / ESC%0B)
    HpGl,          // HP-GL without instructions only HP-GL/2 has
    Pcl,           // PCL, PCL3GUI or HP RTL
    PclWithHpGl2,  // PCL that switches to HP-GL/2 on the way
    PostScript,
    Pdf,
};

// What the first bytes of a print file say.
struct FileLanguage {
    PrintLanguage language = PrintLanguage::Unknown;
    // The file starts with a PJL job header (after the universal exit language sequence).
    bool pjl = false;
    // The language the PJL header enters ("@PJL ENTER LANGUAGE=..."), upper case; empty
    // when it names none.
    std::string pjlLanguage;
    // Where HP-GL/2 or HP-GL data begins, counted from the start of what was read: after NUL
    // padding and a PJL header, with the escape that ends it by entering HP-GL/2 (ESC%-1B,
    // ESC%0B, ESC%1B). 0 for other languages.
    std::uint64_t hpglStart = 0;

    bool operator==(const FileLanguage&) const = default;
};

// The most bytes after the leading NUL padding that detection looks at.
inline constexpr std::size_t kLanguageHeadBytes = 64 * 1024;

// Detects the language from the start of a file. Leading NUL bytes (padding, as some drivers
// write before the header) are skipped; a PJL header is read to its end.
FileLanguage DetectPrintLanguage(std::string_view head);

// The start of a file after its NUL padding (of which at most 16 MB is skipped).
struct FileHead {
    std::string bytes;
    std::uint64_t padding = 0;

    // `language`, read from these bytes, with its HP-GL/2 start counted from the file's first
    // byte.
    FileLanguage InFile(FileLanguage language) const;
};

// Opens the print file at `path` for reading. Throws "Cannot open file %s" when it cannot be
// opened or is not a regular file: a folder holds no bytes to read, a named pipe may never be
// written, a device may never end.
std::ifstream OpenPrintFile(const std::string& path);

// Reads the NUL padding at the start of `file`, then at most `bytes` bytes.
FileHead ReadFileHead(std::istream& file, std::size_t bytes);

// The same for a file, read from its start: the NUL padding, then at most kLanguageHeadBytes.
// Throws "Cannot open file %s" when it cannot be read.
FileLanguage DetectFileLanguage(const std::string& path);

// The IPP document-formats that name `language`, the one to prefer first; none for Unknown.
std::vector<const char*> DocumentFormatsOf(PrintLanguage language);

// The IPP document-format to send a file of `language` as, among those a printer `supported`:
// its own MIME type when listed (PCL with HP-GL/2 falls back to HP-GL/2), else
// "application/octet-stream".
std::string DocumentFormatFor(PrintLanguage language, const std::vector<std::string>& supported);

// "HP-GL/2", "PCL", "PostScript", ...
const char* LanguageName(PrintLanguage language);

}  // namespace tavrin
