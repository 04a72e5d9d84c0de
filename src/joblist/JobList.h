#pragma once

#include <string>
#include <vector>

namespace tavrin {

// One job: a file and its copy count as the user typed it.
struct JobRow {
    std::string file;
    std::string copies;
    // The fields a job-list file gave the row past those two.
    std::vector<std::string> more;

    bool operator==(const JobRow&) const = default;
};

// Where a batch of files goes: in place of the list (New) or after it (Add).
enum class ListMode { New, Add };

// The list of files with their copy counts, as the window shows it: a title row, the job rows,
// and under them the blank rows it shows (an empty list shows kBlankRowsWhenEmpty). A job-list
// file can widen it past its two columns and give its title row texts of its own.
class JobList {
public:
    static constexpr int kJobColumns = 2;
    static constexpr int kBlankRowsWhenEmpty = 29;

    const std::vector<JobRow>& Rows() const { return rows_; }
    int FileCount() const { return static_cast<int>(rows_.size()); }
    // The texts of the title row: none unless a job-list file gave them.
    const std::vector<std::string>& TitleFields() const { return titleFields_; }
    int BlankRows() const { return blankRows_; }
    int ColumnCount() const { return columnCount_; }

    // The files last chosen, dropped or handed over, and how many of them the next AddBatch
    // takes.
    const std::vector<std::string>& PendingFiles() const { return pendingFiles_; }
    int BatchCount() const { return batchCount_; }
    void SetPending(std::vector<std::string> names, int batchCount);

    // The names become the pending batch and enter the list with `copies` each.
    void AddFiles(std::vector<std::string> names, ListMode mode, int copies);
    // Puts the first BatchCount() pending names into the list: in New mode in place of the
    // rows, in Add mode after them. An empty batch changes nothing; a batch larger than the
    // pending names throws "List index out of bounds (%d)" and changes nothing.
    void AddBatch(ListMode mode, int copies);
    // Removes the row shown at `index` (0 the first job row). A list left without jobs shows its
    // blank rows again. In New mode the batch count falls by one. An index past the shown rows
    // changes nothing.
    void Remove(int index, ListMode mode);
    // Writes `copies` into every job row.
    void SetEveryCount(int copies);
    // The copy count of one job row, as typed; an index past the jobs changes nothing.
    void SetCopies(int index, std::string text);
    // Empties the job rows; the rows they took stay shown, blank.
    void Clear();

    // What a spool run does to the list: takes its first job off as sent (the last one leaves a
    // blank row in its place) ...
    void TakeFirstSent();
    // ... and, once over, shows the blank list when the first row holds no file.
    void EndRun();

    // The list a job-list file describes: its first line the title row, each line after it a
    // job. `columns` is the widest line's field count (at least kJobColumns).
    static JobList FromLines(std::vector<std::vector<std::string>> lines, int columns);
    // Every row as the window shows it, the title row first, each padded to ColumnCount().
    std::vector<std::vector<std::string>> Table() const;

    bool operator==(const JobList&) const = default;

private:
    void ShowBlankWhenEmpty();

    std::vector<std::string> titleFields_;
    std::vector<JobRow> rows_;
    int blankRows_ = kBlankRowsWhenEmpty;
    int columnCount_ = kJobColumns;
    std::vector<std::string> pendingFiles_;
    int batchCount_ = 0;
};

}  // namespace tavrin
