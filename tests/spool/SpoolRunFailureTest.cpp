// Copy counts that are no numbers, files that cannot be read and sends the spooler refuses.
#include "SpoolRunFixture.h"
#include "spool/SpoolRun.h"

namespace tavrin::test {
namespace {

using Names = std::vector<std::string>;

class SpoolRunFailureTest : public SpoolRunTest {
protected:
    SpoolRunFailureTest() {
        a = File("A");
        b = File("B");
        c = File("C");
    }

    // Runs from the print button and returns the text of the error that ended the run.
    std::string RunExpectingError() {
        try {
            session.OKPrintClick();
        } catch (const Error& error) {
            return error.what();
        }
        ADD_FAILURE() << "the run ended without an error";
        return {};
    }

    std::string a, b, c;
};

TEST(ParseCopyCount, ReadsSignedDecimalIntegers) {
    EXPECT_EQ(ParseCopyCount("3"), 3);
    EXPECT_EQ(ParseCopyCount("0"), 0);
    EXPECT_EQ(ParseCopyCount("-2"), -2);
    EXPECT_EQ(ParseCopyCount("+7"), 7);
    EXPECT_EQ(ParseCopyCount("007"), 7);
    EXPECT_EQ(ParseCopyCount("2147483647"), 2147483647);
    EXPECT_EQ(ParseCopyCount("-2147483648"), -2147483647 - 1);
}

TEST(ParseCopyCount, RefusesEverythingElseWithTheText) {
    for (const std::string text : {"", "1.5", " 3", "3 ", "x", "-", "+", "+-3", "--3", "0x10",
                                   "$10", "1e3", "2147483648", "-2147483649", "3;"}) {
        try {
            ParseCopyCount(text);
            ADD_FAILURE() << "accepted '" << text << "'";
        } catch (const Error& error) {
            EXPECT_EQ(std::string(error.what()), "'" + text + "' is not a valid integer value");
        }
    }
}

TEST_F(SpoolRunFailureTest, CountWithAPointStopsTheRunAndFreesTheButton) {
    Select(kPlotter);
    form.smartReplots.setChecked(true);
    const std::string plot = Sample("jem-green-HPGL2/XANADU-PLT-test2.plt");
    List({{plot, "2"}, {plot, "1.5"}, {plot, "4"}});

    EXPECT_EQ(RunExpectingError(), "'1.5' is not a valid integer value");
    // The job sent before stays; nothing after the bad row is sent.
    EXPECT_EQ(Documents(), Names{"temp.$$$"});
    EXPECT_TRUE(spooler.jobs[0].finished);
    ExpectIdle();
    EXPECT_EQ(form.statusBar1.panel(3), "");
    EXPECT_FALSE(session.runner().LastRun().finished);
    // The list is as it was.
    EXPECT_EQ(session.jobList().FileCount(), 3);
    EXPECT_EQ(grid.cell(1, 2), "1.5");

    // The button works again: with the count mended the whole list goes.
    grid.setCell(1, 2, "1");
    session.OKPrintClick();
    EXPECT_EQ(spooler.jobs.size(), 4u);
    EXPECT_EQ(form.statusBar1.panel(3), "Done");
}

TEST_F(SpoolRunFailureTest, EmptiedCountCellStopsTheRunTheSameWay) {
    List({{a, "1"}, {b, ""}, {c, "1"}});
    EXPECT_EQ(RunExpectingError(), "'' is not a valid integer value");
    EXPECT_EQ(Documents(), Names{"A"});
    ExpectIdle();
}

TEST_F(SpoolRunFailureTest, ErrorWhileClearingLeavesTheRemainingRowsCounted) {
    List({{a, "1"}, {b, "x"}, {c, "1"}});
    form.clearAfterSpooling1.setChecked(true);
    EXPECT_EQ(RunExpectingError(), "'x' is not a valid integer value");

    EXPECT_EQ(Documents(), Names{"A"});
    EXPECT_EQ(grid.cell(0, 1), b);
    EXPECT_EQ(grid.cell(0, 2), c);
    EXPECT_EQ(session.jobList().FileCount(), 2);
    EXPECT_EQ(form.statusBar1.panel(1), "Files in joblist: 2");
    ExpectIdle();

    // The rest goes once the count is mended; the list then ends empty.
    grid.setCell(1, 1, "1");
    session.OKPrintClick();
    EXPECT_EQ(Documents(), (Names{"A", "B", "C"}));
    EXPECT_EQ(session.jobList().FileCount(), 0);
    EXPECT_EQ(grid.rowCount(), 30);
}

TEST_F(SpoolRunFailureTest, MissingFileStopsTheRunWithItsName) {
    const std::string missing = (folder / "gone.plt").string();
    List({{a, "1"}, {missing, "1"}, {c, "1"}});
    EXPECT_EQ(RunExpectingError(), "Cannot open file " + missing);
    EXPECT_EQ(Documents(), Names{"A"});
    EXPECT_EQ(spooler.liveJobs, 0);
    EXPECT_EQ(spooler.openHandles, 0);
    ExpectIdle();
}

TEST_F(SpoolRunFailureTest, TemporaryFileThatCannotBeWrittenStopsTheRun) {
    Select(kOce);
    form.smartReplots.setChecked(true);
    session.settings().TempFilesPath = (folder / "no such folder").string();
    List({{a, "2"}});
    EXPECT_FALSE(RunExpectingError().empty());
    EXPECT_TRUE(spooler.jobs.empty());
    ExpectIdle();
    EXPECT_EQ(grid.cell(0, 1), a);
}

TEST_F(SpoolRunFailureTest, RefusedSendsAreReportedAndTheRunGoesOn) {
    List({{a, "2"}, {b, "1"}, {c, "1"}});
    int round = 0;
    betweenFiles = [&] {
        ++round;
        spooler.refuseStart = round == 1;  // only the second row is refused
    };
    session.OKPrintClick();

    EXPECT_EQ(Documents(), (Names{"A", "A", "C"}));
    EXPECT_EQ(form.statusBar1.panel(3), "Failed");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "Not sent to raw:\nB");
    const SpoolRunReport& report = session.runner().LastRun();
    EXPECT_EQ(report.sends, 4);
    EXPECT_EQ(report.accepted, 3);
    ASSERT_EQ(report.refused.size(), 1u);
    EXPECT_EQ(report.refused[0].file, b);
    EXPECT_FALSE(report.refused[0].reason.empty());
    EXPECT_TRUE(report.finished);
    ExpectIdle();
}

TEST_F(SpoolRunFailureTest, RefusalsAreListedUpToTwentyNames) {
    std::vector<std::pair<std::string, std::string>> rows;
    for (int i = 1; i <= 25; ++i)
        rows.push_back({File("f" + std::to_string(i)), "1"});
    List(rows);
    spooler.refuseOpen.insert("raw");
    session.OKPrintClick();

    ASSERT_EQ(messages.size(), 1u);
    std::string expected = "Not sent to raw:";
    for (int i = 1; i <= 20; ++i)
        expected += "\nf" + std::to_string(i);
    expected += "\nand 5 more";
    EXPECT_EQ(messages[0], expected);
    EXPECT_EQ(form.statusBar1.panel(3), "Failed");
    EXPECT_EQ(session.runner().LastRun().refused.size(), 25u);
}

TEST(RefusedSendsMessage, TwentyRefusalsNeedNoCount) {
    std::vector<RefusedSend> refused;
    for (int i = 1; i <= 20; ++i)
        refused.push_back({"p", "/x/n", "n" + std::to_string(i), "r"});
    const std::string message = RefusedSendsMessage(refused);
    EXPECT_EQ(message.find("more"), std::string::npos);
    EXPECT_NE(message.find("\nn20"), std::string::npos);
    EXPECT_EQ(RefusedSendsMessage({}), "");
}

TEST_F(SpoolRunFailureTest, RefusalsOnTwoPrintersAreNamedPerPrinter) {
    List({{a, "1"}, {b, "1"}});
    spooler.refuseStart = true;
    betweenFiles = [&] { Select(kLaser); };
    session.OKPrintClick();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "Not sent to raw:\nA\n\nNot sent to laser:\nB");
}

TEST_F(SpoolRunFailureTest, RefusedCopiesOfAReplotJobAreEachReported) {
    Select(kPlotter);
    form.smartReplots.setChecked(true);
    List({{Sample("hp2xx/acad.hp"), "2"}});
    spooler.refuseFinish = true;
    session.OKPrintClick();
    EXPECT_EQ(messages, Names{"Not sent to plotter:\nacad.hp\nacad.hp"});
    EXPECT_EQ(spooler.liveJobs, 0);
}

TEST_F(SpoolRunFailureTest, ProbeFailureStopsTheRun) {
    Select(kPlotter);
    List({{a, "1"}, {b, "1"}});
    betweenFiles = [&] { probe.broken.insert("plotter"); };
    EXPECT_EQ(RunExpectingError(), "the driver failed");
    EXPECT_EQ(Documents(), Names{"A"});
    ExpectIdle();
}

}  // namespace
}  // namespace tavrin::test
