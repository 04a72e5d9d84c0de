#include "joblist/JobListFile.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string_view>

#include "joblist/JobListLines.h"
#include "platform/Error.h"
#include "platform/StatusPanels.h"

namespace tavrin {

namespace {

constexpr int kFileNameColumn = 0;
constexpr int kCopiesColumn = 1;
constexpr int kJobListColumns = 2;
constexpr std::size_t kReadChunk = 64 * 1024;

// Names are UTF-8 on every platform; this keeps them so where the native path encoding is not.
std::filesystem::path PathFromUtf8(const std::string& name) {
    return std::filesystem::path(std::u8string(name.begin(), name.end()));
}

int FieldCount(std::string_view line) {
    return 1 + static_cast<int>(std::count(line.begin(), line.end(), kJobListSeparator));
}

}  // namespace

void WriteJobListText(const Grid& grid, std::ostream& out) {
    const int rows = grid.rowCount();
    const int cols = grid.colCount();
    for (int row = 0; row < rows; ++row) {
        for (int col = 0; col < cols; ++col) {
            if (col > 0)
                out.put(kJobListSeparator);
            out << grid.cell(col, row);
        }
        out << "\r\n";
    }
}

std::string JobListText(const Grid& grid) {
    std::ostringstream text;
    WriteJobListText(grid, text);
    return std::move(text).str();
}

void SaveJobListFile(const Grid& grid, const std::string& path) {
    std::ofstream out(PathFromUtf8(path), std::ios::binary | std::ios::trunc);
    if (!out.is_open())
        throw Error(FormatMessage("Cannot create file %s", path));
    WriteJobListText(grid, out);
    out.close();
    if (out.fail())
        throw Error("Stream write error");
}

std::string WriteViewListFile(const Grid& grid, const std::string& folder) {
    const std::filesystem::path file = PathFromUtf8(folder) / kViewListFileName;
    const std::u8string name = file.u8string();
    const std::string path(name.begin(), name.end());
    SaveJobListFile(grid, path);
    return path;
}

std::vector<std::string> ReadJobListFile(const std::string& path) {
    const std::filesystem::path file = PathFromUtf8(path);
    std::error_code ignored;
    std::ifstream in;
    // A folder opens for reading on some systems but is never a job-list file.
    if (!std::filesystem::is_directory(file, ignored))
        in.open(file, std::ios::binary);
    if (!in.is_open())
        throw Error(FormatMessage("Cannot open file %s", path));

    JobListLineSplitter splitter;
    std::array<char, kReadChunk> buffer;
    while (in) {
        in.read(buffer.data(), buffer.size());
        const auto got = static_cast<std::size_t>(in.gcount());
        if (!splitter.Feed(std::string_view(buffer.data(), got)))
            break;
    }
    if (in.bad())
        throw Error("Stream read error");
    return splitter.Finish();
}

int LoadJobList(Grid& grid, const std::vector<std::string>& lines) {
    // The load must end with no fewer than the two job-list columns; lowering the column count
    // below that would drop the copies column's settings and both widths.
    int columns = kJobListColumns;
    for (const std::string& line : lines)
        columns = std::max(columns, FieldCount(line));

    const bool hadCopiesColumn = grid.colCount() >= kJobListColumns;
    const int fileNameWidth = grid.colWidth(kFileNameColumn);
    const int copiesWidth = hadCopiesColumn ? grid.colWidth(kCopiesColumn) : 0;
    const ColumnSettings copiesSettings =
        hadCopiesColumn ? grid.column(kCopiesColumn) : ColumnSettings{};

    const int oldRows = grid.rowCount();
    const int oldColumns = std::max(grid.colCount(), kJobListColumns);
    for (int row = 0; row < oldRows; ++row)
        grid.setCell(kFileNameColumn, row, std::string());

    grid.setRowCount(std::max<int>(1, static_cast<int>(lines.size())));
    // Columns past the job-list ones are made afresh, with default settings.
    if (grid.colCount() > kJobListColumns)
        grid.setColCount(kJobListColumns);
    if (grid.colCount() != columns)
        grid.setColCount(columns);

    std::vector<std::string> fields;
    // A file without lines still shows its one row, as empty as an empty line's.
    for (std::size_t i = 0; i < std::max<std::size_t>(1, lines.size()); ++i) {
        const int row = static_cast<int>(i);
        const std::string_view line = i < lines.size() ? std::string_view(lines[i]) : "";
        TokenizeGridString(line, kJobListSeparator, fields);
        for (std::size_t col = 0; col < fields.size(); ++col)
            grid.setCell(static_cast<int>(col), row, fields[col]);
        // Past its fields a row is emptied as far as the list before reached: a copy count left
        // from it would be sent with a file it never belonged to, and any other text would be
        // saved with this list. Bounded by that list, so a ragged file costs no more than once.
        const int stale = std::min(columns, oldColumns);
        for (int col = static_cast<int>(fields.size()); col < stale; ++col)
            grid.setCell(col, row, std::string());
    }

    grid.setColWidth(kFileNameColumn, fileNameWidth);
    if (hadCopiesColumn) {
        grid.setColWidth(kCopiesColumn, copiesWidth);
        if (grid.column(kCopiesColumn) != copiesSettings)
            grid.setColumn(kCopiesColumn, copiesSettings);
    }
    return grid.rowCount();
}

int LoadJobListFile(Grid& grid, const std::string& path) {
    const std::vector<std::string> lines = ReadJobListFile(path);
    return LoadJobList(grid, lines);
}

void OpenJobListFile(Grid& grid, const std::string& path, int& fileCount, int& batchCount,
                     StatusBar& statusBar) {
    const int rows = LoadJobListFile(grid, path);
    fileCount = rows - 1;
    batchCount = rows - 1;
    statusBar.setPanel(status_panel::kFileCount, kFilesInJoblist + std::to_string(batchCount));
}

}  // namespace tavrin
