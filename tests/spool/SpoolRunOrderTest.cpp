// The order of the jobs in per-row and set mode, and what the run does to the list.
#include "SpoolRunFixture.h"

namespace tavrin::test {
namespace {

using Names = std::vector<std::string>;

class SpoolRunOrderTest : public SpoolRunTest {
protected:
    SpoolRunOrderTest() {
        a = File("A");
        b = File("B");
        c = File("C");
    }
    std::string a, b, c;
};

TEST_F(SpoolRunOrderTest, PerRowModeSendsEachRowItsOwnNumberOfTimes) {
    List({{a, "2"}, {b, "1"}, {c, "3"}});
    session.OKPrintClick();

    EXPECT_EQ(Documents(), (Names{"A", "A", "B", "C", "C", "C"}));
    EXPECT_EQ(spooler.jobs[0].bytes, "data of A");
    EXPECT_EQ(spooler.jobs[5].bytes, "data of C");
    EXPECT_EQ(messageRounds, 3);  // once after each row
    EXPECT_EQ(session.jobList().FileCount(), 3);
    EXPECT_EQ(grid.cell(0, 3), c);
    EXPECT_EQ(form.statusBar1.panel(3), "Done");
    ExpectIdle();
}

TEST_F(SpoolRunOrderTest, ButtonShowsBusyOnlyWhileTheRunGoesOn) {
    List({{a, "1"}, {b, "1"}});
    std::vector<std::pair<std::string, bool>> seen;
    betweenFiles = [&] { seen.emplace_back(form.okPrint.caption(), form.okPrint.enabled()); };
    session.OKPrintClick();

    EXPECT_EQ(seen,
              (std::vector<std::pair<std::string, bool>>{{"Busy!", false}, {"Busy!", false}}));
    ExpectIdle();
}

TEST_F(SpoolRunOrderTest, SetModeSendsTheWholeListAsOftenAsTheSpinEditSays) {
    List({{a, "5"}, {b, "0"}, {c, "x"}});  // the copies column is ignored in set mode
    form.jobAsSet.setChecked(true);
    form.spinEdit1.setValue(2);
    form.reverseSet1.setChecked(false);
    session.OKPrintClick();

    EXPECT_EQ(Documents(), (Names{"A", "B", "C", "A", "B", "C"}));
    EXPECT_EQ(messageRounds, 6);  // once after each file
    EXPECT_EQ(form.statusBar1.panel(3), "Done");
}

TEST_F(SpoolRunOrderTest, ReversedSetsStartAtTheLastRow) {
    List({{a, "1"}, {b, "1"}, {c, "1"}});
    form.jobAsSet.setChecked(true);
    form.spinEdit1.setValue(2);
    form.reverseSet1.setChecked(true);
    session.OKPrintClick();

    EXPECT_EQ(Documents(), (Names{"C", "B", "A", "C", "B", "A"}));
}

TEST_F(SpoolRunOrderTest, EverySetTakesTheListAsItIsThen) {
    List({{a, "1"}, {b, "1"}});
    form.jobAsSet.setChecked(true);
    form.spinEdit1.setValue(2);
    form.reverseSet1.setChecked(false);
    bool added = false;
    betweenFiles = [&] {
        if (added)
            return;
        added = true;
        form.addMode.setChecked(true);
        session.AddFiles({c});
    };
    session.OKPrintClick();

    EXPECT_EQ(Documents(), (Names{"A", "B", "A", "B", "C"}));
}

TEST_F(SpoolRunOrderTest, ClearingAfterSpoolingEmptiesTheListRowByRow) {
    List({{a, "2"}, {b, "1"}, {c, "1"}});
    form.clearAfterSpooling1.setChecked(true);
    std::vector<std::string> firstRows;
    betweenFiles = [&] { firstRows.push_back(grid.cell(0, 1)); };
    session.OKPrintClick();

    EXPECT_EQ(Documents(), (Names{"A", "A", "B", "C"}));
    EXPECT_EQ(firstRows, (Names{b, c, ""}));
    EXPECT_EQ(session.jobList().FileCount(), 0);
    EXPECT_EQ(grid.rowCount(), 30);
    EXPECT_EQ(grid.colWidth(0), 445);
    for (int row = 1; row < 30; ++row)
        EXPECT_EQ(grid.cell(0, row), "") << row;
    EXPECT_EQ(form.statusBar1.panel(1), "Files in joblist: 0");
    EXPECT_EQ(form.statusBar1.panel(3), "Done");
    ExpectIdle();
}

TEST_F(SpoolRunOrderTest, SetModeNeverRemovesRows) {
    List({{a, "1"}, {b, "1"}});
    form.clearAfterSpooling1.setChecked(true);
    form.jobAsSet.setChecked(true);
    session.OKPrintClick();

    EXPECT_EQ(Documents(), (Names{"A", "B"}));
    EXPECT_EQ(grid.cell(0, 1), a);
    EXPECT_EQ(grid.cell(0, 2), b);
    EXPECT_EQ(session.jobList().FileCount(), 2);
    EXPECT_EQ(form.statusBar1.panel(1), "Files in joblist: 2");
}

TEST_F(SpoolRunOrderTest, RowsAddedWhileClearingKeepTheirCount) {
    List({{a, "1"}, {b, "1"}});
    form.clearAfterSpooling1.setChecked(true);
    bool added = false;
    betweenFiles = [&] {
        if (added)
            return;
        added = true;
        form.addMode.setChecked(true);
        session.AddFiles({c});
    };
    session.OKPrintClick();

    // The run takes its number of rows at its start: the added file waits for the next run.
    EXPECT_EQ(Documents(), (Names{"A", "B"}));
    EXPECT_EQ(grid.cell(0, 1), c);
    EXPECT_EQ(session.jobList().FileCount(), 1);
    session.OKPrintClick();
    EXPECT_EQ(Documents(), (Names{"A", "B", "C"}));
    EXPECT_EQ(session.jobList().FileCount(), 0);
    EXPECT_EQ(form.statusBar1.panel(1), "Files in joblist: 0");
}

TEST_F(SpoolRunOrderTest, RowsRemovedDuringTheRunAreNotSent) {
    List({{a, "1"}, {b, "1"}, {c, "1"}});
    bool removed = false;
    betweenFiles = [&] {
        if (removed)
            return;
        removed = true;
        grid.setCurrentRow(1);
        session.RemoveClick();
    };
    EXPECT_NO_THROW(session.OKPrintClick());

    EXPECT_EQ(Documents(), (Names{"A", "C"}));
    EXPECT_EQ(form.statusBar1.panel(3), "Done");
}

TEST_F(SpoolRunOrderTest, PrintButtonDoesNothingWithoutAFirstFile) {
    session.OKPrintClick();
    EXPECT_TRUE(spooler.jobs.empty());
    EXPECT_EQ(form.okPrint.caption(), "     &OK, Print!!");
    EXPECT_EQ(form.statusBar1.panel(3), "");
}

TEST_F(SpoolRunOrderTest, RunOverAnEmptyListOnlyReportsIt) {
    session.SpoolRun();
    EXPECT_TRUE(spooler.jobs.empty());
    EXPECT_EQ(form.statusBar1.panel(1), "Files in joblist: 0");
    EXPECT_EQ(form.statusBar1.panel(3), "Done");
    ExpectIdle();
}

TEST_F(SpoolRunOrderTest, ScheduledPrintWaitsForItsMinute) {
    List({{a, "1"}});
    form.schedule.setChecked(true);
    form.uur.setValue(3);
    form.minuut.setValue(14);
    session.OKPrintClick();
    EXPECT_TRUE(spooler.jobs.empty());
    EXPECT_FALSE(form.okPrint.enabled());
    EXPECT_EQ(form.okPrint.caption(), "Starts at 3:14");
    EXPECT_TRUE(form.timer1.enabled());

    session.Timer1Timer();  // the clock stands at 3:15
    EXPECT_TRUE(spooler.jobs.empty());
    form.minuut.setValue(15);
    session.Timer1Timer();
    EXPECT_EQ(Documents(), (Names{"A"}));
    ExpectIdle();
}

TEST_F(SpoolRunOrderTest, ImmediatePrintStopsTheTimer) {
    List({{a, "1"}});
    form.timer1.setEnabled(true);
    session.OKPrintClick();
    EXPECT_FALSE(form.timer1.enabled());
    EXPECT_EQ(Documents(), (Names{"A"}));
}

TEST_F(SpoolRunOrderTest, NoSecondRunStartsInsideARun) {
    List({{a, "1"}, {b, "1"}});
    betweenFiles = [&] {
        session.SpoolRun();
        session.OKPrintClick();
    };
    session.OKPrintClick();
    EXPECT_EQ(Documents(), (Names{"A", "B"}));
    ExpectIdle();
}

TEST_F(SpoolRunOrderTest, TemporaryFileFolderIsTakenAtTheStartOfEachRun) {
    Select(kOce);
    form.smartReplots.setChecked(true);
    List({{a, "2"}, {b, "2"}});
    const fs::path other = folder / "other";
    fs::create_directory(other);
    betweenFiles = [&] { session.settings().TempFilesPath = other.string(); };
    session.OKPrintClick();

    // Both rows went through the folder of the run's start.
    ASSERT_EQ(Documents(), (Names{"temp.$$$", "temp.$$$"}));
    EXPECT_NE(spooler.jobs[0].bytes.find("data of A"), std::string::npos);
    EXPECT_NE(spooler.jobs[1].bytes.find("data of B"), std::string::npos);
    EXPECT_EQ(session.runner().TempFileName(), TempFile());
    EXPECT_FALSE(fs::exists(other / "temp.$$$"));

    session.OKPrintClick();
    EXPECT_EQ(session.runner().TempFileName(), (other / "temp.$$$").string());
    EXPECT_TRUE(fs::exists(other / "temp.$$$"));
}

TEST_F(SpoolRunOrderTest, OceInSetModeSendsPlainCopiesUnderTheTemporaryName) {
    Select(kOce);
    List({{a, "3"}, {b, "3"}});
    form.jobAsSet.setChecked(true);  // unchecks and disables "Copies by plotter"
    form.spinEdit1.setValue(2);
    form.reverseSet1.setChecked(false);
    session.OKPrintClick();

    ASSERT_EQ(Documents(), Names(4, "temp.$$$"));
    EXPECT_EQ(spooler.jobs[0].bytes, "data of A");
    EXPECT_EQ(spooler.jobs[1].bytes, "data of B");
    EXPECT_EQ(spooler.jobs[3].bytes, "data of B");
}

TEST_F(SpoolRunOrderTest, SetModeAltersOnlyForQualityAndFit) {
    const std::string plot = "IN;QL5;PA0,0;PG;";
    List({{File("p.plt", plot), "1"}});
    form.jobAsSet.setChecked(true);
    Select(kPlotter);
    session.OKPrintClick();
    form.removeQL.setChecked(true);
    session.OKPrintClick();
    Select(kLaser);
    form.fitToPage.setChecked(true);
    session.OKPrintClick();

    ASSERT_EQ(Documents(), (Names{"p.plt", "temp.$$$", "temp.$$$"}));
    EXPECT_EQ(spooler.jobs[0].bytes, plot);
    EXPECT_EQ(spooler.jobs[1].bytes, "IN;;;;;PA0,0;PG;");
    EXPECT_EQ(spooler.jobs[2].bytes.rfind("<< /PageSize [ 595 841 ] >> setpagedevice\r\n", 0), 0u);
    EXPECT_EQ(spooler.jobs[2].bytes.find("NumCopies"), std::string::npos);
}

}  // namespace
}  // namespace tavrin::test
