#include "DataGridTestSupport.h"
#include "joblist/JobList.h"
#include "platform/PlainForm.h"
#include "support/TestPaths.h"

namespace tavrin {
namespace {

// The job list works on the window's grid exactly as on the in-memory one.
class JobListOnDataGridTest : public ::testing::Test {
protected:
    JobListOnDataGridTest() {
        LayOutJobListGrid(grid.Grid());
        GridOptions options;
        options.rangeSelect = true;
        options.tabs = true;
        grid.SetOptions(options);
        grid.resize(504, 191);
        grid.show();
        grid.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&grid));
    }
    void Add(int count) {
        std::vector<std::string> names;
        for (int i = 1; i <= count; ++i)
            names.push_back("/plots/sheet" + std::to_string(i));
        list.SetPendingFiles(names);
        list.SetBatchCount(count);
        list.AddBatch();
    }
    QPoint Center(int col, int row) const {
        return grid.visualRect(grid.IndexOf(col, row)).center();
    }

    test::UsesApplication app;
    TDataGrid grid;
    PlainForm form{grid.Grid()};
    JobList list{form, [] { return std::string("HPGL2"); }};
};

TEST_F(JobListOnDataGridTest, TheViewFollowsBatchesAndRemovals) {
    EXPECT_EQ(grid.model()->rowCount(), 29);
    Add(6);
    EXPECT_EQ(grid.model()->rowCount(), 6);
    EXPECT_EQ(grid.columnWidth(0), 461);
    EXPECT_EQ(grid.rowHeight(0), 16);
    EXPECT_EQ(grid.model()->headerData(0, Qt::Horizontal).toString(), "Filename");

    // Rows 2 to 5 selected by mouse, row 2 current: only row 2 goes.
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, Center(0, 2));
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, Qt::ShiftModifier, Center(1, 5));
    grid.setCurrentIndex(grid.IndexOf(0, 2));
    EXPECT_EQ(grid.Grid().currentRow(), 2);
    list.RemoveClick();
    EXPECT_EQ(grid.model()->rowCount(), 5);
    EXPECT_EQ(grid.model()->data(grid.IndexOf(0, 2)).toString(), "/plots/sheet3");

    // A right click on row 5 does not move the current row.
    QTest::mouseClick(grid.viewport(), Qt::RightButton, {}, Center(0, 5));
    list.RemoveClick();
    EXPECT_EQ(grid.model()->data(grid.IndexOf(0, 2)).toString(), "/plots/sheet4");
}

TEST_F(JobListOnDataGridTest, TheFileNameColumnRefusesEditsAndCopiesAreChecked) {
    Add(2);
    int beeps = 0;
    grid.Beep = [&] { ++beeps; };
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, Center(0, 1));
    QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, Center(0, 1));
    TDataGridInplaceEdit* editor = grid.InplaceEditor();
    ASSERT_TRUE(editor);
    QTest::keyClicks(editor, "oops");
    EXPECT_EQ(grid.Grid().cell(0, 1), "/plots/sheet1");
    QTest::keyClick(editor, Qt::Key_Tab);
    EXPECT_EQ(grid.Grid().currentCol(), 1);
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, Center(1, 1));
    QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, Center(1, 1));
    editor = grid.InplaceEditor();
    ASSERT_TRUE(editor);
    QTest::keyClicks(editor, "two");
    QTest::keyClick(editor, Qt::Key_Down);
    EXPECT_EQ(beeps, 1);
    EXPECT_EQ(grid.Grid().cell(1, 1), "1");
}

TEST_F(JobListOnDataGridTest, SetModeHidesTheCopies) {
    form.jobAsSet.onClick = [this] { list.JobAsSetClick(); };
    Add(3);
    form.jobAsSet.setChecked(true);
    EXPECT_EQ(grid.model()->headerData(1, Qt::Horizontal).toString(), "");
    EXPECT_EQ(grid.Columns(1).FontColor(), QColor(Qt::white));
    EXPECT_TRUE(grid.Columns(1).ReadOnly());
    const QPixmap shot = grid.grab();
    ASSERT_TRUE(
        shot.save(QString::fromStdString((test::OutputDir() / "job_list_as_set.png").string())));
}

}  // namespace
}  // namespace tavrin
