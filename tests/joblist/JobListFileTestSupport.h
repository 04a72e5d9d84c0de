#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "FakeGrid.h"
#include "platform/Grid.h"

namespace tavrin::test::listfile {

// The job list's grid as the window sets it up: "Filename" read-only on white, "Copies" with
// the number check, the widths of a short list.
inline void SetUpJobListColumns(Grid& grid) {
    ColumnSettings fileName;
    fileName.titleCaption = "Filename";
    fileName.readOnly = true;
    fileName.color = 0xFFFFFF;
    grid.setColumn(0, fileName);
    ColumnSettings copies;
    copies.titleCaption = "Copies";
    copies.format = ColumnFormat::Number;
    copies.fontColor = 0x000000;
    grid.setColumn(1, copies);
    grid.setColWidth(0, 461);
    grid.setColWidth(1, 36);
}

struct Job {
    std::string path;
    std::string copies;
};

// Puts the jobs into rows 1.. and sets the row count as adding a batch does.
inline void FillJobs(Grid& grid, const std::vector<Job>& jobs) {
    grid.setRowCount(static_cast<int>(jobs.size()) + 1);
    for (std::size_t i = 0; i < jobs.size(); ++i) {
        grid.setCell(0, static_cast<int>(i) + 1, jobs[i].path);
        grid.setCell(1, static_cast<int>(i) + 1, jobs[i].copies);
    }
}

// A folder of its own for one test, removed afterwards.
class ScratchDir {
public:
    ScratchDir() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::random_device seed;
        path_ = std::filesystem::temp_directory_path() /
                ("tavrin-joblist-" + std::string(info->test_suite_name()) + "-" + info->name() +
                 "-" + std::to_string(seed()));
        std::filesystem::create_directories(path_);
    }
    ~ScratchDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

inline std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

// The visible grid: rowCount() rows of colCount() cells.
inline std::vector<std::vector<std::string>> VisibleCells(const Grid& grid) {
    std::vector<std::vector<std::string>> rows;
    for (int r = 0; r < grid.rowCount(); ++r) {
        std::vector<std::string> row;
        for (int c = 0; c < grid.colCount(); ++c)
            row.push_back(grid.cell(c, r));
        rows.push_back(std::move(row));
    }
    return rows;
}

}  // namespace tavrin::test::listfile
