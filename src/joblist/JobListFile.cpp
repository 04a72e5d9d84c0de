#include "joblist/JobListFile.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string_view>

#include "joblist/JobListLines.h"
#include "platform/Error.h"
#include "platform/Utf8Path.h"

namespace tavrin {

namespace {

constexpr std::size_t kReadChunk = 64 * 1024;

}  // namespace

void WriteJobListText(const JobList& list, std::ostream& out) {
    const auto columns = static_cast<std::size_t>(list.ColumnCount());
    const auto writeRow = [&out, columns](const std::string* first, const std::string* second,
                                          const std::vector<std::string>& more, std::size_t from) {
        for (std::size_t col = 0; col < columns; ++col) {
            if (col > 0)
                out.put(kJobListSeparator);
            if (col == 0 && first)
                out << *first;
            else if (col == 1 && second)
                out << *second;
            else if (col >= from && col - from < more.size())
                out << more[col - from];
        }
        out << "\r\n";
    };
    writeRow(nullptr, nullptr, list.TitleFields(), 0);
    for (const JobRow& row : list.Rows())
        writeRow(&row.file, &row.copies, row.more, JobList::kJobColumns);
    const std::vector<std::string> none;
    for (int blank = 0; blank < list.BlankRows(); ++blank)
        writeRow(nullptr, nullptr, none, columns);
}

std::string JobListText(const JobList& list) {
    std::ostringstream text;
    WriteJobListText(list, text);
    return std::move(text).str();
}

void SaveJobListFile(const JobList& list, const std::string& path) {
    std::ofstream out(PathFromUtf8(path), std::ios::binary | std::ios::trunc);
    if (!out.is_open())
        throw Error(FormatMessage("Cannot create file %s", path));
    WriteJobListText(list, out);
    out.close();
    if (out.fail())
        throw Error("Stream write error");
}

std::string WriteViewListFile(const JobList& list, const std::string& folder) {
    const std::filesystem::path file = PathFromUtf8(folder) / kViewListFileName;
    const std::u8string name = file.u8string();
    const std::string path(name.begin(), name.end());
    SaveJobListFile(list, path);
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

JobList JobListFromLines(const std::vector<std::string>& lines) {
    int columns = JobList::kJobColumns;
    std::vector<std::vector<std::string>> rows;
    rows.reserve(std::max<std::size_t>(1, lines.size()));
    std::vector<std::string> fields;
    for (const std::string& line : lines) {
        TokenizeGridString(line, kJobListSeparator, fields);
        columns = std::max(columns, static_cast<int>(fields.size()));
        rows.push_back(fields);
    }
    // A file without lines still shows its title row, empty.
    if (rows.empty())
        rows.emplace_back();
    return JobList::FromLines(std::move(rows), columns);
}

JobList OpenJobListFile(const std::string& path) {
    return JobListFromLines(ReadJobListFile(path));
}

}  // namespace tavrin
