// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary bytes to the job-list reader and opens them as the window and tavrin-cli do, on
// the engine's grid laid out for the job list, once or twice in a row. Checks what must hold for
// any file: the lines are the text's lines whether it comes whole, in pieces or from the file;
// every line's fields join back to it; the opened grid has one row per line and the columns of
// the widest line, each row showing its line's fields and nothing from the list before; the
// job-list columns keep their settings and widths; the counters and the status panel follow; and
// what a save writes opens to the same cells.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzSupport.h"
#include "joblist/GridModel.h"
#include "joblist/JobList.h"
#include "joblist/JobListFile.h"
#include "joblist/JobListLines.h"
#include "platform/PlainForm.h"
#include "platform/StatusPanels.h"
#include "support/TempFolder.h"

namespace {

using tavrin::fuzz::Check;

// A few wide lines among many short ones make a grid far larger than its file, and opening a
// file writes every cell of its rows, as a save writes every cell: files whose grid would have
// more cells than this are read but not opened, and grids of more than kMaxCheckedCells are not
// saved or checked cell by cell, so that every input runs in well under a second.
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

// The job list's grid as tavrin-cli makes it, with the form around it.
struct JobListWindow {
    JobListWindow() { tavrin::LayOutJobListGrid(grid); }

    tavrin::GridModel grid;
    tavrin::PlainForm form{grid};
    int fileCount = -1;
    int batchCount = -1;
};

std::vector<std::vector<std::string>> VisibleCells(const tavrin::Grid& grid) {
    std::vector<std::vector<std::string>> rows(static_cast<std::size_t>(grid.rowCount()));
    for (int r = 0; r < grid.rowCount(); ++r) {
        for (int c = 0; c < grid.colCount(); ++c)
            rows[static_cast<std::size_t>(r)].push_back(grid.cell(c, r));
    }
    return rows;
}

// Opens `text` as a job-list file on the window's grid and checks the grid against its lines.
void OpenAndCheck(JobListWindow& window, const std::string& text) {
    const std::string path = (tavrin::fuzz::ScratchFolder() / "list.tjf").string();
    tavrin::test::WriteBytes(path, text);
    const std::vector<std::string> lines = PlainLines(text);
    Check(tavrin::ReadJobListFile(path) == lines, "the file reads as the text's lines");
    std::size_t widest = 2;
    for (const std::string& line : lines)
        widest = std::max(widest, Fields(line).size());
    if (static_cast<long long>(widest) * static_cast<long long>(lines.size()) > kMaxOpenedCells)
        return;

    tavrin::GridModel& grid = window.grid;
    const tavrin::ColumnSettings fileNames = grid.column(0);
    const tavrin::ColumnSettings copies = grid.column(1);
    const int fileNameWidth = grid.colWidth(0);
    const int copiesWidth = grid.colWidth(1);
    const int oldRows = grid.rowCount();

    tavrin::OpenJobListFile(grid, path, window.fileCount, window.batchCount,
                            window.form.statusBar1);

    const int rows = grid.rowCount();
    Check(rows == std::max<int>(1, static_cast<int>(lines.size())), "one row per line");
    Check(grid.colCount() == static_cast<int>(widest), "the columns of the widest line");
    Check(rows > 1 || grid.fixedRows() == 0, "a single row is no title row");
    Check(window.fileCount == rows - 1 && window.batchCount == rows - 1,
          "every row after the first is a job");
    Check(window.form.statusBar1.panel(tavrin::status_panel::kFileCount) ==
              tavrin::kFilesInJoblist + std::to_string(rows - 1),
          "the status panel shows the job count");
    Check(grid.column(0) == fileNames && grid.column(1) == copies,
          "the job-list columns keep their settings");
    Check(grid.colWidth(0) == fileNameWidth && grid.colWidth(1) == copiesWidth,
          "the job-list columns keep their widths");
    const tavrin::GridModel fresh;
    for (int c = 2; c < grid.colCount(); ++c)
        Check(grid.column(c) == fresh.column(2), "columns past the job-list ones are made afresh");
    for (int r = rows; r < oldRows; ++r)
        Check(grid.cell(0, r).empty(), "no name of the list before stays in a hidden row");

    const bool small = static_cast<long long>(rows) * grid.colCount() <= kMaxCheckedCells;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const int row = static_cast<int>(i);
        const std::vector<std::string> fields = Fields(lines[i]);
        for (std::size_t c = 0; c < fields.size(); ++c)
            Check(grid.cell(static_cast<int>(c), row) == fields[c], "a row shows its fields");
        if (fields.size() < 2)
            Check(grid.cell(1, row).empty(), "a line of one field has no copy count");
        for (int c = static_cast<int>(fields.size()); small && c < grid.colCount(); ++c)
            Check(grid.cell(c, row).empty(), "a row shows nothing past its fields");
    }
    if (lines.empty()) {
        for (int c = 0; small && c < grid.colCount(); ++c)
            Check(grid.cell(c, 0).empty(), "a file without lines opens as one empty row");
    }
    if (!small)
        return;

    // What a save writes opens to the same cells on another grid, and saves to the same bytes.
    const std::string saved = tavrin::JobListText(grid);
    JobListWindow other;
    const std::string copy = (tavrin::fuzz::ScratchFolder() / "copy.tjf").string();
    tavrin::SaveJobListFile(grid, copy);
    tavrin::OpenJobListFile(other.grid, copy, other.fileCount, other.batchCount,
                            other.form.statusBar1);
    Check(VisibleCells(other.grid) == VisibleCells(grid), "a saved list opens to the same cells");
    Check(tavrin::JobListText(other.grid) == saved, "a saved list saves to the same bytes");
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
    JobListWindow window;
    for (const std::string& file : texts) {
        const std::vector<std::string> lines = tavrin::SplitJobListText(file);
        Check(lines == PlainLines(file), "the lines follow the end marks up to a NUL");
        Check(LinesInPieces(file, 1 + (mode >> 1)) == lines, "pieces give the same lines");
        for (const std::string& line : lines)
            CheckFields(line);
        OpenAndCheck(window, file);
    }
    return 0;
}
