// SPDX-License-Identifier: GPL-3.0-or-later
// The real window against the private print server: start-up and close, the job list and its
// files, printing.
#include <QMimeData>
#include <QTimer>
#include <QUrl>

#include "WindowTestSupport.h"
#include "app/Over.h"
#include "app/QueueWindow.h"
#include "app/SingleInstance.h"
#include "app/Stelin.h"
#include "joblist/JobList.h"
#include "platform/PrivateProfile.h"
#include "support/DelayingProxy.h"
#include "widgets/DropFileTarget.h"

namespace tavrin::test {
namespace {

namespace fs = std::filesystem;
using Server = SandboxPrintServer;

const fs::path kPlotA = Sample("jem-green-HPGL2/XANADU-PLT-test.plt");
const fs::path kPlotB = Sample("jem-green-HPGL2/XANADU-PLT-test2.plt");
const fs::path kPlotC = Sample("jem-green-HPGL2/test-Model.PLT");
const fs::path kPs = Sample("ghostpdl/colorcir.ps");
const std::string kPlotFolder = kPlotA.parent_path().string() + "/";

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

TEST_F(WindowTest, CommandLineFilesAreTheFirstBatchARelativeOneInTheCurrentFolder) {
    const fs::path before = fs::current_path();
    fs::current_path(Sample("ghostpdl"));
    Start({kPlotA.string(), "colorcir.ps"});
    fs::current_path(before);
    EXPECT_EQ(Rows(), (Texts{kPlotA.string(), kPs.string()}));
    EXPECT_EQ((Texts{form->StringGrid1().cell(1, 1), Panel(0), Panel(1), Panel(2),
                     Find<QGroupBox>("GroupBox3")->title().toStdString()}),
              (Texts{"1", "Mode: start a new joblist", "Files in joblist: 2",
                     "Port: " + form->session().printers().PortName(), "HPGL/2 devices only"}));
    EXPECT_TRUE(messages.empty());
    SaveShot(*form, "window-hpgl");
}

TEST_F(WindowTest, AFirstRunWritesTheFileAndEachCloseStoresWhatComesBack) {
    ASSERT_FALSE(fs::exists(folders.Ini()));
    Start();
    EXPECT_EQ(form->session().jobList().FileCount(), 0);
    EXPECT_EQ(form->StringGrid1().rowCount(), JobList::kEmptyRowCount);
    EXPECT_EQ(Panel(1), "Files in joblist: 0");
    EXPECT_EQ(Which(&QWidget::isHidden, {"Uur", "Minuut", "Label2", "Label4", "OKPrint"}),
              "Uur Minuut Label2 Label4");
    EXPECT_EQ(Which(&QAction::isEnabled, {"Resumeprinting1", "Pauseprinting1"}), "Pauseprinting1");
    EXPECT_EQ(QApplication::focusWidget(), Find("OKPrint"));
    EXPECT_TRUE(form->FirstRun());
    ASSERT_TRUE(fs::exists(folders.Ini()));
    EXPECT_EQ((Texts{Ini("Schedule", "Minutes"), Ini("Printers", "Printer#"),
                     Ini("Data", "PlotFilesPath")}),
              (Texts{"30", "-1", "<none>"}));
    EXPECT_EQ(Which(&QAction::isChecked, {"PortinStatusbar1", "Printertype1", "Reverseset1"}),
              "PortinStatusbar1 Reverseset1");
    EXPECT_EQ(form->session().settings().TempFilesPath, folders.location.CacheFolder);
    ASSERT_TRUE(CloseWindow());
    EXPECT_EQ(
        (Texts{Ini("Schedule", "Minutes"), Ini("Schedule", "Hours"), Ini("Printers", "Printer#")}),
        (Texts{"0", "12", "0"}));
    EXPECT_NE(Ini("Data", "PlotFilesPath"), "<none>");

    Start();
    EXPECT_FALSE(form->FirstRun());
    form->move(57, 91);
    Click("AddMode");
    Item("Printertype1")->trigger();
    Item("A2size1")->trigger();
    ASSERT_TRUE(CloseWindow());
    EXPECT_EQ((Texts{Ini("Window", "xpos"), Ini("Window", "ypos")}), (Texts{"57", "91"}));
    Start();
    EXPECT_EQ(form->pos(), QPoint(57, 91));
    EXPECT_EQ(Which(&QAbstractButton::isChecked, {"AddMode", "RepMode"}), "AddMode");
    EXPECT_EQ((Texts{Panel(0), Panel(2)}),
              (Texts{"Mode: add files to joblist", "HPGL/2 printertype selected"}));
    EXPECT_EQ(
        Which(&QAction::isChecked, {"Printertype1", "PortinStatusbar1", "A2size1", "A4size1"}),
        "Printertype1 A2size1");

    Find<QCheckBox>("JobAsSet")->setChecked(false);
    Item("Clearafterspooling1")->trigger();
    Item("Abort1")->trigger();
    EXPECT_EQ((std::pair{form->isVisible(), endRequests}), (std::pair{false, 1}));
    EXPECT_EQ(Ini("Mode", "ClearAfterSpool"), "1");
}

// Closed before the answers come, the window keeps the stored printer; a server that never
// answers gives "no printers" within the silence limit. The window never waits on the server.
TEST_F(WindowTest, ASlowPrintServerFillsThePrinterBoxWhenItAnswers) {
    Start();
    ChoosePrinter(Server::kPostScriptQueue);
    ASSERT_TRUE(CloseWindow());
    DelayingProxy slow(PrintServer().Socket(), std::chrono::milliseconds(300));
    const std::string sandbox = PrintServer().Socket();
    setenv("CUPS_SERVER", slow.Address().c_str(), 1);
    cupsSetServer(slow.Address().c_str());
    const auto waitFor = [](const std::function<bool()>& done) {
        for (int i = 0; i < 600 && !done(); ++i)
            QTest::qWait(50);
        return done();
    };
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
            ASSERT_TRUE(waitFor([&] { return box->count() == 4; }));
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
            EXPECT_GE(ticks, 20);
            EXPECT_GE(busy, 10);  // with the busy cursor
            EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
            EXPECT_EQ(Find<QGroupBox>("GroupBox3")->title().toStdString(), "HPGL/2 devices only");
            ChoosePrinter(Server::kPostScriptQueue);
        } else if (step == std::string("never answered")) {
            EXPECT_TRUE(waitFor([&] { return !messages.empty(); }));
            EXPECT_EQ(messages, Texts{"No printer or plotter installed\nInstall a driver before "
                                      "you use this program"});
            EXPECT_EQ(box->count(), 0);
        }
        ASSERT_TRUE(CloseWindow());
        EXPECT_EQ(Ini("Printers", "Printer#"), "2");
        slow.Release();
        server.reset();
    }
    setenv("CUPS_SERVER", sandbox.c_str(), 1);
    cupsSetServer(sandbox.c_str());
}

TEST_F(WindowTest, AFailedSaveKeepsTheWindowOpenAndSaysWhy) {
    Start();
    // The settings file's folder becomes a file: nothing can be written there.
    const fs::path folder = folders.Ini().parent_path();
    fs::remove_all(folder);
    WriteBytes(folder, "in the way");
    EXPECT_FALSE(form->close());
    EXPECT_TRUE(form->isVisible());
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].rfind("Unable to write to ", 0), 0u) << messages[0];
    Click("AddMode");
    EXPECT_EQ(Panel(0), "Mode: add files to joblist");
    fs::remove(folder);
    EXPECT_TRUE(CloseWindow());
    EXPECT_EQ(Ini("Mode", "AddMode"), "1");
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
        EXPECT_TRUE(configure->isVisible());
        const auto hidden = [configure] {
            return test::Which(*configure, &QWidget::isHidden, {"SpinEdit1", "SpinEdit2"});
        };
        EXPECT_EQ(hidden(), made ? "SpinEdit2" : "SpinEdit1");
        form->CreateDialogs();  // the start-up's own call, once more
        Item(made ? "RPfromend1" : "QLfromstart1")->trigger();
        EXPECT_EQ(hidden(), made ? "SpinEdit1" : "SpinEdit2");
        EXPECT_EQ(form->Configure(), configure);
        EXPECT_EQ(form->findChildren<TConfigure*>().size(), 1);
        Item("About2")->trigger();
        TOverTavrin* about = form->OverTavrin();
        ASSERT_TRUE(about);
        EXPECT_TRUE(about->isVisible());
        EXPECT_EQ(form->findChildren<TOverTavrin*>().size(), 1);
        ASSERT_TRUE(form->close());
        EXPECT_FALSE(about->isVisible());
    }
}

TEST_F(WindowTest, SelectFilesReplacesInNewModeAddsInAddModeAndACancelChangesNothing) {
    Start(Texts(5, kPs.string()));
    const std::string folder = form->session().settings().PlotFilesPath;
    dialogs.answers = {{}, Chosen({kPlotA, kPlotB, kPlotC}, 1)};
    Click("SelectFiles");
    EXPECT_EQ(Rows(), Texts(5, kPs.string()));
    EXPECT_EQ(Panel(1), "Files in joblist: 5");
    EXPECT_EQ(form->session().settings().PlotFilesPath, folder);
    ASSERT_EQ(dialogs.openRequests.size(), 1u);
    const FileDialogRequest& first = dialogs.openRequests[0];
    EXPECT_TRUE(first.multipleFiles && first.fileName.isEmpty());
    EXPECT_EQ(first.filterIndex, 0);
    EXPECT_EQ(first.filters,
              QStringList({"All files (*)", "AutoCAD / Arkey Plotfiles (*.plt)",
                           "MicroStation Plotfiles (*.000)", "AllPlan Plotfiles (*.pf*)",
                           "Windows Printfiles (*.prn)", "PostScript Printfiles (*.ps)"}));

    Click("SelectFiles");
    EXPECT_EQ(Rows(), (Texts{kPlotA.string(), kPlotB.string(), kPlotC.string()}));
    EXPECT_EQ(Panel(1), "Files in joblist: 3");
    EXPECT_EQ(form->session().settings().PlotFilesPath, kPlotFolder);
    // The next time the dialog opens in the files' folder, on the filter chosen last.
    Item("Selectfiles1")->trigger();
    ASSERT_EQ(dialogs.openRequests.size(), 3u);
    EXPECT_EQ(dialogs.openRequests[2].folder.toStdString(), kPlotFolder);
    EXPECT_EQ(dialogs.openRequests[2].filterIndex, 1);
    EXPECT_EQ(form->PlotFilterIndex(), 2);

    Click("AddMode");
    QTest::keyClick(Find("SpinEdit1"), Qt::Key_Up);
    dialogs.answers.push_back(Chosen({kPs}));
    Click("SelectFiles");
    EXPECT_EQ(Rows(), (Texts{kPlotA.string(), kPlotB.string(), kPlotC.string(), kPs.string()}));
    EXPECT_EQ(form->StringGrid1().cell(1, 4), "2");
}

TEST_F(WindowTest, DropsReplaceInNewModeAppendInAddModeAndHandedOverNamesAreOneBatch) {
    Start();
    Drop({kPlotA, kPlotB, kPlotC, kPs});
    EXPECT_EQ(Rows().size(), 4u);
    Drop({kPlotB, kPlotC});
    EXPECT_EQ(Rows(), (Texts{kPlotB.string(), kPlotC.string()}));
    Click("AddMode");
    Drop({kPs});
    EXPECT_EQ(Rows(), (Texts{kPlotB.string(), kPlotC.string(), kPs.string()}));
    EXPECT_EQ(form->StringGrid1().rowCount(), 4);
    // A drop leaves the dialog's folder alone.
    EXPECT_EQ(form->session().settings().PlotFilesPath.find("jem-green"), std::string::npos);

    TempFolder scratch;
    const QString name = QString::fromStdString((scratch / "socket").string());
    SingleInstance running(name), second(name);
    ASSERT_TRUE(running.Listen());
    running.OnFiles = [this](const Texts& names) { form->AddHandedOverFiles(names); };
    const int batches = form->session().jobList().BatchCount();
    // The second start runs in its own process in real use; here the event loop serves it.
    bool handed = false;
    QTimer::singleShot(0, [&] { handed = second.HandOver({kPlotA.string(), kPlotB.string()}); });
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->session().jobList().FileCount() == 5; }));
    EXPECT_TRUE(handed);
    EXPECT_EQ(Rows(), (Texts{kPlotB.string(), kPlotC.string(), kPs.string(), kPlotA.string(),
                             kPlotB.string()}));
    EXPECT_EQ(form->session().jobList().BatchCount(), batches + 1);
    EXPECT_EQ(Panel(1), "Files in joblist: 5");
}

TEST_F(WindowTest, SaveOpenAndViewTheJobListFailuresKeepItAndTheTempFolderIsChosen) {
    Start({kPlotA.string(), kPlotB.string()});
    form->StringGrid1().setCell(1, 2, "3");
    const fs::path temp = form->session().settings().TempFilesPath;
    const fs::path saved = folders.root / "list.tjf";

    // View right after start-up writes the current list.
    Item("Viewprintlist1")->trigger();
    EXPECT_EQ(opened, Texts{(temp / "temp.tjf").string()});
    const std::string text = ";\r\n" + kPlotA.string() + ";1\r\n" + kPlotB.string() + ";3\r\n";
    EXPECT_EQ(ReadFile(temp / "temp.tjf"), text);
    // Saved without an extension, the file gets "tjf".
    dialogs.answers.push_back(Chosen({folders.root / "list"}));
    Item("Savelisttofile1")->trigger();
    ASSERT_EQ(dialogs.saveRequests.size(), 1u);
    EXPECT_EQ(dialogs.saveRequests[0].folder.toStdString(), temp.string());
    EXPECT_EQ(dialogs.saveRequests[0].defaultSuffix, QStringLiteral("tjf"));
    EXPECT_EQ(dialogs.saveRequests[0].filters, QStringList{"Tavrin jobfile (*.tjf)"});
    EXPECT_EQ(ReadFile(saved), text);
    Item("Viewprintlist1")->trigger();
    EXPECT_EQ(opened.back(), saved.string());

    dialogs.answers = {Chosen({kPs}), Chosen({saved})};
    Click("SelectFiles");
    ASSERT_EQ(Rows(), Texts{kPs.string()});
    Item("Openlistasfile1")->trigger();
    EXPECT_EQ(dialogs.openRequests.back().folder.toStdString(), temp.string());
    EXPECT_EQ(Rows(), (Texts{kPlotA.string(), kPlotB.string()}));
    EXPECT_EQ(form->StringGrid1().cell(1, 2), "3");
    EXPECT_EQ(Panel(1), "Files in joblist: 2");
    Item("Viewprintlist1")->trigger();
    EXPECT_EQ(opened.back(), saved.string());
    // The plot-file dialog comes back with its own filter and folder.
    dialogs.answers.push_back({});
    Item("Selectfiles1")->trigger();
    EXPECT_EQ(dialogs.openRequests.back().filters.size(), 6);
    EXPECT_EQ(dialogs.openRequests.back().folder.toStdString(), kPs.parent_path().string() + "/");

    const fs::path missing = folders.root / "missing.tjf";
    const fs::path nowhere = folders.root / "no-such-folder" / "list.tjf";
    dialogs.answers = {Chosen({missing}), Chosen({nowhere})};
    Item("Openlistasfile1")->trigger();
    Item("Savelisttofile1")->trigger();
    EXPECT_EQ(messages, (Texts{"Cannot open file " + missing.string() + ".",
                               "Cannot create file " + nowhere.string() + "."}));
    EXPECT_EQ(Rows(), (Texts{kPlotA.string(), kPlotB.string()}));
    EXPECT_EQ(Panel(1), "Files in joblist: 2");

    std::string offered;
    std::optional<std::string> answer;  // none: cancelled
    form->FolderBrowse1().SetDialog([&](QWidget*, const std::string&, const std::string& start) {
        offered = start;
        return answer;
    });
    Item("SetTempdir1")->trigger();
    EXPECT_EQ((Texts{offered, form->session().settings().TempFilesPath}),
              (Texts{temp.string(), temp.string()}));
    answer = folders.root.path().string();
    Item("SetTempdir1")->trigger();
    EXPECT_EQ(form->session().settings().TempFilesPath, folders.root.path().string());
    ASSERT_TRUE(CloseWindow());
    EXPECT_EQ(Ini("Data", "TempFilesPath"), folders.root.path().string());
}

TEST(FilterTextTest, PairsBecomeQtFilters) {
    EXPECT_EQ(QtFilters(QStringLiteral("Plots|*.plt;*.hp|All files (*.*)|*.*")),
              QStringList({"Plots (*.plt *.hp)", "All files (*)"}));
    EXPECT_TRUE(QtFilters(QString()).isEmpty());
}

TEST_F(WindowTest, OkPrintAndEnterOutsideTheGridSendEveryFileAndShowDone) {
    Start({kPlotA.string(), kPlotC.string()});
    ChoosePrinter(Server::kRawQueue);
    const std::size_t before = Jobs(Server::kRawQueue);
    Find("StringGrid1")->setFocus();
    QTest::keyClick(Find("StringGrid1"), Qt::Key_Return);
    EXPECT_EQ(Panel(3), "");

    // The run lets the window work between files: the caption is read there.
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
    EXPECT_EQ(jobs[before].title, kPlotA.filename().string());
    EXPECT_TRUE(SameContents(jobs[before].file, kPlotA));
    EXPECT_EQ(jobs[before + 1].title, kPlotC.filename().string());
    EXPECT_TRUE(SameContents(jobs[before + 1].file, kPlotC));

    Find("Schedule")->setFocus();
    QTest::keyClick(Find("Schedule"), Qt::Key_Return);
    EXPECT_EQ(PrintServer().WaitForJobs(Server::kRawQueue, before + 4).size(), before + 4);
}

TEST_F(WindowTest, AMissingFileOrACopyCountThatIsNoNumberIsReportedAndTheWindowGoesOn) {
    TempFolder scratch;
    const fs::path missing = scratch / "gone.plt";
    Start({missing.string()});
    ChoosePrinter(Server::kRawQueue);
    Click("OKPrint");
    EXPECT_EQ(messages, Texts{"Cannot open file " + missing.string() + "."});
    ExpectReady();
    EXPECT_EQ(Rows(), Texts{missing.string()});
    WriteBytes(missing, "IN;SP1;PA0,0;PD100,100;PU;");
    Click("OKPrint");
    EXPECT_EQ(messages.size(), 1u);
    EXPECT_EQ(Panel(3), "Done");
    form->StringGrid1().setCell(1, 1, "x");
    Click("OKPrint");
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1], "'x' is not a valid integer value.");
}

TEST_F(WindowTest, HpglOptionsRewriteTheFileAndARawQueueClearsAndHidesThem) {
    Start({kPlotC.string()});
    ChoosePrinter(Server::kHpglQueue);
    Item("Printertype1")->trigger();
    EXPECT_EQ(Panel(2), "HPGL/2 printertype selected");
    EXPECT_EQ(Which(&QAction::isChecked, {"Printertype1", "PortinStatusbar1"}), "Printertype1");
    Item("Printertype1")->trigger();
    EXPECT_TRUE(Item("Printertype1")->isChecked());
    Item("PortinStatusbar1")->trigger();
    EXPECT_EQ(Panel(2).rfind("Port: socket://", 0), 0u) << Panel(2);
    EXPECT_FALSE(Item("Printertype1")->isChecked());

    ASSERT_TRUE(Find("SmartReplots")->isVisible());
    Click("SmartReplots");
    ASSERT_TRUE(Find<QCheckBox>("SmartReplots")->isChecked());
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
}

TEST_F(WindowTest, PostScriptOptionsPageSizesListTogglesAndQueueItems) {
    Start({kPs.string()});
    ChoosePrinter(Server::kPostScriptQueue);
    auto* smart = Find<QCheckBox>("SmartReplots");
    EXPECT_EQ(smart->text(), QStringLiteral("Copies by printer"));
    EXPECT_EQ(Find<QGroupBox>("GroupBox3")->title(), QStringLiteral("PS devices only"));
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
    EXPECT_EQ(Which(&QAction::isChecked,
                    {"A5size1", "A4size1", "A3size1", "A2size1", "A1size1", "A0size1"}),
              "A0size1");
    Item("A0size1")->trigger();
    EXPECT_TRUE(Item("A0size1")->isChecked());

    const bool reverse = form->session().options().ReverseSet();
    Item("Reverseset1")->trigger();
    EXPECT_EQ(form->session().options().ReverseSet(), !reverse);
    Item("Reverseset1")->trigger();
    EXPECT_EQ(form->session().options().ReverseSet(), reverse);

    ChoosePrinter(Server::kOceQueue);
    Item("Pauseprinting1")->trigger();
    EXPECT_EQ(Which(&QAction::isEnabled, {"Pauseprinting1", "Resumeprinting1"}), "Resumeprinting1");
    Item("Resumeprinting1")->trigger();
    EXPECT_EQ(Which(&QAction::isEnabled, {"Pauseprinting1", "Resumeprinting1"}), "Pauseprinting1");
    Item("ShowQ1")->trigger();
    EXPECT_TRUE(messages.empty());
    EXPECT_TRUE(QueueWindow::Find(Server::kOceQueue));
    ASSERT_TRUE(CloseWindow());
    EXPECT_EQ(Ini("SetUp", "PSPageSize"), "A0");
}

TEST_F(WindowTest, TheScheduleStartsTheRunAtTheSetMinute) {
    Start({kPlotC.string()});
    ChoosePrinter(Server::kRawQueue);
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
    EXPECT_EQ((std::pair{form->Uur().value(), uur->text()}), (std::pair{23, QStringLiteral("23")}));

    form->Uur().setValue(clock.now.hour);
    form->Minuut().setValue(clock.now.minute);
    Click("OKPrint");
    EXPECT_EQ(Find<QPushButton>("OKPrint")->text(), QStringLiteral("Starts at 09:15"));
    EXPECT_FALSE(Find("OKPrint")->isEnabled());
    const std::size_t before = Jobs(Server::kRawQueue);
    ASSERT_TRUE(QMetaObject::invokeMethod(timer, "timeout", Qt::DirectConnection));
    EXPECT_EQ(Panel(3), "Done");
    EXPECT_EQ((std::pair{timer->interval(), timer->isActive()}), (std::pair{120000, true}));
    EXPECT_TRUE(Find("OKPrint")->isEnabled());
    EXPECT_EQ(PrintServer().WaitForJobs(Server::kRawQueue, before + 1).size(), before + 1);

    Click("Schedule");
    EXPECT_FALSE(timer->isActive());
    EXPECT_TRUE(uur->isHidden());
}

}  // namespace
}  // namespace tavrin::test
