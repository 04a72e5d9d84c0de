#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/Form.h"

namespace tavrin {

class GridModel;

// The list of files with their copy counts. It lives in the cells of the window's grid: row 0
// is the title row, rows 1 to FileCount() the job rows (column 0 the file's full path, column 1
// the copy count as decimal text). Either FileCount() = RowCount - 1, or the list is empty,
// FileCount() = 0 and the grid shows 29 blank rows.
class JobList {
public:
    static constexpr int kEmptyRowCount = 30;
    static constexpr int kNameWidthNarrow = 445;
    static constexpr int kNameWidthWide = 461;
    static constexpr int kCopiesWidth = 36;
    static constexpr int kRowHeight = 16;

    // `deviceClass` answers the selected printer's device class at the moment of use.
    JobList(Form& form, std::function<std::string()> deviceClass);

    int FileCount() const { return fileCount_; }
    void SetFileCount(int count) { fileCount_ = count; }
    int BatchCount() const { return batchCount_; }
    void SetBatchCount(int count) { batchCount_ = count; }
    std::vector<std::string>& PendingFiles() { return pendingFiles_; }
    void SetPendingFiles(std::vector<std::string> names) { pendingFiles_ = std::move(names); }

    // Empties the job rows without changing RowCount.
    void ClearJobList();
    // Puts the first BatchCount() names of PendingFiles() into the list: in New mode in place of
    // the current rows, in Add mode after them.
    void AddBatch();
    void AddModeClick();
    void RepModeClick();
    // Removes the grid's current row (only that one, also when a range is selected).
    void RemoveClick();
    // Writes the global copy count into every job row.
    void SpinEdit1Change();
    void JobAsSetClick();
    void SmartReplotsClick();

    // Width of column 0: wide when no scroll bar is needed.
    void ApplyWidthRule();

private:
    bool IsPostScript() const;
    void ShowFileCount(int count);

    Form& form_;
    std::function<std::string()> deviceClass_;
    int fileCount_ = 0;
    int batchCount_ = 0;
    std::vector<std::string> pendingFiles_;
};

// Lays out a grid for the job list: "Filename" (white, read-only, 445 wide) and "Copies"
// (cfNumber, 36 wide), a title row, 30 rows of 16 pixels, no row kept back from deletion.
void LayOutJobListGrid(GridModel& grid);

}  // namespace tavrin
