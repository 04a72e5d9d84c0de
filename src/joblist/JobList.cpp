#include "joblist/JobList.h"

#include <algorithm>

#include "platform/Error.h"

namespace tavrin {

void JobList::SetPending(std::vector<std::string> names, int batchCount) {
    pendingFiles_ = std::move(names);
    batchCount_ = batchCount;
}

void JobList::AddFiles(std::vector<std::string> names, ListMode mode, int copies) {
    const int count = static_cast<int>(names.size());
    SetPending(std::move(names), count);
    AddBatch(mode, copies);
}

void JobList::AddBatch(ListMode mode, int copies) {
    // An empty batch leaves the list as it is.
    if (batchCount_ < 1)
        return;
    if (batchCount_ > static_cast<int>(pendingFiles_.size()))
        throw Error(
            FormatMessage("List index out of bounds (%d)", std::to_string(pendingFiles_.size())));
    if (mode == ListMode::New)
        rows_.clear();
    const std::string count = std::to_string(copies);
    for (int i = 0; i < batchCount_; ++i)
        rows_.push_back({pendingFiles_[static_cast<std::size_t>(i)], count, {}});
    blankRows_ = 0;
}

void JobList::ShowBlankWhenEmpty() {
    if (rows_.empty())
        blankRows_ = kBlankRowsWhenEmpty;
}

void JobList::Remove(int index, ListMode mode) {
    if (index < 0 || index >= FileCount() + blankRows_)
        return;
    if (index < FileCount())
        rows_.erase(rows_.begin() + index);
    else
        --blankRows_;
    // Back to the blank list once no job row is left.
    ShowBlankWhenEmpty();
    if (mode == ListMode::New)
        --batchCount_;
}

void JobList::SetEveryCount(int copies) {
    const std::string count = std::to_string(copies);
    for (JobRow& row : rows_)
        row.copies = count;
}

void JobList::SetCopies(int index, std::string text) {
    if (index >= 0 && index < FileCount())
        rows_[static_cast<std::size_t>(index)].copies = std::move(text);
}

void JobList::Clear() {
    blankRows_ += FileCount();
    rows_.clear();
}

void JobList::TakeFirstSent() {
    if (rows_.empty())
        return;
    rows_.erase(rows_.begin());
    // The last row is emptied where it stands.
    if (rows_.empty())
        blankRows_ = std::max(blankRows_, 1);
}

void JobList::EndRun() {
    if (rows_.empty() || rows_.front().file.empty()) {
        rows_.clear();
        blankRows_ = kBlankRowsWhenEmpty;
    }
}

JobList JobList::FromLines(std::vector<std::vector<std::string>> lines, int columns) {
    JobList list;
    list.columnCount_ = std::max(columns, kJobColumns);
    list.blankRows_ = 0;
    if (!lines.empty())
        list.titleFields_ = std::move(lines.front());
    for (std::size_t i = 1; i < lines.size(); ++i) {
        std::vector<std::string>& fields = lines[i];
        JobRow row;
        if (!fields.empty())
            row.file = std::move(fields[0]);
        if (fields.size() > 1)
            row.copies = std::move(fields[1]);
        if (fields.size() > 2)
            row.more.assign(std::make_move_iterator(fields.begin() + 2),
                            std::make_move_iterator(fields.end()));
        list.rows_.push_back(std::move(row));
    }
    list.batchCount_ = list.FileCount();
    return list;
}

std::vector<std::vector<std::string>> JobList::Table() const {
    const auto columns = static_cast<std::size_t>(columnCount_);
    std::vector<std::vector<std::string>> table;
    table.reserve(rows_.size() + static_cast<std::size_t>(blankRows_) + 1);
    std::vector<std::string> title = titleFields_;
    title.resize(columns);
    table.push_back(std::move(title));
    for (const JobRow& row : rows_) {
        std::vector<std::string> fields{row.file, row.copies};
        fields.insert(fields.end(), row.more.begin(), row.more.end());
        fields.resize(columns);
        table.push_back(std::move(fields));
    }
    table.resize(table.size() + static_cast<std::size_t>(blankRows_),
                 std::vector<std::string>(columns));
    return table;
}

}  // namespace tavrin
