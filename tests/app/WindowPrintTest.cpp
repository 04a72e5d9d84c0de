// Printing from the window and the printer-dependent options, against the private print server.
#include <QLineEdit>
#include <QTimer>
#include "WindowTestSupport.h"
#include "app/QueueWindow.h"
#include "platform/PrivateProfile.h"
#include "support/TempFolder.h"

namespace tavrin::test {
namespace {

namespace fs = std::filesystem;
using Server = SandboxPrintServer;

class WindowPrintTest : public WindowFixture {};

TEST_F(WindowPrintTest, OkPrintSendsEveryFileAndShowsDone) {
    const fs::path plot = Sample("jem-green-HPGL2/XANADU-PLT-test.plt");
    const fs::path small = Sample("jem-green-HPGL2/test-Model.PLT");
    Start({plot.string(), small.string()});
    ChoosePrinter(Server::kRawQueue);
    const std::size_t before = PrintServer().ReceivedFiles(Server::kRawQueue).size();

    auto* okPrint = Find<QPushButton>("OKPrint");
    QStringList captionsDuringRun;
    // The run lets the window work between files: the caption is read there.
    QTimer watcher;
    QObject::connect(&watcher, &QTimer::timeout, [&] { captionsDuringRun << okPrint->text(); });
    watcher.start(0);
    QTest::mouseClick(okPrint, Qt::LeftButton);
    watcher.stop();

    EXPECT_TRUE(captionsDuringRun.contains(QStringLiteral("Busy!")));
    EXPECT_EQ(Panel(3), "Done");
    EXPECT_TRUE(okPrint->isEnabled());
    EXPECT_EQ(okPrint->text(), QStringLiteral("&OK, Print!!"));
    EXPECT_TRUE(messages.empty()) << messages.front();
    const auto jobs = PrintServer().WaitForJobs(Server::kRawQueue, before + 2);
    ASSERT_EQ(jobs.size(), before + 2);
    EXPECT_EQ(jobs[before].title, plot.filename().string());
    EXPECT_TRUE(SameContents(jobs[before].file, plot));
    EXPECT_EQ(jobs[before + 1].title, small.filename().string());
    EXPECT_TRUE(SameContents(jobs[before + 1].file, small));
}

TEST_F(WindowPrintTest, CopiesByPlotterSendsTheRewrittenFileOnce) {
    const fs::path plot = Sample("jem-green-HPGL2/test-Model.PLT");
    Start({plot.string()});
    ChoosePrinter(Server::kHpglQueue);
    auto* smart = Find<QCheckBox>("SmartReplots");
    ASSERT_TRUE(smart->isVisible());
    QTest::mouseClick(smart, Qt::LeftButton);
    ASSERT_TRUE(smart->isChecked());
    form->StringGrid1().setCell(1, 1, "3");
    const std::size_t before = PrintServer().ReceivedFiles(Server::kHpglQueue).size();
    QTest::mouseClick(Find<QPushButton>("OKPrint"), Qt::LeftButton);
    EXPECT_EQ(Panel(3), "Done");
    const auto jobs = PrintServer().WaitForJobs(Server::kHpglQueue, before + 1);
    const std::string sent = ReadFile(jobs.back().file);
    EXPECT_NE(sent.find("RP2;"), std::string::npos);
}

TEST_F(WindowPrintTest, AMissingFileShowsItsMessageAndTheWindowGoesOn) {
    TempFolder scratch;
    const fs::path missing = scratch / "gone.plt";
    Start({missing.string()});
    ChoosePrinter(Server::kRawQueue);
    QTest::mouseClick(Find<QPushButton>("OKPrint"), Qt::LeftButton);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "Cannot open file " + missing.string() + ".");
    auto* okPrint = Find<QPushButton>("OKPrint");
    EXPECT_TRUE(okPrint->isEnabled());
    EXPECT_EQ(okPrint->text(), QStringLiteral("&OK, Print!!"));
    // The list is kept, and the window takes the next command.
    EXPECT_EQ(form->StringGrid1().cell(0, 1), missing.string());
    WriteFile(missing, "IN;SP1;PA0,0;PD100,100;PU;");
    QTest::mouseClick(okPrint, Qt::LeftButton);
    EXPECT_EQ(messages.size(), 1u);
    EXPECT_EQ(Panel(3), "Done");
}

TEST_F(WindowPrintTest, ACopyCountThatIsNoNumberIsReported) {
    const fs::path plot = Sample("jem-green-HPGL2/test-Model.PLT");
    Start({plot.string()});
    ChoosePrinter(Server::kRawQueue);
    form->StringGrid1().setCell(1, 1, "x");
    QTest::mouseClick(Find<QPushButton>("OKPrint"), Qt::LeftButton);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "'x' is not a valid integer value.");
}

TEST_F(WindowPrintTest, PostScriptKeepsCopiesByPrinterAndEnablesCollate) {
    Start({Sample("ghostpdl/colorcir.ps").string()});
    ChoosePrinter(Server::kPostScriptQueue);
    auto* smart = Find<QCheckBox>("SmartReplots");
    auto* collate = Find<QCheckBox>("PSCollate");
    EXPECT_EQ(smart->text(), QStringLiteral("Copies by printer"));
    EXPECT_EQ(Find<QGroupBox>("GroupBox3")->title(), QStringLiteral("PS devices only"));
    QTest::mouseClick(smart, Qt::LeftButton);
    ASSERT_TRUE(smart->isChecked());
    EXPECT_TRUE(collate->isEnabled());
    // Choosing the PostScript printer again keeps the check.
    auto* printers = Find<QComboBox>("PrinterList");
    emit printers->activated(printers->currentIndex());
    EXPECT_TRUE(smart->isChecked());
    EXPECT_TRUE(collate->isEnabled());
    EXPECT_TRUE(Find<QCheckBox>("FitToPage")->isVisible());
    EXPECT_FALSE(Find<QCheckBox>("RemoveQL")->isVisible());
    Screenshot("window-postscript");
}

TEST_F(WindowPrintTest, ARawQueueClearsAndHidesTheOptions) {
    Start({Sample("jem-green-HPGL2/test-Model.PLT").string()});
    ChoosePrinter(Server::kHpglQueue);
    auto* smart = Find<QCheckBox>("SmartReplots");
    auto* quality = Find<QCheckBox>("RemoveQL");
    QTest::mouseClick(smart, Qt::LeftButton);
    QTest::mouseClick(quality, Qt::LeftButton);
    ASSERT_TRUE(smart->isChecked() && quality->isChecked());
    ChoosePrinter(Server::kRawQueue);
    EXPECT_FALSE(smart->isChecked());
    EXPECT_FALSE(quality->isChecked());
    EXPECT_FALSE(Find<QCheckBox>("FitToPage")->isChecked());
    for (const char* name : {"SmartReplots", "RemoveQL", "FitToPage"})
        EXPECT_FALSE(Find<QCheckBox>(name)->isVisible()) << name;
    EXPECT_FALSE(Find<QGroupBox>("GroupBox3")->isVisible());
    EXPECT_EQ(form->session().printers().PrinterName(), Server::kRawQueue);
    Screenshot("window-raw");
}

TEST_F(WindowPrintTest, APageSizeItemChangesTheCaptionAndIsStored) {
    Start();
    Item("A0size1")->trigger();
    EXPECT_EQ(Find<QCheckBox>("FitToPage")->text(), QStringLiteral("Fit to page: A0"));
    for (const char* name : {"A5size1", "A4size1", "A3size1", "A2size1", "A1size1"})
        EXPECT_FALSE(Item(name)->isChecked()) << name;
    EXPECT_TRUE(Item("A0size1")->isChecked());
    // Choosing the checked item again keeps it checked.
    Item("A0size1")->trigger();
    EXPECT_TRUE(Item("A0size1")->isChecked());
    ASSERT_TRUE(CloseWindow());
    EXPECT_EQ(ReadProfileString(folders.Ini(), "SetUp", "PSPageSize", ""), "A0");
}

TEST_F(WindowPrintTest, TheStatusPanelFollowsTheRadioItems) {
    Start();
    ChoosePrinter(Server::kHpglQueue);
    Item("Printertype1")->trigger();
    EXPECT_EQ(Panel(2), "HPGL/2 printertype selected");
    EXPECT_TRUE(Item("Printertype1")->isChecked());
    EXPECT_FALSE(Item("PortinStatusbar1")->isChecked());
    Item("Printertype1")->trigger();
    EXPECT_TRUE(Item("Printertype1")->isChecked());
    Item("PortinStatusbar1")->trigger();
    EXPECT_EQ(Panel(2).rfind("Port: socket://", 0), 0u) << Panel(2);
    EXPECT_FALSE(Item("Printertype1")->isChecked());
}

TEST_F(WindowPrintTest, TheListTogglesFlipTheirCheckMarks) {
    Start();
    QAction* clear = Item("Clearafterspooling1");
    const bool was = clear->isChecked();
    clear->trigger();
    EXPECT_NE(clear->isChecked(), was);
    clear->trigger();
    EXPECT_EQ(clear->isChecked(), was);
    QAction* reverse = Item("Reverseset1");
    const bool reverseWas = reverse->isChecked();
    reverse->trigger();
    EXPECT_NE(reverse->isChecked(), reverseWas);
    EXPECT_EQ(form->session().options().ReverseSet(), !reverseWas);
}

TEST_F(WindowPrintTest, PauseAndResumeSwapTheItemsAndShowQueueOpensAWindow) {
    Start();
    ChoosePrinter(Server::kOceQueue);
    Item("Pauseprinting1")->trigger();
    EXPECT_FALSE(Item("Pauseprinting1")->isEnabled());
    EXPECT_TRUE(Item("Resumeprinting1")->isEnabled());
    Item("Resumeprinting1")->trigger();
    EXPECT_TRUE(Item("Pauseprinting1")->isEnabled());
    EXPECT_FALSE(Item("Resumeprinting1")->isEnabled());
    Item("ShowQ1")->trigger();
    EXPECT_TRUE(messages.empty());
    EXPECT_TRUE(QueueWindow::Find(Server::kOceQueue));
}

TEST_F(WindowPrintTest, EnterPressesOkPrintExceptInsideTheGrid) {
    Start({Sample("jem-green-HPGL2/test-Model.PLT").string()});
    ChoosePrinter(Server::kRawQueue);
    const std::size_t before = PrintServer().ReceivedFiles(Server::kRawQueue).size();
    auto* grid = Find<QWidget>("StringGrid1");
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_Return);
    EXPECT_EQ(Panel(3), "");
    auto* schedule = Find<QCheckBox>("Schedule");
    schedule->setFocus();
    QTest::keyClick(schedule, Qt::Key_Return);
    EXPECT_EQ(Panel(3), "Done");
    EXPECT_EQ(PrintServer().WaitForJobs(Server::kRawQueue, before + 1).size(), before + 1);
}

TEST_F(WindowPrintTest, TheScheduleStartsTheRunAtTheSetMinute) {
    Start({Sample("jem-green-HPGL2/test-Model.PLT").string()});
    ChoosePrinter(Server::kRawQueue);
    auto* timer = form->findChild<QTimer*>(QStringLiteral("Timer1"));
    auto* uur = Find<QLineEdit>("Uur");
    QTest::mouseClick(Find<QCheckBox>("Schedule"), Qt::LeftButton);
    EXPECT_TRUE(timer->isActive());
    for (const char* name : {"Uur", "Minuut", "Label2", "Label4"})
        EXPECT_FALSE(Find<QWidget>(name)->isHidden()) << name;

    // A typed hour past the day's last becomes 23 when the edit is left.
    uur->setFocus();
    uur->selectAll();
    QTest::keyClicks(uur, "25");
    Find<QWidget>("Minuut")->setFocus();
    EXPECT_EQ(form->Uur().value(), 23);
    EXPECT_EQ(uur->text(), QStringLiteral("23"));

    form->Uur().setValue(clock.now.hour);
    form->Minuut().setValue(clock.now.minute);
    QTest::mouseClick(Find<QPushButton>("OKPrint"), Qt::LeftButton);
    EXPECT_EQ(Find<QPushButton>("OKPrint")->text(), QStringLiteral("Starts at 09:15"));
    EXPECT_FALSE(Find<QPushButton>("OKPrint")->isEnabled());
    const std::size_t before = PrintServer().ReceivedFiles(Server::kRawQueue).size();
    ASSERT_TRUE(QMetaObject::invokeMethod(timer, "timeout", Qt::DirectConnection));
    EXPECT_EQ(Panel(3), "Done");
    EXPECT_EQ(timer->interval(), 120000);
    EXPECT_TRUE(timer->isActive());
    EXPECT_TRUE(Find<QPushButton>("OKPrint")->isEnabled());
    EXPECT_EQ(PrintServer().WaitForJobs(Server::kRawQueue, before + 1).size(), before + 1);

    QTest::mouseClick(Find<QCheckBox>("Schedule"), Qt::LeftButton);
    EXPECT_FALSE(timer->isActive());
    EXPECT_TRUE(uur->isHidden());
}

}  // namespace
}  // namespace tavrin::test
