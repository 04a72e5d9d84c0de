#include <gtest/gtest.h>

#include <random>
#include <string>
#include <utility>
#include <vector>

#include "JobListTestSupport.h"

namespace tavrin {
namespace {

// What the list should hold, kept apart from the grid: (name, copies) per job.
struct ExpectedList {
    std::vector<std::pair<std::string, std::string>> rows;
};

// After every operation: either the job rows are exactly rows 1 .. RowCount-1, or the list is
// empty and the grid shows 29 blank rows.
void CheckInvariant(const test::JobListRig& rig, const ExpectedList& expected,
                    const std::string& step) {
    SCOPED_TRACE(step);
    const GridModel& grid = rig.grid;
    ASSERT_EQ(rig.list.FileCount(), int(expected.rows.size()));
    ASSERT_EQ(grid.fixedRows(), 1);
    if (expected.rows.empty()) {
        ASSERT_EQ(grid.rowCount(), 30);
        for (int r = 1; r < 30; ++r) {
            ASSERT_EQ(grid.cell(0, r), "") << "row " << r;
            ASSERT_EQ(grid.cell(1, r), "") << "row " << r;
        }
        return;
    }
    ASSERT_EQ(grid.rowCount(), int(expected.rows.size()) + 1);
    for (int r = 1; r < grid.rowCount(); ++r) {
        ASSERT_EQ(grid.cell(0, r), expected.rows[r - 1].first) << "row " << r;
        ASSERT_EQ(grid.cell(1, r), expected.rows[r - 1].second) << "row " << r;
    }
}

class JobListInvariantTest : public ::testing::TestWithParam<unsigned> {};

TEST_P(JobListInvariantTest, HoldsThroughLongRandomSequences) {
    std::mt19937 random(GetParam());
    auto pick = [&](int low, int high) { return std::uniform_int_distribution(low, high)(random); };
    test::JobListRig rig;
    ExpectedList expected;
    int nextName = 0;

    for (int step = 0; step < 3000; ++step) {
        const int operation = pick(0, 99);
        std::string what;
        if (operation < 35) {
            // A batch: mostly small, now and then long, an empty name now and then.
            const int size = pick(0, 9) == 0 ? pick(20, 60) : pick(0, 6);
            std::vector<std::string> names;
            for (int i = 0; i < size; ++i) {
                names.push_back(pick(0, 30) == 0 ? "" : "/plots/f" + std::to_string(nextName++));
            }
            const bool add = rig.form.addMode.checked();
            what = (add ? "add " : "new ") + std::to_string(size);
            rig.Add(names);
            if (size > 0) {
                if (!add)
                    expected.rows.clear();
                const std::string copies = std::to_string(rig.form.spinEdit1.value());
                for (const auto& name : names)
                    expected.rows.emplace_back(name, copies);
                ASSERT_EQ(rig.form.statusBar1.panel(1),
                          "Files in joblist: " + std::to_string(expected.rows.size()));
            }
        } else if (operation < 60) {
            const int row = pick(1, rig.grid.rowCount() - 1);
            what = "remove " + std::to_string(row);
            rig.grid.setCurrentRow(row);
            rig.list.RemoveClick();
            if (!expected.rows.empty())
                expected.rows.erase(expected.rows.begin() + (row - 1));
            ASSERT_EQ(rig.form.statusBar1.panel(1),
                      "Files in joblist: " + std::to_string(expected.rows.size()));
        } else if (operation < 72) {
            const int copies = pick(1, 99);
            what = "spin " + std::to_string(copies);
            const bool changes = rig.form.spinEdit1.value() != copies;
            rig.form.spinEdit1.setValue(copies);  // an unchanged value runs no handler
            if (changes) {
                for (auto& row : expected.rows)
                    row.second = std::to_string(copies);
            }
        } else if (operation < 82) {
            what = "mode";
            rig.SetAddMode(!rig.form.addMode.checked());
        } else if (operation < 88) {
            what = "set";
            rig.form.jobAsSet.setChecked(!rig.form.jobAsSet.checked());
        } else if (operation < 95) {
            what = "edit";
            if (!expected.rows.empty()) {
                const int row = pick(1, int(expected.rows.size()));
                const std::string text = std::to_string(pick(1, 500));
                rig.grid.setCell(1, row, text);
                expected.rows[row - 1].second = text;
            }
        } else {
            // A spool run that clears the list afterwards.
            what = "run";
            rig.list.ClearJobList();
            rig.grid.setRowCount(30);
            rig.grid.setColWidth(0, 445);
            expected.rows.clear();
        }
        CheckInvariant(rig, expected, "step " + std::to_string(step) + ": " + what);
        if (what.starts_with("add") || what.starts_with("new") || what.starts_with("remove")) {
            ASSERT_EQ(rig.grid.colWidth(0), rig.grid.rowCount() <= 11 ? 461 : 445) << what;
        }
        if (HasFatalFailure())
            return;
    }
}

INSTANTIATE_TEST_SUITE_P(Seeds, JobListInvariantTest,
                         ::testing::Values(1u, 7u, 42u, 2024u, 99991u));

}  // namespace
}  // namespace tavrin
