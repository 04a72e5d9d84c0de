#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "platform/Controls.h"
#include "platform/Grid.h"

namespace tavrin {

// Job-list files ("tjf"): one line per grid row, the row's cells joined by ";", every line ended
// by CR LF; names are written as the grid holds them (UTF-8 bytes), without quoting.

inline constexpr char kJobListSeparator = ';';
inline constexpr const char* kJobListExtension = "tjf";
inline constexpr const char* kJobListFilter = "Tavrin jobfile (*.tjf)|*.tjf|";
// The file that "View / print list" writes when no job-list file was saved or opened.
inline constexpr const char* kViewListFileName = "temp.tjf";

// Writes every row of the grid, title row and empty rows included, as job-list text.
void WriteJobListText(const Grid& grid, std::ostream& out);
std::string JobListText(const Grid& grid);

// Creates or replaces `path` with the grid's job-list text. Throws "Cannot create file %s" when
// the file cannot be created and "Stream write error" when writing it fails; the grid is only
// read.
void SaveJobListFile(const Grid& grid, const std::string& path);

// Writes the grid's job-list text to kViewListFileName in `folder` and returns that file's path,
// for a text viewer to show.
std::string WriteViewListFile(const Grid& grid, const std::string& folder);

// Reads the lines of a job-list file, all of it, before anything is changed. Throws "Cannot open
// file %s" when the file cannot be opened (a folder cannot), "Stream read error" when reading
// it fails part-way.
std::vector<std::string> ReadJobListFile(const std::string& path);

// Replaces the grid's rows by the lines: one row per line, its cells the line's ";" fields, the
// grid widened when a line has more fields than columns. The grid keeps at least its two job-list
// columns with their settings and the widths of both; a line with one field leaves the copies
// cell of its row empty. With fewer than two lines the grid has a single row and no title row.
// Returns the grid's row count afterwards.
int LoadJobList(Grid& grid, const std::vector<std::string>& lines);

// ReadJobListFile, then LoadJobList. A file that cannot be read leaves the grid as it was.
int LoadJobListFile(Grid& grid, const std::string& path);

// The whole "open list from file" after the dialog: loads the file onto the grid, makes every
// row after the first a job row (fileCount and batchCount := row count - 1) and shows the count
// in status panel 1. When the file cannot be read, nothing changes.
void OpenJobListFile(Grid& grid, const std::string& path, int& fileCount, int& batchCount,
                     StatusBar& statusBar);

}  // namespace tavrin
