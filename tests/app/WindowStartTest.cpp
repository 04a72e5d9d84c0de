// The window's start-up, its close and what it keeps between runs.
#include <fstream>

#include "WindowTestSupport.h"
#include "app/Over.h"
#include "app/Stelin.h"
#include "joblist/JobList.h"
#include "platform/PrivateProfile.h"
#include "widgets/DataGrid.h"
#include "widgets/SpinEdit.h"

namespace tavrin::test {
namespace {

namespace fs = std::filesystem;

std::string IniValue(const fs::path& ini, const char* section, const char* key) {
    return ReadProfileString(ini, section, key, "<none>");
}

class WindowStartTest : public WindowFixture {};

TEST_F(WindowStartTest, CommandLineFilesAreTheFirstBatch) {
    const fs::path plot = Sample("jem-green-HPGL2/XANADU-PLT-test.plt");
    const fs::path ps = Sample("ghostpdl/colorcir.ps");
    Start({plot.string(), ps.string()});
    EXPECT_EQ(form->StringGrid1().cell(0, 1), plot.string());
    EXPECT_EQ(form->StringGrid1().cell(1, 1), "1");
    EXPECT_EQ(form->StringGrid1().cell(0, 2), ps.string());
    EXPECT_EQ(form->session().jobList().FileCount(), 2);
    EXPECT_EQ(Panel(1), "Files in joblist: 2");
    EXPECT_EQ(Panel(0), "Mode: start a new joblist");
    EXPECT_EQ(Panel(2), "Port: " + form->session().printers().PortName());
    EXPECT_EQ(Find<QGroupBox>("GroupBox3")->title(), QStringLiteral("HPGL/2 devices only"));
    EXPECT_TRUE(messages.empty());
    Screenshot("window-hpgl");
}

TEST_F(WindowStartTest, ARelativeNameBecomesTheFileInTheCurrentFolder) {
    const fs::path before = fs::current_path();
    fs::current_path(Sample("ghostpdl"));
    Start({"colorcir.ps"});
    fs::current_path(before);
    EXPECT_EQ(form->StringGrid1().cell(0, 1), Sample("ghostpdl/colorcir.ps").string());
}

TEST_F(WindowStartTest, WithoutArgumentsTheListIsEmptyAndTheScheduleEditsHidden) {
    Start();
    EXPECT_EQ(form->session().jobList().FileCount(), 0);
    EXPECT_EQ(form->StringGrid1().rowCount(), JobList::kEmptyRowCount);
    EXPECT_EQ(Panel(1), "Files in joblist: 0");
    for (const char* name : {"Uur", "Minuut"})
        EXPECT_TRUE(Find<QWidget>(name)->isHidden()) << name;
    for (const char* name : {"Label2", "Label4"})
        EXPECT_TRUE(Find<QLabel>(name)->isHidden()) << name;
    EXPECT_FALSE(Item("Resumeprinting1")->isEnabled());
    EXPECT_TRUE(Item("Pauseprinting1")->isEnabled());
    EXPECT_EQ(QApplication::focusWidget(), Find<QPushButton>("OKPrint"));
}

TEST_F(WindowStartTest, AFirstRunWritesTheFileAndTheFirstCloseStoresTheControls) {
    ASSERT_FALSE(fs::exists(folders.Ini()));
    Start();
    EXPECT_TRUE(form->FirstRun());
    ASSERT_TRUE(fs::exists(folders.Ini()));
    EXPECT_EQ(IniValue(folders.Ini(), "Schedule", "Minutes"), "30");
    EXPECT_EQ(IniValue(folders.Ini(), "Printers", "Printer#"), "-1");
    EXPECT_EQ(IniValue(folders.Ini(), "Data", "PlotFilesPath"), "<none>");
    EXPECT_TRUE(Item("PortinStatusbar1")->isChecked());
    EXPECT_FALSE(Item("Printertype1")->isChecked());
    EXPECT_TRUE(Item("Reverseset1")->isChecked());
    EXPECT_EQ(Panel(2).rfind("Port: ", 0), 0u) << Panel(2);
    // The temporary files go to the cache folder.
    EXPECT_EQ(form->session().settings().TempFilesPath, folders.location.CacheFolder);

    ASSERT_TRUE(CloseWindow());
    EXPECT_EQ(IniValue(folders.Ini(), "Schedule", "Minutes"), "0");
    EXPECT_EQ(IniValue(folders.Ini(), "Schedule", "Hours"), "12");
    EXPECT_EQ(IniValue(folders.Ini(), "Printers", "Printer#"), "0");
    EXPECT_NE(IniValue(folders.Ini(), "Data", "PlotFilesPath"), "<none>");

    Start();
    EXPECT_FALSE(form->FirstRun());
}

TEST_F(WindowStartTest, AMovedWindowReopensWhereItWasClosed) {
    Start();
    ASSERT_TRUE(CloseWindow());
    Start();
    form->move(57, 91);
    ASSERT_TRUE(CloseWindow());
    EXPECT_EQ(IniValue(folders.Ini(), "Window", "xpos"), "57");
    EXPECT_EQ(IniValue(folders.Ini(), "Window", "ypos"), "91");
    Start();
    EXPECT_EQ(form->pos(), QPoint(57, 91));
    EXPECT_EQ(form->Left(), 57);
    EXPECT_EQ(form->Top(), 91);
}

TEST_F(WindowStartTest, AFailedSaveKeepsTheWindowOpenAndSaysWhy) {
    Start();
    // The settings file's folder becomes a file: nothing can be written there.
    const fs::path folder = folders.Ini().parent_path();
    fs::remove_all(folder);
    std::ofstream(folder.string()) << "in the way";
    EXPECT_FALSE(form->close());
    EXPECT_TRUE(form->isVisible());
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].rfind("Unable to write to ", 0), 0u) << messages[0];
    // The window goes on: a command still works, and once the way is clear it closes.
    QTest::mouseClick(Find<QRadioButton>("AddMode"), Qt::LeftButton);
    EXPECT_EQ(Panel(0), "Mode: add files to joblist");
    fs::remove(folder);
    EXPECT_TRUE(CloseWindow());
    EXPECT_EQ(IniValue(folders.Ini(), "Mode", "AddMode"), "1");
}

TEST_F(WindowStartTest, AbortClosesSavesAndEndsTheProgram) {
    Start();
    Find<QCheckBox>("JobAsSet")->setChecked(false);
    Item("Clearafterspooling1")->trigger();
    Item("Abort1")->trigger();
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(endRequests, 1);
    EXPECT_EQ(IniValue(folders.Ini(), "Mode", "ClearAfterSpool"), "1");
}

TEST_F(WindowStartTest, StoredModesAndPageSizeComeBack) {
    Start();
    QTest::mouseClick(Find<QRadioButton>("AddMode"), Qt::LeftButton);
    Item("Printertype1")->trigger();
    Item("A2size1")->trigger();
    ASSERT_TRUE(CloseWindow());
    Start();
    EXPECT_TRUE(Find<QRadioButton>("AddMode")->isChecked());
    EXPECT_FALSE(Find<QRadioButton>("RepMode")->isChecked());
    EXPECT_EQ(Panel(0), "Mode: add files to joblist");
    EXPECT_TRUE(Item("Printertype1")->isChecked());
    EXPECT_FALSE(Item("PortinStatusbar1")->isChecked());
    EXPECT_EQ(Panel(2), "HPGL/2 printertype selected");
    EXPECT_TRUE(Item("A2size1")->isChecked());
    EXPECT_FALSE(Item("A4size1")->isChecked());
}

TEST_F(WindowStartTest, TheDialogsAreMadeHiddenAndShownByTheirItems) {
    Start();
    ASSERT_TRUE(form->OverTavrin() && form->Configure());
    EXPECT_FALSE(form->OverTavrin()->isVisible());
    EXPECT_FALSE(form->Configure()->isVisible());
    Item("QLfromstart1")->trigger();
    EXPECT_TRUE(form->Configure()->isVisible());
    EXPECT_FALSE(form->Configure()->SpinEdit1()->isHidden());
    EXPECT_TRUE(form->Configure()->SpinEdit2()->isHidden());
    Item("RPfromend1")->trigger();
    EXPECT_TRUE(form->Configure()->SpinEdit1()->isHidden());
    EXPECT_FALSE(form->Configure()->SpinEdit2()->isHidden());
    Item("About2")->trigger();
    EXPECT_TRUE(form->OverTavrin()->isVisible());
    // Closing the window takes its dialogs with it.
    TOverTavrin* about = form->OverTavrin();
    ASSERT_TRUE(form->close());
    EXPECT_FALSE(about->isVisible());
}

TEST_F(WindowStartTest, TheDialogCommandsMakeTheirDialogsWhenNoneAreMadeYet) {
    makeDialogs = false;
    Start();
    EXPECT_FALSE(form->OverTavrin() || form->Configure());
    Item("RPfromend1")->trigger();
    ASSERT_TRUE(form->Configure());
    EXPECT_TRUE(form->Configure()->isVisible());
    EXPECT_FALSE(form->Configure()->SpinEdit2()->isHidden());
    TConfigure* configure = form->Configure();
    // Made once: later commands and the start-up's own call keep the same dialogs.
    form->CreateDialogs();
    Item("QLfromstart1")->trigger();
    EXPECT_EQ(form->Configure(), configure);
    EXPECT_EQ(form->findChildren<TConfigure*>().size(), 1);
    Item("About2")->trigger();
    ASSERT_TRUE(form->OverTavrin());
    EXPECT_TRUE(form->OverTavrin()->isVisible());
    EXPECT_EQ(form->findChildren<TOverTavrin*>().size(), 1);
}

}  // namespace
}  // namespace tavrin::test
