#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "joblist/JobList.h"

namespace tavrin {

// Job-list files ("tjf"): one line per shown row of the list, the title row first, the row's
// fields joined by ";", every line ended by CR LF; names are written as the list holds them
// (UTF-8 bytes), without quoting.

inline constexpr char kJobListSeparator = ';';
inline constexpr const char* kJobListExtension = "tjf";
inline constexpr const char* kJobListFilter = "Tavrin jobfile (*.tjf)|*.tjf|";
// The file that "View / print list" writes when no job-list file was saved or opened.
inline constexpr const char* kViewListFileName = "temp.tjf";

// Writes every shown row, title row and blank rows included, as job-list text.
void WriteJobListText(const JobList& list, std::ostream& out);
std::string JobListText(const JobList& list);

// Creates or replaces `path` with the list's job-list text. Throws "Cannot create file %s" when
// the file cannot be created and "Stream write error" when writing it fails.
void SaveJobListFile(const JobList& list, const std::string& path);

// Writes the list's job-list text to kViewListFileName in `folder` and returns that file's path,
// for a text viewer to show.
std::string WriteViewListFile(const JobList& list, const std::string& folder);

// Reads the lines of a job-list file, all of it, before anything is changed. Throws "Cannot open
// file %s" when the file cannot be opened (a folder cannot), "Stream read error" when reading
// it fails part-way.
std::vector<std::string> ReadJobListFile(const std::string& path);

// The list the lines describe: the first line the title row, every line after it a job, its
// fields the line's ";" fields; a line with one field has an empty copy count. The list is as
// wide as its widest line, and never narrower than its two job columns. Without lines it is a
// single empty title row. The batch count is the number of jobs.
JobList JobListFromLines(const std::vector<std::string>& lines);

// "Open list from file": ReadJobListFile, then JobListFromLines. A file that cannot be read
// throws, and the caller's list stays as it was.
JobList OpenJobListFile(const std::string& path);

}  // namespace tavrin
