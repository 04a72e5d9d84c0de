// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "joblist/JobList.h"
#include "widgets/GridModel.h"

namespace tavrin {

// The job list's grid: column 0 the file's full path, column 1 its copy count, under a title row.
namespace job_grid {
inline constexpr int kNameColumn = 0;
inline constexpr int kCopiesColumn = 1;
// The name column leaves room for the vertical scroll bar once the rows need one.
inline constexpr int kNameWidthNarrow = 445;
inline constexpr int kNameWidthWide = 461;
inline constexpr int kMostRowsWithoutScrollBar = 11;
inline constexpr int kCopiesWidth = 36;
inline constexpr int kRowHeight = 16;
}  // namespace job_grid

// Lays out a grid for the job list: "Filename" (white, read-only, 445 wide) and "Copies"
// (cfNumber, 36 wide), a title row, the rows of an empty list, 16 pixels each, no row kept back
// from deletion.
void LayOutJobListGrid(GridModel& grid);

// Shows `list` in `grid`: one row for each row of JobList::Table(), as many columns as the list
// has. Cells the grid showed before past the list are emptied, so that a grid made larger later
// shows no text of an earlier list. The widths and the columns' settings stay.
void ShowJobList(GridModel& grid, const JobList& list);

// The width of the name column for the rows shown: wide while no scroll bar is needed.
void FitNameColumn(GridModel& grid);

// The copies column for a list treated as a set (its count is the number of sets, not a cell's):
// read-only, its text white on white and its title empty; otherwise editable, black, "Copies".
void ShowCopiesColumnForSets(GridModel& grid, bool sets);

}  // namespace tavrin
