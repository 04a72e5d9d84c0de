// SPDX-License-Identifier: GPL-3.0-or-later
#include "printers/PrintLanguage.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <filesystem>
#include <fstream>

#include "platform/Error.h"
#include "platform/Utf8Path.h"

namespace tavrin {
namespace {

constexpr std::string_view kUel = "\x1b%-12345X";
constexpr std::string_view kReset = "\x1b\x45";  // ESC E
// More NUL padding than this is no print file.
constexpr std::size_t kMostPadding = 16u << 20;

bool StartsWith(std::string_view text, std::string_view start) {
    return text.substr(0, start.size()) == start;
}

std::string Upper(std::string_view text) {
    std::string upper(text);
    for (char& c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return upper;
}

void SkipNuls(std::string_view& text) {
    const auto first = text.find_first_not_of('\0');
    text.remove_prefix(first == std::string_view::npos ? text.size() : first);
}

// Reads the PJL lines after a UEL; leaves `text` at what follows them.
void ReadPjlHeader(std::string_view& text, FileLanguage& found) {
    found.pjl = true;
    while (true) {
        while (!text.empty() && (text[0] == '\r' || text[0] == '\n' || text[0] == ' ' ||
                                 text[0] == '\t' || text[0] == '\0'))
            text.remove_prefix(1);
        if (StartsWith(text, kUel)) {
            text.remove_prefix(kUel.size());
            continue;
        }
        if (Upper(text.substr(0, 4)) != "@PJL")
            return;
        const auto end = text.find('\n');
        const std::string line = Upper(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        const auto enter = line.find("ENTER");
        const auto language = line.find("LANGUAGE", enter == std::string::npos ? 0 : enter);
        if (enter == std::string::npos || language == std::string::npos)
            continue;
        auto value = line.find('=', language);
        if (value == std::string::npos)
            continue;
        value = line.find_first_not_of(" \t", value + 1);
        const auto valueEnd = line.find_first_of(" \t\r", value);
        if (value != std::string::npos)
            found.pjlLanguage = line.substr(value, valueEnd - value);
    }
}

// The instructions of HP-GL, and those only HP-GL/2 has.
constexpr std::string_view kHpGl =
    "AA AR CA CI CP CS CT DC DF DI DL DP DR DS DT EA EP ER ES EW FP FS FT GC GM IM IN IP IR IV IW "
    "KY LB LO LT NR OA OC OD OE OF OG OH OI OK OL OO OP OS OT OW PA PB PD PG PM PR PT PU RA RO RR "
    "SA SC SG SI SL SM SP SR SS TL UC UF VA VN VS WD WG XT YT ";
constexpr std::string_view kOnlyHpGl2 =
    "BP BR BZ CF CO CR DV EC FR LA MC MG MT NP PC PE PP PS PW QL RF RP SB SD SV TD TR UL WU ";

bool Listed(std::string_view list, const std::string& mnemonic) {
    return list.find(mnemonic + " ") != std::string_view::npos;
}

// Whether `text` reads as HP-GL: two-letter instructions with their parameters. Returns the
// language, or Unknown.
PrintLanguage HpGlLanguage(std::string_view text) {
    int instructions = 0;
    bool hpgl2 = false;
    std::size_t at = 0;
    const std::size_t end = std::min<std::size_t>(text.size(), 4096);
    while (at < end) {
        const unsigned char c = static_cast<unsigned char>(text[at]);
        // Device control sequences of serial plotters (ESC . x ... : or ;) carry no drawing.
        if (c == 0x1b && at + 1 < end && text[at + 1] == '.') {
            at += 3;
            while (at < end && (std::isdigit(static_cast<unsigned char>(text[at])) ||
                                text[at] == ';' || text[at] == ':'))
                ++at;
            continue;
        }
        if (std::isspace(c) || c == ';' || c == ',' || c == 0x03 || c == 0) {
            ++at;
            continue;
        }
        if (!std::isalpha(c) || at + 1 >= end ||
            !std::isalpha(static_cast<unsigned char>(text[at + 1])))
            break;
        const std::string mnemonic = Upper(text.substr(at, 2));
        const bool onlyHpGl2 = Listed(kOnlyHpGl2, mnemonic);
        if (!onlyHpGl2 && !Listed(kHpGl, mnemonic))
            break;
        ++instructions;
        hpgl2 = hpgl2 || onlyHpGl2;
        at += 2;
        if (mnemonic == "LB" || mnemonic == "WD") {  // a label runs to its terminator
            const auto close = text.find_first_of("\x03", at);
            at = close == std::string_view::npos ? end : close + 1;
            continue;
        }
        while (at < end && !std::isalpha(static_cast<unsigned char>(text[at])) && text[at] != 0x1b)
            ++at;
    }
    if (instructions < 2)
        return PrintLanguage::Unknown;
    return hpgl2 ? PrintLanguage::HpGl2 : PrintLanguage::HpGl;
}

bool EntersHpGl2(std::string_view text, std::size_t at) {
    return text.substr(at, 2) == "\x1b%" && at + 3 < text.size() &&
           (text.substr(at + 2, 2) == "0B" || text.substr(at + 2, 2) == "1B" ||
            text.substr(at + 2, 3) == "-1B");
}

PrintLanguage ContentLanguage(std::string_view text) {
    if (StartsWith(text, "%PDF-"))
        return PrintLanguage::Pdf;
    if (StartsWith(text, "%!") || StartsWith(text, "\x04%!") ||
        StartsWith(text, "\xc5\xd0\xd3\xc6"))
        return PrintLanguage::PostScript;
    if (EntersHpGl2(text, 0))
        return PrintLanguage::HpGl2;
    if (StartsWith(text, "\x1b") && !StartsWith(text, "\x1b.")) {
        // PCL: ESC E and the parameterised escapes. HP-GL/2 entered at once after a reset is a
        // plot; entered later, it is part of a PCL page.
        if (StartsWith(text, kReset) && EntersHpGl2(text, kReset.size()))
            return PrintLanguage::HpGl2;
        for (std::size_t at = 0; (at = text.find('\x1b', at)) != std::string_view::npos; ++at)
            if (EntersHpGl2(text, at))
                return PrintLanguage::PclWithHpGl2;
        return PrintLanguage::Pcl;
    }
    return HpGlLanguage(text);
}

}  // namespace

FileLanguage DetectPrintLanguage(std::string_view head) {
    FileLanguage found;
    const char* const start = head.data();
    SkipNuls(head);
    head = head.substr(0, kLanguageHeadBytes);
    std::string_view content = head;
    // Some drivers reset the printer before the PJL header.
    if (StartsWith(content, kReset) && StartsWith(content.substr(kReset.size()), kUel))
        content.remove_prefix(kReset.size());
    if (StartsWith(content, kUel)) {
        content.remove_prefix(kUel.size());
        ReadPjlHeader(content, found);
    }
    found.language = ContentLanguage(content);
    if (found.language == PrintLanguage::Unknown) {
        const std::string& pjl = found.pjlLanguage;
        if (pjl == "POSTSCRIPT")
            found.language = PrintLanguage::PostScript;
        else if (pjl == "PDF")
            found.language = PrintLanguage::Pdf;
        else if (pjl == "HPGL2")
            found.language = PrintLanguage::HpGl2;
        else if (pjl.starts_with("PCL"))
            found.language = PrintLanguage::Pcl;
    }
    if (found.language == PrintLanguage::HpGl2 || found.language == PrintLanguage::HpGl) {
        // A PJL header may end in the escape that enters HP-GL/2. Without a header the escape
        // is part of the plot, as it always was.
        if (found.pjl && StartsWith(content, kReset) && EntersHpGl2(content, kReset.size()))
            content.remove_prefix(kReset.size());
        if (found.pjl && EntersHpGl2(content, 0))
            content.remove_prefix(content[2] == '-' ? 5 : 4);
        found.hpglStart = static_cast<std::uint64_t>(content.data() - start);
    }
    return found;
}

FileLanguage FileHead::InFile(FileLanguage language) const {
    if (language.language == PrintLanguage::HpGl2 || language.language == PrintLanguage::HpGl)
        language.hpglStart += padding;
    return language;
}

FileHead ReadFileHead(std::istream& file, std::size_t bytes) {
    FileHead head;
    std::array<char, 16384> buffer{};
    while (head.bytes.size() < bytes && head.padding < kMostPadding) {
        file.read(buffer.data(), buffer.size());
        std::string_view got(buffer.data(), static_cast<std::size_t>(file.gcount()));
        if (got.empty())
            break;
        if (head.bytes.empty()) {
            const auto first = std::min(got.find_first_not_of('\0'), got.size());
            head.padding += first;
            got.remove_prefix(first);
        }
        head.bytes.append(got.substr(0, bytes - head.bytes.size()));
    }
    return head;
}

std::ifstream OpenPrintFile(const std::string& path) {
    // Asked before opening: opening a named pipe waits for a writer, and a device never ends.
    std::error_code error;
    const std::filesystem::path name = PathFromUtf8(path);
    if (!std::filesystem::is_regular_file(name, error))
        throw Error(FormatMessage("Cannot open file %s", path));
    std::ifstream file(name, std::ios::binary);
    if (!file)
        throw Error(FormatMessage("Cannot open file %s", path));
    return file;
}

FileLanguage DetectFileLanguage(const std::string& path) {
    std::ifstream file = OpenPrintFile(path);
    const FileHead head = ReadFileHead(file, kLanguageHeadBytes);
    return head.InFile(DetectPrintLanguage(head.bytes));
}

std::vector<const char*> DocumentFormatsOf(PrintLanguage language) {
    switch (language) {
        case PrintLanguage::HpGl2:
        case PrintLanguage::HpGl:
            return {"application/vnd.hp-hpgl"};
        case PrintLanguage::PclWithHpGl2:
            return {"application/vnd.hp-pcl", "application/vnd.hp-hpgl"};
        case PrintLanguage::Pcl:
            return {"application/vnd.hp-pcl"};
        case PrintLanguage::PostScript:
            return {"application/postscript"};
        case PrintLanguage::Pdf:
            return {"application/pdf"};
        case PrintLanguage::Unknown:
            break;
    }
    return {};
}

std::string DocumentFormatFor(PrintLanguage language, const std::vector<std::string>& supported) {
    for (const char* format : DocumentFormatsOf(language))
        if (std::find(supported.begin(), supported.end(), format) != supported.end())
            return format;
    return "application/octet-stream";
}

const char* LanguageName(PrintLanguage language) {
    switch (language) {
        case PrintLanguage::HpGl2:
            return "HP-GL/2";
        case PrintLanguage::HpGl:
            return "HP-GL";
        case PrintLanguage::Pcl:
            return "PCL";
        case PrintLanguage::PclWithHpGl2:
            return "PCL with HP-GL/2";
        case PrintLanguage::PostScript:
            return "PostScript";
        case PrintLanguage::Pdf:
            return "PDF";
        case PrintLanguage::Unknown:
            break;
    }
    return "unknown";
}

}  // namespace tavrin
