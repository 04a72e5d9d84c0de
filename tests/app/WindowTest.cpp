// SPDX-License-Identifier: GPL-3.0-or-later
// The real window against the private print server: start-up and close, the job list, printing.
#ifndef _WIN32
#include <cups/cups.h>
#endif

#include <QMimeData>
#include <QTimer>
#include <QTreeWidget>
#include <QUrl>

#include "WindowTestSupport.h"
#include "app/Over.h"
#include "app/QueueWindow.h"
#include "app/Stelin.h"
#include "platform/PrivateProfile.h"
#ifndef _WIN32
#include "support/DelayingProxy.h"
#endif
#include "widgets/DropFileTarget.h"

namespace tavrin::test {
namespace {

namespace fs = std::filesystem;
using Server = SandboxPrintServer;

const fs::path kPlotA = Sample("jem-green-HPGL2/XANADU-PLT-test.plt");
const fs::path kPlotB = Sample("jem-green-HPGL2/XANADU-PLT-test2.plt");
const fs::path kPlotC = Sample("jem-green-HPGL2/test-Model.PLT");
const fs::path kPs = Sample("ghostpdl/colorcir.ps");
const char kSeparator = static_cast<char>(fs::path::preferred_separator);
const std::string kPlotFolder = kPlotA.parent_path().string() + kSeparator;

class WindowTest : public WindowFixture {
protected:
    std::string Ini(const char* section, const char* key) {
        return ReadProfileString(folders.Ini(), section, key, "<none>");
    }
    std::size_t Jobs(const char* queue) { return PrintServer().ReceivedFiles(queue).size(); }
    void ExpectReady() {
        EXPECT_TRUE(Find("OKPrint")->isEnabled());
        EXPECT_EQ(Find<QPushButton>("OKPrint")->text(), QStringLiteral("&OK, Print!!"));
    }
    void Drop(const std::vector<fs::path>& files) {
        QMimeData data;
        QList<QUrl> urls;
        for (const fs::path& file : files)
            urls << QUrl::fromLocalFile(QString::fromStdString(file.string()));
        data.setUrls(urls);
        form->DropFileTarget1()->DragEnter(&data, ssLeft, QPoint(50, 50), DROPEFFECT_COPY);
        form->DropFileTarget1()->Drop(&data, ssLeft, QPoint(50, 50), DROPEFFECT_COPY);
    }
};

TEST_F(WindowTest, AFirstRunWritesTheFileEachCloseStoresWhatComesBackAFailedOneKeepsTheWindow) {
    SKIP_WITHOUT_PRINT_SERVER();
    ASSERT_FALSE(fs::exists(folders.Ini()));
    Start();
    EXPECT_EQ(Panel(1), "Files in joblist: 0");
    EXPECT_EQ(Which(&QWidget::isHidden, {"Uur", "Minuut", "Label2", "Label4", "OKPrint"}),
              "Uur Minuut Label2 Label4");
    EXPECT_EQ(Which(&QAction::isEnabled, {"Resumeprinting1", "Pauseprinting1"}), "Pauseprinting1");
    EXPECT_EQ(QApplication::focusWidget(), Find("OKPrint"));
    EXPECT_TRUE(form->FirstRun());
    EXPECT_EQ(Ini("Printers", "Printer#"), "-1");
    ASSERT_TRUE(CloseWindow());
    EXPECT_EQ((Texts{Ini("Schedule", "Minutes"), Ini("Printers", "Printer#")}), (Texts{"0", "0"}));
    EXPECT_NE(Ini("Data", "PlotFilesPath"), "<none>");

    Start();
    EXPECT_FALSE(form->FirstRun());
    form->move(57, 91);
    // The settings file's folder becomes a file: nothing can be written there.
    const fs::path folder = folders.Ini().parent_path();
    fs::remove_all(folder);
    WriteBytes(folder, "in the way");
    EXPECT_EQ((std::pair{form->close(), form->isVisible()}), (std::pair{false, true}));
    EXPECT_EQ(messages, Texts{"Unable to write to " + folders.Ini().string() + "."});
    Click("AddMode");
    fs::remove(folder);
    ASSERT_TRUE(CloseWindow());
    Start();
    EXPECT_EQ(form->pos(), QPoint(57, 91));
    EXPECT_EQ(Which(&QAbstractButton::isChecked, {"AddMode", "RepMode"}), "AddMode");
    EXPECT_EQ(Panel(0), "Mode: add files to joblist");

    Find<QCheckBox>("JobAsSet")->setChecked(false);
    Item("Clearafterspooling1")->trigger();
    Item("Abort1")->trigger();
    EXPECT_EQ((std::pair{form->isVisible(), endRequests}), (std::pair{false, 1}));
    EXPECT_EQ(Ini("Mode", "ClearAfterSpool"), "1");
}

// Closed before the answers come, the window keeps the stored printer.
TEST_F(WindowTest, ASlowPrintServerFillsThePrinterBoxWhenItAnswers) {
#ifdef _WIN32
    GTEST_SKIP() << "a slow CUPS server between the window and the sandbox print server: a POSIX "
                    "test";
#else
    Start();
    ChoosePrinter(Server::kPostScriptQueue);
    ASSERT_TRUE(CloseWindow());
    DelayingProxy slow(PrintServer().Socket(), std::chrono::milliseconds(300));
    setenv("CUPS_SERVER", slow.Address().c_str(), 1);
    cupsSetServer(slow.Address().c_str());
    listing = PrinterListing::WhenAnswered;
    for (const char* step : {"answered", "closed before", "never answered"}) {
        SCOPED_TRACE(step);
        // A second of silence is the limit once the server is to stay silent.
        timeouts = step == std::string("answered") ? CupsTimeouts{} : CupsTimeouts{1000, 1.0};
        slow.Hold();
        Start();
        auto* box = Find<QComboBox>("PrinterList");
        EXPECT_EQ(box->count(), 0);
        if (step == std::string("answered")) {
            slow.Release();
            ASSERT_TRUE(QTest::qWaitFor([&] { return box->count() == 4; }, 30000));
            EXPECT_EQ((Texts{box->currentText().toStdString(), Panel(2).substr(0, 6),
                             Find<QGroupBox>("GroupBox3")->title().toStdString()}),
                      (Texts{Server::kPostScriptQueue, "Port: ", "PS devices only"}));
            // A printer change waits for several answers; the window's timers run meanwhile.
            int ticks = 0, busy = 0;
            QTimer ticker;
            QObject::connect(&ticker, &QTimer::timeout, [&] {
                ++ticks;
                busy += QGuiApplication::overrideCursor() != nullptr;
            });
            ticker.start(20);
            ChoosePrinter(Server::kHpglQueue);
            EXPECT_TRUE(ticks >= 20 && busy >= 10 && !QGuiApplication::overrideCursor())
                << ticks << " ticks, " << busy << " with the busy cursor";
            EXPECT_EQ(Find<QGroupBox>("GroupBox3")->title().toStdString(), "HPGL/2 devices only");
            ChoosePrinter(Server::kPostScriptQueue);
        } else if (step == std::string("never answered")) {
            EXPECT_TRUE(QTest::qWaitFor([&] { return !messages.empty(); }, 30000));
            EXPECT_EQ(messages, Texts{"No printer or plotter installed\nInstall a driver before "
                                      "you use this program"});
        }
        ASSERT_TRUE(CloseWindow());
        EXPECT_EQ(Ini("Printers", "Printer#"), "2");
        slow.Release();
        server.reset();
    }
    setenv("CUPS_SERVER", PrintServer().Socket().c_str(), 1);
    cupsSetServer(PrintServer().Socket().c_str());
#endif
}

TEST_F(WindowTest, TheDialogsAreMadeOnceHiddenAndShownByTheirItems) {
    for (const bool made : {true, false}) {
        SCOPED_TRACE(made ? "made at start-up" : "made by their items");
        makeDialogs = made;
        Start();
        EXPECT_EQ((std::pair{form->OverTavrin() != nullptr, form->Configure() != nullptr}),
                  (std::pair{made, made}));
        EXPECT_FALSE(made && (form->OverTavrin()->isVisible() || form->Configure()->isVisible()));
        Item(made ? "QLfromstart1" : "RPfromend1")->trigger();
        TConfigure* configure = form->Configure();
        ASSERT_TRUE(configure);
        const auto hidden = [configure] {
            return test::Which(*configure, &QWidget::isHidden, {"SpinEdit1", "SpinEdit2"});
        };
        EXPECT_EQ(hidden(), made ? "SpinEdit2" : "SpinEdit1");
        form->CreateDialogs();  // the start-up's own call, once more
        Item(made ? "RPfromend1" : "QLfromstart1")->trigger();
        Item("About2")->trigger();
        TOverTavrin* about = form->OverTavrin();
        ASSERT_TRUE(about && form->Configure() == configure);
        EXPECT_EQ(hidden(), made ? "SpinEdit1" : "SpinEdit2");
        EXPECT_EQ((std::tuple{configure->isVisible(), about->isVisible(),
                              form->findChildren<TConfigure*>().size(),
                              form->findChildren<TOverTavrin*>().size()}),
                  (std::tuple{true, true, 1, 1}));
        ASSERT_TRUE(form->close());
        EXPECT_FALSE(about->isVisible());
    }
}

TEST_F(WindowTest, SelectedDroppedAndHandedOverFilesReplaceInNewModeAndAddInAddMode) {
    Start(Texts(5, kPs.string()));
    const std::string folder = form->Stored().plain.PlotFilesPath;
    dialogs.answers = {{}, Chosen({kPlotA, kPlotB, kPlotC}, 1)};
    Click("SelectFiles");
    EXPECT_EQ(Rows(), Texts(5, kPs.string()));
    EXPECT_EQ(form->Stored().plain.PlotFilesPath, folder);
    ASSERT_EQ(dialogs.openRequests.size(), 1u);
    const FileDialogRequest& first = dialogs.openRequests[0];
    EXPECT_TRUE(first.multipleFiles && first.fileName.isEmpty() && first.filterIndex == 0);
    EXPECT_EQ(first.filters,
              QStringList({"All files (*)", "AutoCAD / Arkey Plotfiles (*.plt)",
                           "MicroStation Plotfiles (*.000)", "AllPlan Plotfiles (*.pf*)",
                           "Windows Printfiles (*.prn)", "PostScript Printfiles (*.ps)"}));

    Click("SelectFiles");
    EXPECT_EQ(Rows(), (Texts{kPlotA.string(), kPlotB.string(), kPlotC.string()}));
    EXPECT_EQ(form->Stored().plain.PlotFilesPath, kPlotFolder);
    // The next time the dialog opens in the files' folder, on the filter chosen last.
    Item("Selectfiles1")->trigger();
    EXPECT_EQ((std::pair{dialogs.openRequests.back().folder.toStdString(),
                         dialogs.openRequests.back().filterIndex}),
              (std::pair{kPlotFolder, 1}));

    Click("AddMode");
    QTest::keyClick(Find("SpinEdit1"), Qt::Key_Up);
    dialogs.answers.push_back(Chosen({kPs}));
    Click("SelectFiles");
    EXPECT_EQ(Rows(), (Texts{kPlotA.string(), kPlotB.string(), kPlotC.string(), kPs.string()}));
    EXPECT_EQ(form->StringGrid1().cell(1, 4), "2");

    Drop({kPlotC});
    const int batches = form->Jobs().BatchCount();
    form->AddHandedOverFiles({kPlotA.string(), kPlotB.string()});
    EXPECT_EQ(Rows(), (Texts{kPlotA.string(), kPlotB.string(), kPlotC.string(), kPs.string(),
                             kPlotC.string(), kPlotA.string(), kPlotB.string()}));
    EXPECT_EQ(form->Jobs().BatchCount(), batches + 1);
    Click("RepMode");
    Drop({kPlotB, kPs});
    EXPECT_EQ(Rows(), (Texts{kPlotB.string(), kPs.string()}));
    // A drop leaves the dialog's folder alone.
    EXPECT_EQ(form->Stored().plain.PlotFilesPath, kPs.parent_path().string() + kSeparator);
}

TEST_F(WindowTest, SaveOpenAndViewTheJobListFailuresKeepItAndTheTempFolderIsChosen) {
    SKIP_WITHOUT_PRINT_SERVER();
    Start({kPlotA.string(), kPlotB.string()});
    form->StringGrid1().setCell(1, 2, "3");
    const fs::path temp = form->Stored().plain.TempFilesPath;
    const fs::path saved = folders.root / "list.tjf";

    // View right after start-up writes the current list; saved without an extension, the file
    // gets "tjf"; the plot-file dialog comes back with its own filter and folder.
    dialogs.answers = {Chosen({folders.root / "list"}), Chosen({kPs}), Chosen({saved}), {}};
    Item("Viewprintlist1")->trigger();
    Item("Savelisttofile1")->trigger();
    Item("Viewprintlist1")->trigger();
    Click("SelectFiles");
    ASSERT_EQ(Rows(), Texts{kPs.string()});
    Item("Openlistasfile1")->trigger();
    Item("Viewprintlist1")->trigger();
    Item("Selectfiles1")->trigger();
    EXPECT_EQ(opened, (Texts{(temp / "temp.tjf").string(), saved.string(), saved.string()}));
    EXPECT_EQ(ReadFile(saved), ReadFile(temp / "temp.tjf"));
    EXPECT_EQ(Rows(), (Texts{kPlotA.string(), kPlotB.string()}));
    EXPECT_EQ(form->StringGrid1().cell(1, 2), "3");
    ASSERT_EQ((std::pair{dialogs.saveRequests.size(), dialogs.openRequests.size()}),
              (std::pair{std::size_t{1}, std::size_t{3}}));
    const FileDialogRequest &save = dialogs.saveRequests[0], &open = dialogs.openRequests[1],
                            &plots = dialogs.openRequests[2];
    EXPECT_EQ(QStringList({save.folder, save.defaultSuffix, open.folder}) + save.filters,
              QStringList({QString::fromStdString(temp.string()), "tjf",
                           QString::fromStdString(temp.string()), "Tavrin jobfile (*.tjf)"}));
    EXPECT_EQ((std::pair{plots.filters.size(), plots.folder.toStdString()}),
              (std::pair{qsizetype{6}, kPs.parent_path().string() + kSeparator}));

    const fs::path missing = folders.root / "missing.tjf";
    const fs::path nowhere = folders.root / "no-such-folder" / "list.tjf";
    dialogs.answers = {Chosen({missing}), Chosen({nowhere})};
    Item("Openlistasfile1")->trigger();
    Item("Savelisttofile1")->trigger();
    EXPECT_EQ(messages, (Texts{"Cannot open file " + missing.string() + ".",
                               "Cannot create file " + nowhere.string() + "."}));
    EXPECT_EQ(Rows(), (Texts{kPlotA.string(), kPlotB.string()}));

    std::string offered;
    std::optional<std::string> answer;  // none: cancelled
    form->FolderBrowse1().SetDialog([&](QWidget*, const std::string&, const std::string& start) {
        offered = start;
        return answer;
    });
    Item("SetTempdir1")->trigger();
    EXPECT_EQ((Texts{offered, form->Stored().plain.TempFilesPath}),
              (Texts{temp.string(), temp.string()}));
    answer = folders.root.path().string();
    Item("SetTempdir1")->trigger();
    ASSERT_TRUE(CloseWindow());
    EXPECT_EQ(Ini("Data", "TempFilesPath"), folders.root.path().string());
}

TEST(FilterTextTest, PairsBecomeQtFilters) {
    EXPECT_EQ(QtFilters(QStringLiteral("Plots|*.plt;*.hp|All files (*.*)|*.*")),
              QStringList({"Plots (*.plt *.hp)", "All files (*)"}));
    EXPECT_TRUE(QtFilters(QString()).isEmpty());
}

TEST_F(WindowTest, CommandLineFilesOneRelativeAreSentByOkPrintEnterAndAtTheScheduledMinute) {
    SKIP_WITHOUT_PRINT_SERVER();
    const fs::path folder = fs::current_path();
    fs::current_path(kPlotC.parent_path());
    Start({kPlotA.string(), kPlotC.filename().string()});
    fs::current_path(folder);
    EXPECT_EQ(Rows(), (Texts{kPlotA.string(), kPlotC.string()}));
    EXPECT_EQ((Texts{form->StringGrid1().cell(1, 1), Panel(0), Panel(1), Panel(2)}),
              (Texts{"1", "Mode: start a new joblist", "Files in joblist: 2",
                     "Port: " + form->Printers().PortName()}));
    SaveShot(*form, "window-hpgl");
    ChoosePrinter(Server::kRawQueue);
    const std::size_t before = Jobs(Server::kRawQueue);
    Find("StringGrid1")->setFocus();
    QTest::keyClick(Find("StringGrid1"), Qt::Key_Return);
    EXPECT_EQ(Panel(3), "");

    // The window works while the run goes: the caption is read meanwhile.
    QStringList captionsDuringRun;
    QTimer watcher;
    QObject::connect(&watcher, &QTimer::timeout,
                     [&] { captionsDuringRun << Find<QPushButton>("OKPrint")->text(); });
    watcher.start(0);
    Click("OKPrint");
    watcher.stop();
    EXPECT_TRUE(captionsDuringRun.contains(QStringLiteral("Busy!")));
    EXPECT_EQ(Panel(3), "Done");
    ExpectReady();
    EXPECT_TRUE(messages.empty()) << messages.front();
    const auto jobs = PrintServer().WaitForJobs(Server::kRawQueue, before + 2);
    ASSERT_EQ(jobs.size(), before + 2);
    for (const auto& [job, file] : {std::pair{jobs[before], kPlotA}, {jobs[before + 1], kPlotC}})
        EXPECT_TRUE(job.title == file.filename().string() && SameContents(job.file, file)) << file;

    Find("Schedule")->setFocus();
    QTest::keyClick(Find("Schedule"), Qt::Key_Return);
    WaitForRunEnd();
    EXPECT_EQ(PrintServer().WaitForJobs(Server::kRawQueue, before + 4).size(), before + 4);

    auto* timer = form->findChild<QTimer*>(QStringLiteral("Timer1"));
    auto* uur = Find<QLineEdit>("Uur");
    Click("Schedule");
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(Which(&QWidget::isHidden, {"Uur", "Minuut", "Label2", "Label4"}), "");
    // A typed hour past the day's last becomes 23 when the edit is left.
    uur->setFocus();
    uur->selectAll();
    QTest::keyClicks(uur, "25");
    Find("Minuut")->setFocus();
    EXPECT_EQ((std::pair{form->Uur().Value(), uur->text()}), (std::pair{23, QStringLiteral("23")}));
    form->Uur().SetValue(clock.now.hour);
    form->Minuut().SetValue(clock.now.minute);
    Click("OKPrint");
    EXPECT_EQ((std::pair{Find<QPushButton>("OKPrint")->text(), Find("OKPrint")->isEnabled()}),
              (std::pair{QStringLiteral("Starts at 09:15"), false}));
    ASSERT_TRUE(QMetaObject::invokeMethod(timer, "timeout", Qt::DirectConnection));
    WaitForRunEnd();
    EXPECT_EQ((std::tuple{Panel(3), timer->interval(), timer->isActive()}),
              (std::tuple{std::string("Done"), 120000, true}));
    ExpectReady();
    Click("Schedule");
    EXPECT_EQ((std::pair{timer->isActive(), uur->isHidden()}), (std::pair{false, true}));
}

TEST_F(WindowTest, AMissingFileOrACopyCountThatIsNoNumberIsReportedAndTheWindowGoesOn) {
    SKIP_WITHOUT_PRINT_SERVER();
    TempFolder scratch;
    const fs::path missing = scratch / "gone.plt";
    Start({missing.string()});
    ChoosePrinter(Server::kRawQueue);
    Click("OKPrint");
    EXPECT_EQ(messages, Texts{"Cannot open file " + missing.string() + "."});
    ExpectReady();
    WriteBytes(missing, "IN;SP1;PA0,0;PD100,100;PU;");
    Click("OKPrint");
    EXPECT_EQ(Panel(3), "Done");
    form->StringGrid1().setCell(1, 1, "x");
    Click("OKPrint");
    EXPECT_EQ(messages, (Texts{"Cannot open file " + missing.string() + ".",
                               "'x' is not a valid integer value."}));
    EXPECT_EQ(Rows(), Texts{missing.string()});
}

TEST_F(WindowTest, PostScriptOptionsAndPageSizesThenHpglOptionsRewriteTheFileThenARawQueue) {
    SKIP_WITHOUT_PRINT_SERVER();
    Start({kPlotC.string()});
    ChoosePrinter(Server::kPostScriptQueue);
    auto* smart = Find<QCheckBox>("SmartReplots");
    EXPECT_EQ(smart->text(), QStringLiteral("Copies by printer"));
    Click("SmartReplots");
    ASSERT_TRUE(smart->isChecked());
    EXPECT_TRUE(Find("PSCollate")->isEnabled());
    // Choosing the PostScript printer again keeps the check.
    auto* printers = Find<QComboBox>("PrinterList");
    emit printers->activated(printers->currentIndex());
    EXPECT_TRUE(smart->isChecked());
    EXPECT_TRUE(Find("PSCollate")->isEnabled());
    EXPECT_EQ(Which(&QWidget::isVisible, {"FitToPage", "RemoveQL"}), "FitToPage");
    SaveShot(*form, "window-postscript");
    Item("A0size1")->trigger();
    EXPECT_EQ(Find<QCheckBox>("FitToPage")->text(), QStringLiteral("Fit to page: A0"));
    Item("A0size1")->trigger();
    EXPECT_TRUE(Item("A0size1")->isChecked());
    const bool reverse = form->Options().ReverseSet();
    Item("Reverseset1")->trigger();
    EXPECT_EQ(form->Options().ReverseSet(), !reverse);

    ChoosePrinter(Server::kHpglQueue);
    Item("Printertype1")->trigger();
    EXPECT_EQ(Panel(2), "HPGL/2 printertype selected");
    Item("Printertype1")->trigger();
    EXPECT_TRUE(Item("Printertype1")->isChecked());
    Item("PortinStatusbar1")->trigger();
    EXPECT_EQ(Panel(2).rfind("Port: socket://", 0), 0u) << Panel(2);
    EXPECT_EQ(Which(&QAction::isChecked, {"Printertype1", "PortinStatusbar1"}), "PortinStatusbar1");
    Click("SmartReplots");
    ASSERT_TRUE(smart->isChecked());
    form->StringGrid1().setCell(1, 1, "3");
    const std::size_t before = Jobs(Server::kHpglQueue);
    Click("OKPrint");
    EXPECT_EQ(Panel(3), "Done");
    const auto jobs = PrintServer().WaitForJobs(Server::kHpglQueue, before + 1);
    EXPECT_NE(ReadFile(jobs.back().file).find("RP2;"), std::string::npos);

    Click("RemoveQL");
    ASSERT_EQ(Which(&QAbstractButton::isChecked, {"SmartReplots", "RemoveQL"}),
              "SmartReplots RemoveQL");
    ChoosePrinter(Server::kRawQueue);
    EXPECT_EQ(Which(&QAbstractButton::isChecked, {"SmartReplots", "RemoveQL", "FitToPage"}), "");
    EXPECT_EQ(Which(&QWidget::isVisible, {"SmartReplots", "RemoveQL", "FitToPage", "GroupBox3"}),
              "");
    SaveShot(*form, "window-raw");
    ASSERT_TRUE(CloseWindow());
    EXPECT_EQ(Ini("SetUp", "PSPageSize"), "A0");
}

TEST_F(WindowTest, APausedQueueKeepsTheJobsSentItsWindowListsThemAndResumeSendsThem) {
    SKIP_WITHOUT_PRINT_SERVER();
    const fs::path acad = Sample("hp2xx/acad.hp");
    Start({kPlotA.string(), acad.string()});
    ChoosePrinter(Server::kRawQueue);
    const std::size_t before = Jobs(Server::kRawQueue);
    Item("Pauseprinting1")->trigger();
    EXPECT_EQ(Which(&QAction::isEnabled, {"Pauseprinting1", "Resumeprinting1"}), "Resumeprinting1");
    Click("OKPrint");
    Item("ShowQ1")->trigger();
    QueueWindow* queue = QueueWindow::Find(Server::kRawQueue);
    ASSERT_TRUE(queue);
    ASSERT_EQ(queue->JobList()->topLevelItemCount(), 2);
    const QTreeWidgetItem *first = queue->JobList()->topLevelItem(0),
                          *second = queue->JobList()->topLevelItem(1);
    // 134688 bytes show as 132 KB.
    EXPECT_EQ((QStringList{first->text(1), first->text(2), first->text(3), second->text(1),
                           second->text(3)}),
              (QStringList{"XANADU-PLT-test.plt", "132 KB", "Waiting", "acad.hp", "Waiting"}));
    EXPECT_EQ(first->text(4).size(), 19);
    EXPECT_LT(first->text(0).toInt(), second->text(0).toInt());
    EXPECT_TRUE(SaveShot(*queue, "queue_window"));
    Item("Resumeprinting1")->trigger();
    EXPECT_EQ(Which(&QAction::isEnabled, {"Pauseprinting1", "Resumeprinting1"}), "Pauseprinting1");
    EXPECT_EQ(PrintServer().WaitForJobs(Server::kRawQueue, before + 2).size(), before + 2);
    EXPECT_TRUE(messages.empty()) << messages.front();
}

}  // namespace
}  // namespace tavrin::test
