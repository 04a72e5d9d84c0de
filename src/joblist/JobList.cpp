#include "joblist/JobList.h"

#include <string>

#include "joblist/GridModel.h"
#include "platform/Error.h"
#include "platform/StatusPanels.h"

namespace tavrin {

namespace {
constexpr const char* kPostScript = "POSTSCRIPT";
constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::uint32_t kBlack = 0x000000;
}  // namespace

void LayOutJobListGrid(GridModel& grid) {
    grid.setColCount(2);
    grid.setFixedCols(0);
    grid.setRowCount(JobList::kEmptyRowCount);
    grid.setFixedRows(1);
    grid.setDefaultRowHeight(JobList::kRowHeight);
    grid.setRowCountMin(0);
    grid.setColWidth(0, JobList::kNameWidthNarrow);
    grid.setColWidth(1, JobList::kCopiesWidth);

    GridColumn& name = grid.columnAt(0);
    name.title().setCaption("Filename");
    name.setColor(kWhite);
    name.setReadOnly(true);
    GridColumn& copies = grid.columnAt(1);
    copies.title().setCaption("Copies");
    copies.setFormat(ColumnFormat::Number);
}

JobList::JobList(Form& form, std::function<std::string()> deviceClass)
    : form_(form), deviceClass_(std::move(deviceClass)) {}

bool JobList::IsPostScript() const {
    return deviceClass_ && deviceClass_() == kPostScript;
}

void JobList::ShowFileCount(int count) {
    form_.StatusBar1().setPanel(status_panel::kFileCount, kFilesInJoblist + std::to_string(count));
}

void JobList::ApplyWidthRule() {
    Grid& grid = form_.StringGrid1();
    grid.setColWidth(0, grid.rowCount() <= 11 ? kNameWidthWide : kNameWidthNarrow);
}

void JobList::ClearJobList() {
    fileCount_ = 0;
    Grid& grid = form_.StringGrid1();
    // Every row the grid shows, and past them as long as names follow: a list of any length is
    // emptied, also when a name in it is empty.
    for (int r = 1; r < grid.rowCount() || !grid.cell(0, r).empty(); ++r) {
        grid.setCell(0, r, std::string());
        grid.setCell(1, r, std::string());
    }
}

void JobList::AddBatch() {
    // An empty batch leaves the list as it is: a grid of one row would lose its title row.
    if (batchCount_ < 1)
        return;
    if (batchCount_ > int(pendingFiles_.size())) {
        throw Error(
            FormatMessage("List index out of bounds (%d)", std::to_string(pendingFiles_.size())));
    }
    Grid& grid = form_.StringGrid1();
    form_.StatusBar1().setPanel(status_panel::kRun, std::string());
    const bool newList = form_.RepMode().checked();
    if (newList)
        ClearJobList();
    grid.setRowCount(batchCount_ + fileCount_ + 1);
    ApplyWidthRule();
    const std::string copies = std::to_string(form_.SpinEdit1().value());
    for (int i = 1; i <= batchCount_; ++i) {
        grid.setCell(0, fileCount_ + i, pendingFiles_[i - 1]);
        grid.setCell(1, fileCount_ + i, copies);
    }
    ShowFileCount(batchCount_ + fileCount_);
    // Whatever is not a new list is an added batch, so the count always follows the rows.
    fileCount_ = newList ? batchCount_ : fileCount_ + batchCount_;
}

void JobList::AddModeClick() {
    form_.StatusBar1().setPanel(status_panel::kMode, "Mode: add files to joblist");
}

void JobList::RepModeClick() {
    form_.StatusBar1().setPanel(status_panel::kMode, "Mode: start a new joblist");
}

void JobList::RemoveClick() {
    Grid& grid = form_.StringGrid1();
    grid.deleteRow(grid.currentRow());
    if (fileCount_ > 0)
        --fileCount_;
    // Back to the blank list once no job row is left (an empty name in row 1 is still a job).
    if (fileCount_ == 0 && grid.cell(0, 1).empty())
        grid.setRowCount(kEmptyRowCount);
    if (form_.RepMode().checked())
        --batchCount_;
    ShowFileCount(fileCount_);
    ApplyWidthRule();
}

void JobList::SpinEdit1Change() {
    // Only rows that hold a job: after a run has emptied the list there are none.
    Grid& grid = form_.StringGrid1();
    const std::string copies = std::to_string(form_.SpinEdit1().value());
    for (int r = 1; r <= fileCount_; ++r)
        grid.setCell(1, r, copies);
}

void JobList::JobAsSetClick() {
    Grid& grid = form_.StringGrid1();
    ColumnSettings copies = grid.column(1);
    if (form_.JobAsSet().checked()) {
        copies.readOnly = true;
        copies.fontColor = kWhite;
        copies.titleCaption.clear();
        grid.setColumn(1, copies);
        grid.repaint();
        form_.PSCollate().setEnabled(false);
        form_.PSCollate().setChecked(false);
        form_.SmartReplots().setEnabled(false);
        form_.SmartReplots().setChecked(false);
        form_.Label3().setCaption("Number of sets");
    } else {
        copies.readOnly = false;
        copies.fontColor = kBlack;
        copies.titleCaption = "Copies";
        grid.setColumn(1, copies);
        grid.repaint();
        if (IsPostScript())
            form_.PSCollate().setEnabled(true);
        form_.SmartReplots().setEnabled(true);
        form_.Label3().setCaption("Global # of copies");
    }
}

void JobList::SmartReplotsClick() {
    if (form_.SmartReplots().checked() && IsPostScript()) {
        form_.PSCollate().setEnabled(true);
    } else {
        form_.PSCollate().setEnabled(false);
        form_.PSCollate().setChecked(false);
    }
}

}  // namespace tavrin
