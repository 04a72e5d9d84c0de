// SPDX-License-Identifier: GPL-3.0-or-later
#include "printers/PrintFileFacts.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <fstream>
#include <vector>

#include "platform/Error.h"

namespace tavrin {
namespace {

constexpr char kEsc = '\x1b';
// HP-GL/2 plotter units per millimetre.
constexpr double kUnitsPerMillimetre = 40.0;
constexpr double kMillimetresPerPoint = 25.4 / 72.0;

bool IsLetter(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) != 0;
}

// The numbers at the start of `text`, separated by commas or blanks.
std::vector<double> Numbers(std::string_view text, std::size_t most) {
    std::vector<double> numbers;
    std::size_t at = 0;
    while (numbers.size() < most) {
        while (at < text.size() && (text[at] == ',' || text[at] == ' ' || text[at] == '\t' ||
                                    text[at] == '\r' || text[at] == '\n'))
            ++at;
        double value = 0;
        const auto [end, error] = std::from_chars(text.data() + at, text.data() + text.size(),
                                                  value, std::chars_format::general);
        if (error != std::errc())
            break;
        numbers.push_back(value);
        at = static_cast<std::size_t>(end - text.data());
    }
    return numbers;
}

// A number read from a file as an int, whatever its size (NaN reads as 0).
int WholeNumber(double value) {
    if (!(value == value))
        return 0;
    return static_cast<int>(std::clamp(value, -1e9, 1e9));
}

// Skips an escape sequence at `at` (pointing at ESC); returns where it ends.
std::size_t SkipEscape(std::string_view text, std::size_t at) {
    ++at;
    if (at < text.size() && (text[at] == '%' || text[at] == '&' || text[at] == '*' ||
                             text[at] == '(' || text[at] == ')')) {
        // Parameterised: groups end at an upper-case letter (or '@').
        for (++at; at < text.size(); ++at)
            if ((text[at] >= 'A' && text[at] <= 'Z') || text[at] == '@')
                return at + 1;
        return at;
    }
    if (at < text.size() && text[at] == '.') {  // device control of serial plotters
        for (at += 2; at < text.size(); ++at)
            if (text[at] == ':' || text[at] == ';' || IsLetter(text[at]))
                return at + 1;
        return at;
    }
    return std::min(at + 1, text.size());
}

// The HP-GL and HP-GL/2 instructions the facts come from.
void ReadHpgl(std::string_view text, bool fromTheStart, PrintFileFacts& facts) {
    std::size_t at = 0;
    while (at < text.size()) {
        const char c = text[at];
        if (c == kEsc) {
            at = SkipEscape(text, at);
            continue;
        }
        if (!IsLetter(c) || at + 1 >= text.size() || !IsLetter(text[at + 1])) {
            ++at;
            continue;
        }
        const char mnemonic[] = {
            static_cast<char>(std::toupper(static_cast<unsigned char>(c))),
            static_cast<char>(std::toupper(static_cast<unsigned char>(text[at + 1]))), 0};
        const std::string_view m(mnemonic, 2);
        at += 2;
        if (m == "PE" || m == "LB") {
            // Encoded coordinates and labels may hold any letters: skip to their terminator.
            const auto end = text.find(m == "PE" ? ';' : '\x03', at);
            at = end == std::string_view::npos ? text.size() : end + 1;
            continue;
        }
        const std::size_t start = at;
        while (at < text.size() && !IsLetter(text[at]) && text[at] != kEsc && text[at] != ';')
            ++at;
        const std::string_view parameters = text.substr(start, at - start);
        if (m == "PS" && fromTheStart && !facts.plotSize) {
            const auto size = Numbers(parameters, 2);
            if (size.size() == 2)
                facts.plotSize =
                    Millimetres{size[0] / kUnitsPerMillimetre, size[1] / kUnitsPerMillimetre};
            else if (size.size() == 1)
                facts.plotSize =
                    Millimetres{size[0] / kUnitsPerMillimetre, size[0] / kUnitsPerMillimetre};
        }
        if (m == "RO") {
            const auto angle = Numbers(parameters, 1);
            facts.rotation = angle.empty() ? 0 : WholeNumber(angle[0]);
        }
        facts.pageEnds += m == "PG";
        facts.quality = facts.quality || m == "QL";
        facts.replot = facts.replot || m == "RP";
    }
}

// The value of the DSC comment `name` ("%%Pages:") on a line of its own; the last one when
// `last`. Empty when there is none.
std::string DscValue(std::string_view text, std::string_view name, bool last) {
    std::size_t at = last ? text.rfind(name) : text.find(name);
    while (at != std::string_view::npos && at > 0 && text[at - 1] != '\n' && text[at - 1] != '\r')
        at = last ? (at == 0 ? std::string_view::npos : text.rfind(name, at - 1))
                  : text.find(name, at + 1);
    if (at == std::string_view::npos)
        return {};
    const std::size_t begin = at + name.size();
    const std::size_t end = text.find_first_of("\r\n", begin);
    std::string value(text.substr(begin, end == std::string_view::npos ? end : end - begin));
    value.erase(0, value.find_first_not_of(" \t"));
    value.erase(value.find_last_not_of(" \t") + 1);
    return value;
}

void ReadPostScript(std::string_view head, std::string_view tail, PrintFileFacts& facts) {
    const auto read = [&](std::string_view name) {
        std::string value = DscValue(head, name, false);
        if (value == "(atend)")
            value = DscValue(tail.empty() ? head : tail, name, true);
        return value == "(atend)" ? std::string() : value;
    };
    facts.boundingBox = read("%%BoundingBox:");
    facts.documentMedia = read("%%DocumentMedia:");
    const auto pages = Numbers(read("%%Pages:"), 1);
    if (!pages.empty())
        facts.pages = WholeNumber(pages[0]);
}

void ReadPdf(std::string_view text, PrintFileFacts& facts) {
    // The page tree's root counts every page: the greatest /Count of a /Type /Pages dictionary.
    for (std::size_t at = 0; (at = text.find("/Pages", at)) != std::string_view::npos; ++at) {
        const std::size_t type = text.find_last_not_of(" \t\r\n", at == 0 ? 0 : at - 1);
        if (type == std::string_view::npos || type < 4 || text.substr(type - 4, 5) != "/Type")
            continue;
        const std::size_t open = text.rfind("<<", at);
        const std::size_t close = text.find(">>", at);
        const std::size_t count = text.find("/Count", open == std::string_view::npos ? 0 : open);
        if (count == std::string_view::npos || count > close)
            continue;
        const auto value = Numbers(text.substr(count + 6, 24), 1);
        if (!value.empty() && value[0] >= 0)
            facts.pages = std::max(facts.pages.value_or(0), WholeNumber(value[0]));
    }
    if (const std::size_t box = text.find("/MediaBox"); box != std::string_view::npos) {
        const std::size_t open = text.find('[', box);
        if (open != std::string_view::npos && open < box + 16) {
            const auto corners = Numbers(text.substr(open + 1, 128), 4);
            if (corners.size() == 4)
                facts.firstPage = Millimetres{(corners[2] - corners[0]) * kMillimetresPerPoint,
                                              (corners[3] - corners[1]) * kMillimetresPerPoint};
        }
    }
}

const char* PclPageSizeName(int code) {
    switch (code) {
        case 1:
            return "Executive";
        case 2:
            return "Letter";
        case 3:
            return "Legal";
        case 6:
            return "Ledger";
        case 25:
            return "A5";
        case 26:
            return "A4";
        case 27:
            return "A3";
        case 28:
            return "A2";
        case 29:
            return "A1";
        case 30:
            return "A0";
        case 45:
            return "JIS B5";
        case 46:
            return "JIS B4";
        case 80:
            return "Monarch";
        case 81:
            return "Com-10";
        case 90:
            return "DL";
        case 91:
            return "C5";
        case 100:
            return "B5";
        default:
            return nullptr;
    }
}

// The first page size command, ESC&l#A (its groups may be combined: ESC&l0o26A).
void ReadPcl(std::string_view text, PrintFileFacts& facts) {
    for (std::size_t at = 0; (at = text.find("\x1b&l", at)) != std::string_view::npos;) {
        at += 3;
        while (at < text.size()) {
            std::size_t end = at;
            while (end < text.size() && (std::isdigit(static_cast<unsigned char>(text[end])) ||
                                         text[end] == '.' || text[end] == '+' || text[end] == '-'))
                ++end;
            if (end >= text.size())
                return;
            const char group = text[end];
            if (group == 'a' || group == 'A') {
                const auto code = Numbers(text.substr(at, end - at), 1);
                if (!code.empty()) {
                    const int value = WholeNumber(code[0]);
                    const char* name = PclPageSizeName(value);
                    facts.pageSize = name ? name : "size code " + std::to_string(value);
                    return;
                }
            }
            at = end + 1;
            if (!(group >= 'a' && group <= 'z'))
                break;
        }
    }
}

std::string Round(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.0f", value);
    return text;
}

std::string SizeText(const Millimetres& size) {
    return Round(size.width) + " x " + Round(size.height) + " mm";
}

}  // namespace

PrintFileFacts InspectPrintData(std::string_view head, std::string_view tail, std::uint64_t size) {
    PrintFileFacts facts;
    facts.size = size;
    facts.language = DetectPrintLanguage(head);
    facts.wholeFileRead = tail.empty();
    switch (facts.language.language) {
        case PrintLanguage::HpGl2:
        case PrintLanguage::HpGl:
            ReadHpgl(head.substr(std::min<std::size_t>(facts.language.hpglStart, head.size())),
                     true, facts);
            ReadHpgl(tail, false, facts);
            break;
        case PrintLanguage::PostScript:
            ReadPostScript(head, tail, facts);
            break;
        case PrintLanguage::Pdf:
            ReadPdf(head, facts);
            if (!facts.pages)
                ReadPdf(tail, facts);
            break;
        case PrintLanguage::Pcl:
        case PrintLanguage::PclWithHpGl2:
            ReadPcl(head, facts);
            break;
        case PrintLanguage::Unknown:
            break;
    }
    return facts;
}

PrintFileFacts InspectPrintFile(const std::string& path) {
    std::ifstream file = OpenPrintFile(path);
    file.seekg(0, std::ios::end);
    const auto size = static_cast<std::uint64_t>(file.tellg());
    file.seekg(0);
    const FileHead head = ReadFileHead(file, kFactsHeadBytes);
    std::string tail;
    const std::uint64_t read = head.padding + head.bytes.size();
    if (read < size) {
        const std::uint64_t tailSize = std::min<std::uint64_t>(kFactsTailBytes, size - read);
        tail.resize(static_cast<std::size_t>(tailSize));
        file.clear();
        file.seekg(static_cast<std::streamoff>(size - tailSize));
        file.read(tail.data(), static_cast<std::streamsize>(tail.size()));
        tail.resize(static_cast<std::size_t>(file.gcount()));
    }
    PrintFileFacts facts = InspectPrintData(head.bytes, tail, size);
    facts.wholeFileRead = read >= size;
    facts.language = head.InFile(facts.language);
    return facts;
}

std::string DescribeFacts(const PrintFileFacts& facts) {
    const PrintLanguage language = facts.language.language;
    std::string text =
        language == PrintLanguage::Unknown ? "unknown language" : LanguageName(language);
    if (facts.language.pjl)
        text += " in PJL";
    text += ", " + std::to_string(facts.size) + " bytes";
    switch (language) {
        case PrintLanguage::HpGl2:
        case PrintLanguage::HpGl:
            text +=
                facts.plotSize ? ", plot " + SizeText(*facts.plotSize) : ", plot size not stated";
            if (facts.rotation != 0)
                text += ", rotated " + std::to_string(facts.rotation);
            text += std::string(facts.wholeFileRead ? ", " : ", at least ") +
                    std::to_string(facts.pageEnds) +
                    (facts.pageEnds == 1 ? " page end" : " page ends");
            text += facts.quality ? ", QL" : ", no QL";
            text += facts.replot ? ", RP" : ", no RP";
            break;
        case PrintLanguage::PostScript:
        case PrintLanguage::Pdf:
            if (!facts.boundingBox.empty())
                text += ", bounding box " + facts.boundingBox;
            if (!facts.documentMedia.empty())
                text += ", media " + facts.documentMedia;
            if (facts.firstPage)
                text += ", first page " + SizeText(*facts.firstPage);
            if (facts.pages)
                text +=
                    ", " + std::to_string(*facts.pages) + (*facts.pages == 1 ? " page" : " pages");
            break;
        case PrintLanguage::Pcl:
        case PrintLanguage::PclWithHpGl2:
            if (!facts.pageSize.empty())
                text += ", page size " + facts.pageSize;
            break;
        case PrintLanguage::Unknown:
            break;
    }
    return text;
}

}  // namespace tavrin
