// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/JobListGrid.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace tavrin {
namespace {

constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::uint32_t kBlack = 0x000000;
constexpr const char* kCopiesTitle = "Copies";

}  // namespace

void LayOutJobListGrid(GridModel& grid) {
    using namespace job_grid;
    grid.setColCount(JobList::kJobColumns);
    grid.setFixedCols(0);
    grid.setRowCount(1 + JobList::kBlankRowsWhenEmpty);
    grid.setFixedRows(1);
    grid.setDefaultRowHeight(kRowHeight);
    grid.setRowCountMin(0);
    grid.setColWidth(kNameColumn, kNameWidthNarrow);
    grid.setColWidth(kCopiesColumn, kCopiesWidth);

    GridColumn& name = grid.columnAt(kNameColumn);
    name.title().setCaption("Filename");
    name.setColor(kWhite);
    name.setReadOnly(true);
    GridColumn& copies = grid.columnAt(kCopiesColumn);
    copies.title().setCaption(kCopiesTitle);
    copies.setFormat(ColumnFormat::Number);
}

void ShowJobList(GridModel& grid, const JobList& list) {
    const std::vector<std::vector<std::string>> table = list.Table();
    const int rows = static_cast<int>(table.size());
    const int cols = list.ColumnCount();
    const int shownRows = grid.rowCount();
    const int shownCols = grid.colCount();

    for (int row = rows; row < shownRows; ++row)
        for (int col = 0; col < shownCols; ++col)
            grid.setCell(col, row, std::string());
    for (int row = 0; row < std::min(rows, shownRows); ++row)
        for (int col = cols; col < shownCols; ++col)
            grid.setCell(col, row, std::string());

    if (cols != shownCols) {
        // Columns past the job-list ones are made afresh, with default settings.
        if (shownCols > JobList::kJobColumns)
            grid.setColCount(JobList::kJobColumns);
        grid.setColCount(cols);
    }
    grid.setRowCount(rows);
    for (int row = 0; row < rows; ++row) {
        const std::vector<std::string>& fields = table[static_cast<std::size_t>(row)];
        for (int col = 0; col < cols && col < static_cast<int>(fields.size()); ++col)
            grid.setCell(col, row, fields[static_cast<std::size_t>(col)]);
    }
}

void FitNameColumn(GridModel& grid) {
    using namespace job_grid;
    grid.setColWidth(kNameColumn, grid.rowCount() <= kMostRowsWithoutScrollBar ? kNameWidthWide
                                                                               : kNameWidthNarrow);
}

void ShowCopiesColumnForSets(GridModel& grid, bool sets) {
    ColumnSettings copies = grid.column(job_grid::kCopiesColumn);
    copies.readOnly = sets;
    copies.fontColor = sets ? kWhite : kBlack;
    copies.titleCaption = sets ? std::string() : kCopiesTitle;
    grid.setColumn(job_grid::kCopiesColumn, copies);
    grid.repaint();
}

}  // namespace tavrin
