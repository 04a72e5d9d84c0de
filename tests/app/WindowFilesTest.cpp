// Files into the job list by the file dialog, a drop and a second start; the job-list files.
#include <QMimeData>
#include <QUrl>

#include <QTimer>
#include "WindowTestSupport.h"
#include "app/SingleInstance.h"
#include "platform/PrivateProfile.h"
#include "support/TempFolder.h"
#include "widgets/DropFileTarget.h"

namespace tavrin::test {
namespace {

namespace fs = std::filesystem;

const fs::path kPlotA = Sample("jem-green-HPGL2/XANADU-PLT-test.plt");
const fs::path kPlotB = Sample("jem-green-HPGL2/XANADU-PLT-test2.plt");
const fs::path kPlotC = Sample("jem-green-HPGL2/test-Model.PLT");
const fs::path kPs = Sample("ghostpdl/colorcir.ps");

class WindowFilesTest : public WindowFixture {
protected:
    std::vector<std::string> Rows() {
        std::vector<std::string> rows;
        const int count = form->session().jobList().FileCount();
        for (int row = 1; row <= count; ++row)
            rows.push_back(form->StringGrid1().cell(0, row));
        return rows;
    }
    void Drop(const std::vector<fs::path>& files) {
        QMimeData data;
        QList<QUrl> urls;
        for (const fs::path& file : files)
            urls << QUrl::fromLocalFile(QString::fromStdString(file.string()));
        data.setUrls(urls);
        TDropFileTarget* target = form->DropFileTarget1();
        target->DragEnter(&data, ssLeft, QPoint(50, 50), DROPEFFECT_COPY);
        target->Drop(&data, ssLeft, QPoint(50, 50), DROPEFFECT_COPY);
    }
};

TEST_F(WindowFilesTest, SelectFilesReplacesTheListInNewMode) {
    Start({kPs.string(), kPs.string(), kPs.string(), kPs.string(), kPs.string()});
    dialogs.answers.push_back(Chosen({kPlotA, kPlotB, kPlotC}, 1));
    QTest::mouseClick(Find<QPushButton>("SelectFiles"), Qt::LeftButton);
    EXPECT_EQ(Rows(),
              (std::vector<std::string>{kPlotA.string(), kPlotB.string(), kPlotC.string()}));
    EXPECT_EQ(Panel(1), "Files in joblist: 3");
    EXPECT_EQ(form->session().settings().PlotFilesPath, kPlotA.parent_path().string() + "/");

    ASSERT_EQ(dialogs.openRequests.size(), 1u);
    const FileDialogRequest& first = dialogs.openRequests[0];
    EXPECT_TRUE(first.multipleFiles);
    EXPECT_EQ(first.filterIndex, 0);
    EXPECT_EQ(first.filters,
              QStringList({"All files (*)", "AutoCAD / Arkey Plotfiles (*.plt)",
                           "MicroStation Plotfiles (*.000)", "AllPlan Plotfiles (*.pf*)",
                           "Windows Printfiles (*.prn)", "PostScript Printfiles (*.ps)"}));
    EXPECT_TRUE(first.fileName.isEmpty());

    // The next time the dialog opens in the files' folder, on the filter chosen last.
    Item("Selectfiles1")->trigger();
    ASSERT_EQ(dialogs.openRequests.size(), 2u);
    EXPECT_EQ(dialogs.openRequests[1].folder.toStdString(), kPlotA.parent_path().string() + "/");
    EXPECT_EQ(dialogs.openRequests[1].filterIndex, 1);
    EXPECT_EQ(form->PlotFilterIndex(), 2);
}

TEST_F(WindowFilesTest, ACancelledDialogChangesNothing) {
    Start({kPs.string()});
    const std::string folder = form->session().settings().PlotFilesPath;
    dialogs.answers.push_back(Cancelled());
    QTest::mouseClick(Find<QPushButton>("SelectFiles"), Qt::LeftButton);
    EXPECT_EQ(Rows(), std::vector<std::string>{kPs.string()});
    EXPECT_EQ(Panel(1), "Files in joblist: 1");
    EXPECT_EQ(form->session().settings().PlotFilesPath, folder);
}

TEST_F(WindowFilesTest, SelectFilesAddsInAddModeWithTheGlobalCount) {
    Start({kPs.string()});
    QTest::mouseClick(Find<QRadioButton>("AddMode"), Qt::LeftButton);
    QTest::keyClick(Find<QWidget>("SpinEdit1"), Qt::Key_Up);
    dialogs.answers.push_back(Chosen({kPlotA}));
    QTest::mouseClick(Find<QPushButton>("SelectFiles"), Qt::LeftButton);
    EXPECT_EQ(Rows(), (std::vector<std::string>{kPs.string(), kPlotA.string()}));
    EXPECT_EQ(form->StringGrid1().cell(1, 2), "2");
}

TEST_F(WindowFilesTest, DropsReplaceInNewModeAndAppendInAddMode) {
    Start();
    Drop({kPlotA, kPlotB, kPlotC, kPs});
    EXPECT_EQ(Rows().size(), 4u);
    Drop({kPlotB, kPlotC});
    EXPECT_EQ(Rows(), (std::vector<std::string>{kPlotB.string(), kPlotC.string()}));
    QTest::mouseClick(Find<QRadioButton>("AddMode"), Qt::LeftButton);
    Drop({kPs});
    EXPECT_EQ(Rows(), (std::vector<std::string>{kPlotB.string(), kPlotC.string(), kPs.string()}));
    EXPECT_EQ(form->StringGrid1().rowCount(), 4);
    // A drop leaves the dialog's folder alone.
    EXPECT_EQ(form->session().settings().PlotFilesPath.find("jem-green"), std::string::npos);
}

TEST_F(WindowFilesTest, HandedOverNamesArriveAsOneBatch) {
    Start({kPs.string()});
    QTest::mouseClick(Find<QRadioButton>("AddMode"), Qt::LeftButton);
    TempFolder scratch;
    SingleInstance running(QString::fromStdString((scratch / "socket").string()));
    ASSERT_TRUE(running.Listen());
    running.OnFiles = [this](const std::vector<std::string>& names) {
        form->AddHandedOverFiles(names);
    };
    SingleInstance second(QString::fromStdString((scratch / "socket").string()));
    // The second start runs in its own process in real use; here its socket is served by the
    // event loop while it waits.
    bool handed = false;
    QTimer::singleShot(0, [&] { handed = second.HandOver({kPlotA.string(), kPlotB.string()}); });
    QTRY_COMPARE(form->session().jobList().FileCount(), 3);
    EXPECT_TRUE(handed);
    EXPECT_EQ(Rows(), (std::vector<std::string>{kPs.string(), kPlotA.string(), kPlotB.string()}));
    EXPECT_EQ(form->session().jobList().BatchCount(), 2);
    EXPECT_EQ(Panel(1), "Files in joblist: 3");
}

TEST_F(WindowFilesTest, SaveOpenAndViewTheJobList) {
    Start({kPlotA.string(), kPlotB.string()});
    form->StringGrid1().setCell(1, 2, "3");
    const fs::path temp = form->session().settings().TempFilesPath;

    // View right after start-up writes the current list.
    Item("Viewprintlist1")->trigger();
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], (temp / "temp.tjf").string());
    const std::string text = ";\r\n" + kPlotA.string() + ";1\r\n" + kPlotB.string() + ";3\r\n";
    EXPECT_EQ(ReadFile(temp / "temp.tjf"), text);

    // Saved without an extension, the file gets "tjf".
    const fs::path saved = folders.root / "list";
    dialogs.answers.push_back(Chosen({saved}));
    Item("Savelisttofile1")->trigger();
    ASSERT_EQ(dialogs.saveRequests.size(), 1u);
    EXPECT_EQ(dialogs.saveRequests[0].folder.toStdString(), temp.string());
    EXPECT_EQ(dialogs.saveRequests[0].defaultSuffix, QStringLiteral("tjf"));
    EXPECT_EQ(dialogs.saveRequests[0].filters, QStringList{"Tavrin jobfile (*.tjf)"});
    EXPECT_EQ(ReadFile(folders.root / "list.tjf"), text);
    Item("Viewprintlist1")->trigger();
    EXPECT_EQ(opened.back(), (folders.root / "list.tjf").string());

    // A new list, then the saved one opened again.
    dialogs.answers.push_back(Chosen({kPs}));
    QTest::mouseClick(Find<QPushButton>("SelectFiles"), Qt::LeftButton);
    ASSERT_EQ(Rows(), std::vector<std::string>{kPs.string()});
    dialogs.answers.push_back(Chosen({folders.root / "list.tjf"}));
    Item("Openlistasfile1")->trigger();
    EXPECT_EQ(dialogs.openRequests.back().folder.toStdString(), temp.string());
    EXPECT_EQ(Rows(), (std::vector<std::string>{kPlotA.string(), kPlotB.string()}));
    EXPECT_EQ(form->StringGrid1().cell(1, 2), "3");
    EXPECT_EQ(Panel(1), "Files in joblist: 2");
    Item("Viewprintlist1")->trigger();
    EXPECT_EQ(opened.back(), (folders.root / "list.tjf").string());

    // The plot-file dialog comes back with its own filter and folder.
    dialogs.answers.push_back(Cancelled());
    Item("Selectfiles1")->trigger();
    EXPECT_EQ(dialogs.openRequests.back().filters.size(), 6);
    EXPECT_EQ(dialogs.openRequests.back().folder.toStdString(), kPs.parent_path().string() + "/");
}

TEST_F(WindowFilesTest, AListThatCannotBeReadIsReportedAndTheListKept) {
    Start({kPlotA.string()});
    const fs::path missing = folders.root / "missing.tjf";
    dialogs.answers.push_back(Chosen({missing}));
    Item("Openlistasfile1")->trigger();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "Cannot open file " + missing.string() + ".");
    EXPECT_EQ(Rows(), std::vector<std::string>{kPlotA.string()});
    EXPECT_EQ(Panel(1), "Files in joblist: 1");
}

TEST_F(WindowFilesTest, AListThatCannotBeWrittenIsReported) {
    Start({kPlotA.string()});
    const fs::path nowhere = folders.root / "no-such-folder" / "list.tjf";
    dialogs.answers.push_back(Chosen({nowhere}));
    Item("Savelisttofile1")->trigger();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "Cannot create file " + nowhere.string() + ".");
    EXPECT_EQ(Rows(), std::vector<std::string>{kPlotA.string()});
}

TEST_F(WindowFilesTest, TheTempFolderIsChosenOrKept) {
    Start();
    const std::string before = form->session().settings().TempFilesPath;
    std::string offered;
    form->FolderBrowse1().SetDialog(
        [&](QWidget*, const std::string&, const std::string& start) -> std::optional<std::string> {
            offered = start;
            return std::nullopt;
        });
    Item("SetTempdir1")->trigger();
    EXPECT_EQ(offered, before);
    EXPECT_EQ(form->session().settings().TempFilesPath, before);
    form->FolderBrowse1().SetDialog([&](QWidget*, const std::string&, const std::string&) {
        return std::optional<std::string>(folders.root.path().string());
    });
    Item("SetTempdir1")->trigger();
    EXPECT_EQ(form->session().settings().TempFilesPath, folders.root.path().string());
    ASSERT_TRUE(CloseWindow());
    EXPECT_EQ(ReadProfileString(folders.Ini(), "Data", "TempFilesPath", ""),
              folders.root.path().string());
}

TEST(FilterTextTest, PairsBecomeQtFilters) {
    EXPECT_EQ(QtFilters(QStringLiteral("Tavrin jobfile (*.tjf)|*.tjf|")),
              QStringList{"Tavrin jobfile (*.tjf)"});
    EXPECT_EQ(QtFilters(QStringLiteral("Plots|*.plt;*.hp|All files (*.*)|*.*")),
              QStringList({"Plots (*.plt *.hp)", "All files (*)"}));
    EXPECT_TRUE(QtFilters(QString()).isEmpty());
}

}  // namespace
}  // namespace tavrin::test
