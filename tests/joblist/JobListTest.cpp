#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <random>
#include <tuple>

#include "joblist/GridModel.h"
#include "joblist/JobList.h"
#include "joblist/JobListFile.h"
#include "joblist/JobListLines.h"
#include "joblist/LongFileName.h"
#include "platform/Controls.h"
#include "platform/Error.h"
#include "platform/PlainForm.h"
#include "support/TempFolder.h"

namespace tavrin::test {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;
using testing::ThrowsMessage;
using NameList = std::vector<std::string>;

// The job list's grid as the window lays it out, counting its cell reads and writes.
class JobListGrid : public GridModel {
public:
    JobListGrid() { LayOutJobListGrid(*this); }
    // Jobs (name, copies) in the rows from 1 on.
    void Fill(std::initializer_list<std::pair<const char*, const char*>> jobs) {
        int row = 0;
        for (const auto& [name, copies] : jobs) {
            setRowCount(++row + 1);
            setCell(0, row, name);
            setCell(1, row, copies);
        }
    }
    std::string cell(int c, int r) const override { return ++work, GridModel::cell(c, r); }
    void setCell(int c, int r, const std::string& t) override {
        ++work, GridModel::setCell(c, r, t);
    }

    mutable long long work = 0;
};

// A job list on an in-memory grid and form, its handlers wired as the window wires them.
struct JobListRig {
    JobListRig() {
        // A radio button's click runs when it becomes checked.
        form.addMode.onClick = [this] {
            if (form.addMode.checked())
                list.AddModeClick();
        };
        form.repMode.onClick = [this] {
            if (form.repMode.checked())
                list.RepModeClick();
        };
        form.spinEdit1.onChange = [this] { list.SpinEdit1Change(); };
        form.jobAsSet.onClick = [this] { list.JobAsSetClick(); };
        form.smartReplots.onClick = [this] { list.SmartReplotsClick(); };
    }

    // A radio button pair: checking one unchecks the other.
    void SetAddMode(bool add) {
        form.addMode.setChecked(add);
        form.repMode.setChecked(!add);
    }
    void Add(const NameList& names) {
        list.SetPendingFiles(names);
        list.SetBatchCount(int(names.size()));
        list.AddBatch();
    }
    NameList Names() const {
        NameList names;
        for (int r = 1; r <= list.FileCount(); ++r)
            names.push_back(grid.cell(0, r));
        return names;
    }
    // Copies caption, read-only, font colour, label; SmartReplots, PSCollate checked, enabled.
    std::string SetOptions() const {
        const GridColumn& copies = grid.columnAt(1);
        std::string text = copies.title().caption() + "|" + std::to_string(copies.readOnly()) +
                           "|" + std::to_string(copies.font().color) + "|" + form.label3.caption();
        for (const PlainControl* c : {&form.smartReplots, &form.psCollate})
            text += std::string("|") + (c->checked() ? "c" : "-") + (c->enabled() ? "e" : "-");
        return text;
    }
    // Opens a job-list file as the window does; the counters are the window's own.
    void Open(const std::string& path) {
        OpenJobListFile(grid, path, fileCount, batchCount, form.statusBar1);
    }
    // The counters and the panel agree with the rows a load gave.
    void ExpectCountsOfTheRows() const {
        EXPECT_EQ(std::pair(fileCount, batchCount), std::pair(grid.rowCount() - 1, fileCount));
        EXPECT_EQ(form.statusBar1.panel(1), "Files in joblist: " + std::to_string(fileCount));
    }
    void OldJobs() { grid.Fill({{"/old/a.plt", "2"}, {"/old/b.plt", "5"}, {"/old/c.plt", "7"}}); }

    JobListGrid grid;
    PlainForm form{grid};
    std::string deviceClass = "HPGL2";
    JobList list{form, [this] { return deviceClass; }};
    int fileCount = 0;
    int batchCount = 0;
    ScratchFolder dir;
};

class JobListTest : public ::testing::Test, protected JobListRig {};

// Real plot files as the names of a batch.
NameList SampleNames(int count, int first = 0) {
    static const char* kFiles[] = {
        "hp2xx/acad.hp",       "hp2xx/pages.hp",          "hp2xx/dt.plt",   "hp2xx/spectrum.plt",
        "ghostpdl/golfer.eps", "hpgl-rendering/test.plt", "hp2xx/win_1.hp", "hp2xx/inter.hp"};
    NameList names;
    for (int i = first; i < first + count; ++i)
        names.push_back((SamplesDir() / kFiles[i % 8]).string() + "#" + std::to_string(i));
    return names;
}

TEST_F(JobListTest, BatchesAppendInAddModeReplaceInNewModeAndClearingEmptiesAll) {
    for (const auto& name : SampleNames(3))
        ASSERT_TRUE(std::filesystem::exists(name.substr(0, name.find('#'))));
    SetAddMode(true);
    EXPECT_EQ(form.statusBar1.panel(0), "Mode: add files to joblist");
    Add(SampleNames(10));
    Add(SampleNames(5, 10));
    EXPECT_EQ(Names(), SampleNames(15));
    EXPECT_EQ(form.statusBar1.panel(1), "Files in joblist: 15");
    SetAddMode(false);
    EXPECT_EQ(form.statusBar1.panel(0), "Mode: start a new joblist");
    form.statusBar1.setPanel(3, "Done");
    form.spinEdit1.setValue(2);
    Add(SampleNames(3, 20));
    EXPECT_EQ(Names(), SampleNames(3, 20));
    EXPECT_EQ(std::tuple(grid.rowCount(), list.FileCount(), list.BatchCount(), grid.colWidth(0)),
              std::tuple(4, 3, 3, 461));
    EXPECT_EQ(grid.cell(1, 3), "2");
    EXPECT_EQ(form.statusBar1.panel(1) + "|" + form.statusBar1.panel(3), "Files in joblist: 3|");
    for (int r = 4; r <= 15; ++r)
        EXPECT_EQ(grid.cell(0, r) + grid.cell(1, r), "") << r;
    Add({"/plots/a.plt", "/plots/a.plt"});  // the same file twice is two rows
    EXPECT_EQ(Names(), (NameList{"/plots/a.plt", "/plots/a.plt"}));
    SetAddMode(true);
    Add(SampleNames(1500));
    list.ClearJobList();
    EXPECT_EQ(std::pair(list.FileCount(), grid.rowCount()), std::pair(0, 1503));
    EXPECT_EQ(grid.cell(0, 999) + grid.cell(0, 1502) + grid.cell(1, 1502), "");
}

TEST_F(JobListTest, RemoveTakesOnlyTheCurrentRowAndCountsTheBatchDown) {
    grid.setCurrentRow(5);
    list.RemoveClick();
    EXPECT_EQ(std::pair(grid.rowCount(), list.BatchCount()), std::pair(30, -1));  // no floor
    Add(SampleNames(6));
    grid.setCurrentRow(2);  // a range 2..5 selected in the window still has row 2 current
    list.RemoveClick();
    const NameList six = SampleNames(6);
    EXPECT_EQ(Names(), (NameList{six[0], six[2], six[3], six[4], six[5]}));
    EXPECT_EQ(list.BatchCount(), 5);
}

TEST_F(JobListTest, ABatchLongerThanItsNamesIsRefusedAndAnEmptyOneChangesNothing) {
    Add({});
    EXPECT_EQ(std::pair(grid.rowCount(), grid.fixedRows()), std::pair(30, 1));
    Add(SampleNames(2));
    list.SetPendingFiles({"/x.plt"});
    list.SetBatchCount(3);
    EXPECT_THAT([&] { list.AddBatch(); }, ThrowsMessage<Error>("List index out of bounds (1)"));
    EXPECT_EQ(std::pair(Names(), list.FileCount()), std::pair(SampleNames(2), 2));
    Add({});
    EXPECT_EQ(Names(), SampleNames(2));
}

TEST_F(JobListTest, StartsEmptyTreatAsSetHidesTheCountsAndCollationIsOnlyForPostScript) {
    EXPECT_EQ(
        std::tuple(grid.rowCount(), grid.colCount(), grid.fixedRows(), grid.fixedCols(),
                   grid.defaultRowHeight(), grid.colWidth(0), grid.colWidth(1), list.FileCount()),
        std::tuple(30, 2, 1, 0, 16, 445, 36, 0));
    EXPECT_EQ(std::tuple(grid.columnAt(0).title().caption(), grid.columnAt(0).color(),
                         grid.columnAt(0).readOnly(), grid.columnAt(1).format()),
              std::tuple("Filename", 0xFFFFFFu, true, ColumnFormat::Number));
    EXPECT_EQ(SetOptions(), "Copies|0|0|Global # of copies|--|--");
    form.smartReplots.setEnabled(true);
    form.smartReplots.setChecked(true);
    EXPECT_EQ(SetOptions(), "Copies|0|0|Global # of copies|ce|--");  // a plotter
    form.smartReplots.setChecked(false);
    deviceClass = "POSTSCRIPT";
    form.smartReplots.setChecked(true);
    form.psCollate.setChecked(true);
    EXPECT_EQ(SetOptions(), "Copies|0|0|Global # of copies|ce|ce");
    form.jobAsSet.setChecked(true);
    EXPECT_EQ(SetOptions(), "|1|16777215|Number of sets|--|--");
    form.jobAsSet.setChecked(false);
    EXPECT_EQ(SetOptions(), "Copies|0|0|Global # of copies|-e|-e");
    form.smartReplots.setChecked(true);
    form.psCollate.setChecked(true);
    form.smartReplots.setChecked(false);
    EXPECT_EQ(SetOptions(), "Copies|0|0|Global # of copies|-e|--");
    deviceClass = "HPGL2";
    form.jobAsSet.setChecked(true);
    form.jobAsSet.setChecked(false);
    EXPECT_EQ(SetOptions(), "Copies|0|0|Global # of copies|-e|--");
}

// After every step the job rows are rows 1 .. RowCount-1, or none and 29 blank rows show.
class JobListInvariantTest : public ::testing::TestWithParam<unsigned> {};

TEST_P(JobListInvariantTest, HoldsThroughLongRandomSequences) {
    std::mt19937 random(GetParam());
    auto pick = [&](int low, int high) { return std::uniform_int_distribution(low, high)(random); };
    JobListRig rig;
    std::vector<std::pair<std::string, std::string>> expected;  // (name, copies) per job
    const auto files = [&] { return "Files in joblist: " + std::to_string(expected.size()); };
    for (int step = 0, nextName = 0; step < 3000 && !HasFatalFailure(); ++step) {
        SCOPED_TRACE("step " + std::to_string(step));
        const int operation = pick(0, 99);
        if (operation < 35) {
            // A batch: mostly small, now and then long, an empty name now and then.
            const int size = pick(0, 9) == 0 ? pick(20, 60) : pick(0, 6);
            NameList names;
            for (int i = 0; i < size; ++i)
                names.push_back(pick(0, 30) == 0 ? "" : "/plots/f" + std::to_string(nextName++));
            if (size > 0 && !rig.form.addMode.checked())
                expected.clear();
            for (const auto& name : names)
                expected.emplace_back(name, std::to_string(rig.form.spinEdit1.value()));
            rig.Add(names);
            if (size > 0) {
                ASSERT_EQ(rig.form.statusBar1.panel(1), files());
            }
        } else if (operation < 60) {
            const int row = pick(1, rig.grid.rowCount() - 1);
            rig.grid.setCurrentRow(row);
            rig.list.RemoveClick();
            if (!expected.empty())
                expected.erase(expected.begin() + (row - 1));
            ASSERT_EQ(rig.form.statusBar1.panel(1), files());
        } else if (operation < 72) {
            const int copies = pick(1, 99);
            if (rig.form.spinEdit1.value() != copies) {  // an unchanged value runs no handler
                for (auto& job : expected)
                    job.second = std::to_string(copies);
            }
            rig.form.spinEdit1.setValue(copies);
        } else if (operation < 82) {
            rig.SetAddMode(!rig.form.addMode.checked());
        } else if (operation < 88) {
            rig.form.jobAsSet.setChecked(!rig.form.jobAsSet.checked());
        } else if (operation < 95) {
            if (!expected.empty()) {
                const int row = pick(1, int(expected.size()));
                expected[row - 1].second = std::to_string(pick(1, 500));
                rig.grid.setCell(1, row, expected[row - 1].second);
            }
        } else {  // a spool run that clears the list afterwards
            rig.list.ClearJobList();
            rig.grid.setRowCount(30);
            rig.grid.setColWidth(0, 445);
            expected.clear();
        }
        const int rows = expected.empty() ? 30 : int(expected.size()) + 1;
        ASSERT_EQ(std::tuple(rig.list.FileCount(), rig.grid.fixedRows(), rig.grid.rowCount(),
                             rig.grid.colWidth(0)),
                  std::tuple(int(expected.size()), 1, rows, rows <= 11 ? 461 : 445));
        for (int r = 1; r < rows; ++r) {
            ASSERT_EQ(rig.grid.cell(0, r) + "," + rig.grid.cell(1, r),
                      expected.empty() ? "," : expected[r - 1].first + "," + expected[r - 1].second)
                << r;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Seeds, JobListInvariantTest,
                         ::testing::Values(1u, 7u, 42u, 2024u, 99991u));

std::string Lines(int count, const std::string& line) {
    std::string text;
    while (count-- > 0)
        text += line;
    return text;
}

TEST_F(JobListTest, SaveWritesEveryCellOfTheShownRowsAndColumnsWithCrLfLineEnds) {
    EXPECT_EQ(JobListText(JobListGrid()), Lines(30, ";\r\n"));
    JobListGrid grid;
    grid.Fill({{"C:\\plots\\first.plt", "1"}, {"/plots/a;b.plt", "3"}});
    grid.setCell(1, 3, "hidden below the last row");
    EXPECT_EQ(JobListText(grid), ";\r\nC:\\plots\\first.plt;1\r\n/plots/a;b.plt;3\r\n");
    grid.setColCount(3);
    grid.setCell(2, 1, "extra");
    grid.setCell(0, 0, "title");
    grid.setCell(0, 2, "/plots/Zürich übersicht 日本.plt");
    EXPECT_EQ(JobListText(grid),
              "title;;\r\nC:\\plots\\first.plt;1;extra\r\n/plots/Z\xC3\xBCrich \xC3\xBC"
              "bersicht \xE6\x97\xA5\xE6\x9C\xAC.plt;3;\r\n");
    WriteBytes(dir / "list.tjf", std::string(10000, 'x'));
    SaveJobListFile(grid, dir / "list.tjf");
    EXPECT_EQ(ReadBytes(dir / "list.tjf"), JobListText(grid));  // replaced whole
    EXPECT_EQ(WriteViewListFile(grid, dir.path().string()), (dir / "temp.tjf").string());
    EXPECT_EQ(ReadBytes(dir / "temp.tjf"), JobListText(grid));
}

TEST_F(JobListTest, AFileThatCannotBeWrittenIsReportedAndTheListStays) {
    OldJobs();
    for (const std::string& path :
         {dir.path().string(), (dir / "no such folder/list.tjf").string()}) {
        EXPECT_THAT([&] { SaveJobListFile(grid, path); },
                    ThrowsMessage<Error>("Cannot create file " + path));
    }
    EXPECT_FALSE(fs::exists(dir / "no such folder"));
    EXPECT_THAT([&] { WriteViewListFile(grid, (dir / "gone").string()); },
                ThrowsMessage<Error>("Cannot create file " + (dir / "gone/temp.tjf").string()));
    if (fs::exists("/dev/full")) {
        EXPECT_THAT([&] { SaveJobListFile(grid, "/dev/full"); },
                    ThrowsMessage<Error>("Stream write error"));
    }
    EXPECT_EQ(JobListText(grid), ";\r\n/old/a.plt;2\r\n/old/b.plt;5\r\n/old/c.plt;7\r\n");
}

// No load may leave an old name below its rows (a longer list would show it again) or count.
TEST_F(JobListTest, EachLoadShowsTheFilesLinesAndKeepsTheJobListColumns) {
    const struct {
        std::string bytes, shown;  // the file, and the grid saved again
        int fixedRows = 1;
    } rows[] = {
        {";\r\na;b;c\r\n/p/x.plt;4\r\n", ";;\r\na;b;c\r\n/p/x.plt;4;\r\n"},
        {";\n/p/a.plt;1\r/p/b.plt;3\n", ";\r\n/p/a.plt;1\r\n/p/b.plt;3\r\n"},
        {"title\r\n/p/new one.plt\r\n/p/new two.plt\r\n",
         "title;\r\n/p/new one.plt;\r\n/p/new two.plt;\r\n"},
        {Lines(30, ";\r\n"), Lines(30, ";\r\n")},  // saved from an empty list: 29 empty jobs
        {"set mode", ";\r\n"},  // from here on the list is a set: no copies shown
        {";\r\n/home/jürgen/Plots/Begane grond – versie 2.plt;1\r\n/srv/планы/этаж 3.plt;12\r\n"
         "C:\\Tekeningen\\gevel noord (oud).prn;99\r\n/plots/  two leading blanks.ps;3\r\n",
         ";\r\n/home/jürgen/Plots/Begane grond – versie 2.plt;1\r\n/srv/планы/этаж 3.plt;12\r\n"
         "C:\\Tekeningen\\gevel noord (oud).prn;99\r\n/plots/  two leading blanks.ps;3\r\n"},
        {"a;b;c;d\r\n", "a;b;c;d\r\n", 0},
        // Nothing of the wider list before stays past a shorter row's fields.
        {"x;y\r\n/p;1;z\r\n", "x;y;\r\n/p;1;z\r\n", 0},
        {"", ";\r\n", 0},
        {";\r\n", ";\r\n", 0},
    };
    OldJobs();
    grid.setColWidth(1, 40);
    // A third column from an earlier load with settings of its own: a load makes it afresh.
    grid.setColCount(3);
    grid.setColumn(2, {"Left over", true, ColumnFormat::Date, {}, {}});
    ColumnSettings name = grid.column(0), copies = grid.column(1);
    const fs::path path = dir / "Liste für Montag ü.tjf";
    for (const auto& row : rows) {
        SCOPED_TRACE(row.bytes.substr(0, 40));
        if (row.bytes == "set mode") {
            form.jobAsSet.setChecked(true);
            copies = grid.column(1);
            continue;
        }
        const int before = grid.rowCount();
        WriteBytes(path, row.bytes);
        Open(path);
        EXPECT_EQ(JobListText(grid), row.shown);
        EXPECT_EQ(grid.fixedRows(), row.fixedRows);
        ExpectCountsOfTheRows();
        for (int r = grid.rowCount(); r < before; ++r)
            EXPECT_EQ(grid.cell(0, r), "") << r;
        EXPECT_EQ(std::tuple(grid.column(0), grid.column(1), grid.colWidth(0), grid.colWidth(1)),
                  std::tuple(name, copies, 445, 40));
        EXPECT_EQ(grid.colCount() > 2 ? grid.column(2) : ColumnSettings{}, ColumnSettings{});
    }
}

// A refused load leaves the list, its hidden names, counters and panel as they were.
TEST_F(JobListTest, AFileThatCannotBeReadIsRefusedAndLosesNothing) {
    OldJobs();
    grid.setCell(0, 9, "hidden");
    fileCount = batchCount = 3;
    form.statusBar1.setPanel(1, "Files in joblist: 3");
    const std::string text = JobListText(grid);
    const ColumnSettings name = grid.column(0), copies = grid.column(1);
    WriteBytes(dir / "locked.tjf", ";\r\n/p/a.plt;1\r\n");
    fs::permissions(dir / "locked.tjf", fs::perms::none);
    // Root reads every file; /proc/self/mem opens, but reading fails at its first byte.
    for (const std::string& path :
         {(dir / "not there.tjf").string(), dir.path().string(), std::string(),
          (dir / "locked.tjf").string(), std::string("/proc/self/mem")}) {
        if (path.ends_with("locked.tjf") && ::geteuid() == 0)
            continue;
        EXPECT_THAT([&] { Open(path); },
                    ThrowsMessage<Error>(path == "/proc/self/mem" ? "Stream read error"
                                                                  : "Cannot open file " + path));
        EXPECT_EQ(std::tuple(JobListText(grid), grid.cell(0, 9), grid.column(0), grid.column(1)),
                  std::tuple(text, "hidden", name, copies));
        EXPECT_EQ(std::to_string(fileCount) + std::to_string(batchCount) + form.statusBar1.panel(1),
                  "33Files in joblist: 3");
    }
}

// Files that are no job lists at all open as lines that survive a save and an open.
TEST_F(JobListTest, AnyFileOpensAsLinesThatSurviveSaveAndOpen) {
    const JobListGrid fresh;
    const auto expectStable = [&](const std::string& path) {
        SCOPED_TRACE(path);
        Open(path);
        ExpectCountsOfTheRows();
        EXPECT_EQ(std::tuple(grid.colCount() >= 2, grid.column(0), grid.column(1), grid.colWidth(0),
                             grid.colWidth(1)),
                  std::tuple(true, fresh.column(0), fresh.column(1), 445, 36));
        SaveJobListFile(grid, dir / "copy.tjf");
        JobListGrid other;
        LoadJobListFile(other, (dir / "copy.tjf").string());
        EXPECT_EQ(JobListText(other), JobListText(grid));
    };
    const auto samples = SamplePrintFiles();
    EXPECT_GE(samples.size(), 20u);
    for (const auto& sample : samples)
        expectStable(sample.string());
    // Rows, columns, the first row's first two cells and the last row's first one.
    const std::pair<const char*, std::string> plots[] = {
        {"jem-green-HPGL2/XANADU-PLT-test.plt", "1 2 ;|"},  // 131072 NUL bytes come first
        {"hpgl-rendering/test.plt", "2 300 SP1;PU|"},       // a line of 300 fields, an empty one
        {"hp2xx/spectrum.plt", "740 219 \x1B%0BBPINPSNPPCPW.1;|\x1B%0A\f"},  // CR LF lines
    };
    for (const auto& [sample, shown] : plots) {
        Open((SamplesDir() / sample).string());
        EXPECT_EQ(std::to_string(grid.rowCount()) + " " + std::to_string(grid.colCount()) + " " +
                      grid.cell(0, 0) + ";" + grid.cell(1, 0) + "|" +
                      grid.cell(0, grid.rowCount() - 1),
                  shown);
    }
}

TEST_F(JobListTest, HundredThousandLinesOpenWithWorkInProportionToTheLines) {
    constexpr int kFiles = 100000;
    std::string text = ";\r\n";
    for (int i = 1; i <= kFiles; ++i)
        text += "/srv/plots/project " + std::to_string(i) + "/sheet.plt;" +
                std::to_string(i % 99 + 1) + "\r\n";
    WriteBytes(dir / "long.tjf", text);
    grid.work = 0;
    Open((dir / "long.tjf").string());
    // Two cells per line and the old rows' names emptied, nothing more.
    EXPECT_LE(grid.work, 3LL * (kFiles + 1) + 100);
    EXPECT_EQ(std::to_string(fileCount) + " " + grid.cell(0, kFiles) + ";" + grid.cell(1, kFiles),
              "100000 /srv/plots/project 100000/sheet.plt;11");
}

// Each line or field followed by "|", so that no line and one empty line differ.
std::string Joined(const std::vector<std::string>& parts) {
    std::string text;
    for (const std::string& part : parts)
        text += part + "|";
    return text;
}

TEST(JobListLines, CrLfCrAndLfEachEndALineANulEndsTheTextAndSeparatorsEndFields) {
    const std::pair<std::string, const char*> rows[] = {
        {";\r/a.plt;1\n/b.plt;3\r\n", ";|/a.plt;1|/b.plt;3|"},
        {"a\r\nb", "a|b|"},  // the last line needs no end mark
        {"", ""},
        {"\r\n", "|"},
        {"\r", "|"},
        {"\n\n", "||"},
        {"a\n\rb", "a||b|"},  // LF CR is two line ends, CR LF only one
        {"a\r\r\nb", "a||b|"},
        {"a;1\r\nb;2\0c;3\r\n"s, "a;1|b;2|"},
        {"a;1\r\n\0b;2\r\n"s, "a;1|"},
        {"\0a;1\r\n"s, ""},
        {"a\r\0\nb"s, "a|"},
    };
    for (const auto& [text, lines] : rows)
        EXPECT_EQ(Joined(SplitJobListText(text)), lines) << text;
    // Pieces are joined across their borders and ignored after a NUL.
    JobListLineSplitter splitter;
    EXPECT_TRUE(splitter.Feed("a;1\r"));
    EXPECT_TRUE(splitter.Feed("\nb;2\r"));  // CR LF split across two pieces is one line end
    EXPECT_TRUE(splitter.Feed("\n/plots/ver"));
    EXPECT_TRUE(splitter.Feed("y long name.plt;"));
    EXPECT_FALSE(splitter.Feed("2\0c"s));
    EXPECT_TRUE(splitter.ended());
    EXPECT_FALSE(splitter.Feed("d\r\ne\r\n"));
    EXPECT_EQ(Joined(splitter.Finish()), "a;1|b;2|/plots/very long name.plt;2|");
    // Fields: every separator ends one, and the fields of the line before are gone.
    const std::pair<const char*, const char*> fieldRows[] = {
        {"a;b;c", "a|b|c|"}, {" a ; b ", " a | b |"}, {";", "||"},
        {";;x;", "||x||"},   {"a;;", "a|||"},         {"", "|"},
    };
    for (const auto& [line, fields] : fieldRows) {
        std::vector<std::string> tokens{"left", "over"};
        TokenizeGridString(line, ';', tokens);
        EXPECT_EQ(Joined(tokens), fields) << line;
    }
    std::vector<std::string> tokens;
    TokenizeGridString("a;b,c", ',', tokens);
    EXPECT_EQ(Joined(tokens), "a;b|c|");
}

// "@" stands for the scratch folder, @/Plots is the current one; a batch gives what each gives.
TEST(LongFileName, NamesAreJoinedToTheCurrentFolderAndTheirDotsResolvedByText) {
    ScratchFolder folder;
    const std::string root = folder.path().string();
    fs::create_directories(folder / "Plots" / "Sub");
    for (const char* file : {"A.plt", "a.plt", "Sub/b.plt", "Plan 1; rev\xc3\xa9.plt"})
        WriteBytes(folder / "Plots" / file, file);
    fs::create_symlink(folder / "Plots" / "Sub", folder / "Link");
    fs::create_symlink(folder / "nowhere", folder / "Dangling");
    const fs::path before = fs::current_path();
    fs::current_path(folder / "Plots");
    const std::pair<std::string, std::string> rows[] = {
        {"A.plt", "@/Plots/A.plt"},
        {"a.plt", "@/Plots/a.plt"},  // letter case tells files apart here
        {"Sub/b.plt", "@/Plots/Sub/b.plt"},
        {"./Sub/../A.plt", "@/Plots/A.plt"},
        {"../Plots/./Sub//b.plt", "@/Plots/Sub/b.plt"},
        {"@/Plots/Sub/../../Plots/A.plt", "@/Plots/A.plt"},
        {"/../..", "/"},
        {"@/Plots/Sub/", "@/Plots/Sub"},
        {"gone.plt", "@/Plots/gone.plt"},
        {"/", "/"},
        {"No/Such/Folder/x.plt", "@/Plots/No/Such/Folder/x.plt"},
        {"@/Missing/../Plots/A.plt", "@/Plots/A.plt"},
        {"SUB/B.PLT", "@/Plots/SUB/B.PLT"},  // another case that exists nowhere is kept as given
        {"@/Link/b.plt", "@/Link/b.plt"},    // links are kept as named
        {"@/Dangling", "@/Dangling"},
        {"Plan 1; rev\xc3\xa9.plt", "@/Plots/Plan 1; rev\xc3\xa9.plt"},
        {"", ""},
        {"No/Such/Folder/y.plt", "@/Plots/No/Such/Folder/y.plt"},
    };
    const auto at = [&](std::string t) { return t.starts_with("@") ? root + t.substr(1) : t; };
    std::vector<std::string> names, expected;
    for (const auto& [name, longName] : rows) {
        EXPECT_EQ(LongFileName(at(name)), at(longName)) << name;
        names.push_back(at(name));
        expected.push_back(at(longName));
    }
    EXPECT_EQ(LongFileNames(names), expected);
    // Folders without read rights still give the name; root reads every folder.
    fs::permissions(folder / "Plots" / "Sub", fs::perms::owner_exec);
    EXPECT_EQ(LongFileName("Sub/b.plt"), root + "/Plots/Sub/b.plt");
    fs::permissions(folder / "Plots" / "Sub", fs::perms::owner_all);
    fs::current_path(before);
    // The root gives nothing, so that names join with one slash.
    EXPECT_EQ(
        LongPathOf("/") + "|" + LongPathOf("/tmp") + "|" + LongPathOf("/no-such-folder-here/x"),
        "|/tmp|/no-such-folder-here/x");
}

}  // namespace
}  // namespace tavrin::test
