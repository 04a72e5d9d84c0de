// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary bytes to the job-list reader and opens them as the window and tavrin-cli do,
// once or twice in a row. Checks what must hold for any file: the lines are the text's lines
// whether it comes whole, in pieces or from the file; every line's fields join back to it; the
// opened list has one row per line, the first its title row, and the columns of the widest line,
// each row showing its line's fields and nothing more; every row after the first is a job and
// counted; a batch added to it and a clearing keep its width and title; and what a save writes
// opens to the same rows.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzSupport.h"
#include "joblist/JobList.h"
#include "joblist/JobListFile.h"
#include "joblist/JobListLines.h"
#include "support/TempFolder.h"

namespace {

using tavrin::fuzz::Check;

// A few wide lines among many short ones make a list far larger than its file, and a save or a
// look at the rows as shown pads every row to the widest: files whose list would have more fields
// than this are read but not opened, and lists of more than kMaxCheckedCells are not saved or
// checked field by field, so that every input runs in well under a second.
constexpr long long kMaxOpenedCells = 1 << 22;
constexpr long long kMaxCheckedCells = 1 << 20;

// The lines by the file rules, the plain way: up to the first NUL, CR LF, CR and LF made one end
// mark, a last line without one kept.
std::vector<std::string> PlainLines(std::string_view text) {
    text = text.substr(0, text.find('\0'));
    std::vector<std::string> lines;
    std::string line;
    bool open = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(line);
            line.clear();
            open = false;
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            line += c;
            open = true;
        }
    }
    if (open)
        lines.push_back(line);
    return lines;
}

std::vector<std::string> LinesInPieces(std::string_view text, std::size_t piece) {
    tavrin::JobListLineSplitter splitter;
    for (std::size_t at = 0; at < text.size(); at += piece) {
        const bool more = splitter.Feed(text.substr(at, piece));
        Check(more == !splitter.ended(), "Feed answers whether the text goes on");
        if (!more) {
            Check(text.substr(0, at + piece).find('\0') != std::string_view::npos,
                  "only a NUL byte ends the text");
            break;
        }
    }
    return splitter.Finish();
}

std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> fields{"left", "over"};
    tavrin::TokenizeGridString(line, tavrin::kJobListSeparator, fields);
    return fields;
}

void CheckFields(const std::string& line) {
    const std::vector<std::string> fields = Fields(line);
    Check(fields.size() == 1 + static_cast<std::size_t>(std::count(line.begin(), line.end(), ';')),
          "a line with k separators has k + 1 fields");
    std::string joined;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        Check(fields[i].find(';') == std::string::npos, "no field holds a separator");
        joined += (i > 0 ? ";" : "") + fields[i];
    }
    Check(joined == line, "the fields join back to the line");
}

// Opens `text` as a job-list file in place of `list` and checks the list against its lines.
void OpenAndCheck(tavrin::JobList& list, const std::string& text) {
    const std::string path = (tavrin::fuzz::ScratchFolder() / "list.tjf").string();
    tavrin::test::WriteBytes(path, text);
    const std::vector<std::string> lines = PlainLines(text);
    Check(tavrin::ReadJobListFile(path) == lines, "the file reads as the text's lines");
    std::size_t widest = 2;
    for (const std::string& line : lines)
        widest = std::max(widest, Fields(line).size());
    if (static_cast<long long>(widest) * static_cast<long long>(lines.size()) > kMaxOpenedCells)
        return;

    list = tavrin::OpenJobListFile(path);
    const int rows = std::max<int>(1, static_cast<int>(lines.size()));
    Check(list == tavrin::JobListFromLines(lines), "a file opens as its lines");
    Check(list.ColumnCount() == static_cast<int>(widest), "the columns of the widest line");
    Check(list.FileCount() == rows - 1 && list.BatchCount() == rows - 1,
          "every line after the first is a job");
    Check(list.BlankRows() == 0, "an opened list shows no blank rows");
    const bool small = static_cast<long long>(rows) * list.ColumnCount() <= kMaxCheckedCells;
    if (!small)
        return;

    const std::vector<std::vector<std::string>> table = list.Table();
    Check(table.size() == static_cast<std::size_t>(rows), "one row per line");
    for (std::size_t i = 0; i < table.size(); ++i) {
        const std::vector<std::string> fields = i < lines.size() ? Fields(lines[i]) : Fields("");
        Check(table[i].size() == widest, "each row as wide as the list");
        for (std::size_t c = 0; c < widest; ++c)
            Check(table[i][c] == (c < fields.size() ? fields[c] : ""),
                  "a row shows its line's fields and nothing past them");
    }

    // What a save writes opens to the same rows, and saves to the same bytes.
    const std::string saved = tavrin::JobListText(list);
    std::string shown;
    for (const auto& row : table) {
        for (std::size_t c = 0; c < row.size(); ++c)
            shown += (c > 0 ? ";" : "") + row[c];
        shown += "\r\n";
    }
    Check(saved == shown, "a save writes the rows as shown");
    const std::string copy = (tavrin::fuzz::ScratchFolder() / "copy.tjf").string();
    tavrin::SaveJobListFile(list, copy);
    const tavrin::JobList other = tavrin::OpenJobListFile(copy);
    Check(other.Table() == table, "a saved list opens to the same rows");
    Check(tavrin::JobListText(other) == saved, "a saved list saves to the same bytes");

    // A file added to it takes the list's width; a clearing keeps the title and blanks the rest.
    tavrin::JobList added = list;
    added.AddFiles({"/plots/added.plt"}, tavrin::ListMode::Add, 3);
    std::vector<std::string> last(widest);
    last[0] = "/plots/added.plt";
    last[1] = "3";
    Check(added.Table().back() == last && added.FileCount() == rows,
          "an added file is one more row as wide as the list");
    added.Clear();
    const std::vector<std::vector<std::string>> cleared = added.Table();
    Check(cleared.size() == static_cast<std::size_t>(rows) + 1 && cleared[0] == table[0],
          "a clearing keeps the rows shown and the title");
    for (std::size_t i = 1; i < cleared.size(); ++i)
        Check(cleared[i] == std::vector<std::string>(widest), "a cleared row is blank");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The first byte: the piece size of the piecewise read and whether a second file follows;
    // the second byte: where the text is cut in two.
    tavrin::fuzz::FuzzInput input(data, size);
    const std::uint8_t mode = input.Byte();
    const std::uint8_t cut = input.Byte();
    const std::string text = input.Rest();

    std::vector<std::string> texts{text};
    if (mode & 1) {
        const std::size_t at = text.size() * cut / 255;
        texts = {text.substr(0, at), text.substr(at)};
    }
    tavrin::JobList list;
    for (const std::string& file : texts) {
        const std::vector<std::string> lines = tavrin::SplitJobListText(file);
        Check(lines == PlainLines(file), "the lines follow the end marks up to a NUL");
        Check(LinesInPieces(file, 1 + (mode >> 1)) == lines, "pieces give the same lines");
        for (const std::string& line : lines)
            CheckFields(line);
        OpenAndCheck(list, file);
    }
    return 0;
}
