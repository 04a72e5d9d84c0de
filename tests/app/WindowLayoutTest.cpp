// SPDX-License-Identifier: GPL-3.0-or-later
// The window's controls as designed, the caption font chosen before they exist, the queue windows.
#include <QPointer>
#include <QTimer>
#include <QTreeWidget>
#include <array>

#include "WindowTestSupport.h"
#include "app/CaptionFont.h"
#include "app/QueueWindow.h"
#include "support/FakePrintSpooler.h"
#include "widgets/DataGrid.h"
#include "widgets/IntegerEdit.h"
#include "widgets/SpinEdit.h"

namespace tavrin::test {
namespace {

TEST(CaptionFontTest, MeasuredWidthsAreTheControlsOwnAndTheChosenSizeIsTheLargestThatFits) {
    EnsureApplication();
    QWidget parent;
    for (int pixels = kSmallestCaptionPixels; pixels <= kLargestCaptionPixels; ++pixels) {
        const QFont font = CaptionFontAt(QApplication::font(), pixels);
        parent.setFont(font);
        const QFontMetrics metrics(font);
        for (const char* caption : {"Schedule", "Treat joblist as set", "Collate copies",
                                    "Copies by plotter", "Quality on plotter", "Fit to page: A4"})
            EXPECT_EQ(CaptionedButtonWidth(*parent.style(), metrics, caption, QStyle::CT_CheckBox),
                      QCheckBox(caption, &parent).sizeHint().width())
                << caption << " at " << pixels << " px";
        for (const char* caption : {"New", "Add"})
            EXPECT_EQ(
                CaptionedButtonWidth(*parent.style(), metrics, caption, QStyle::CT_RadioButton),
                QRadioButton(caption, &parent).sizeHint().width())
                << caption << " at " << pixels << " px";
    }
    const QStyle& style = *QApplication::style();
    const QFont chosen = CaptionFont(QApplication::font(), style);
    const int pixels = chosen.pixelSize();
    ASSERT_TRUE(pixels >= kSmallestCaptionPixels && pixels <= kLargestCaptionPixels) << pixels;
    // The smallest size is taken even when something is still too wide.
    EXPECT_TRUE(pixels == kSmallestCaptionPixels || CaptionsFitFont(chosen, style));
    for (int larger = pixels + 1; larger <= kLargestCaptionPixels; ++larger)
        EXPECT_FALSE(CaptionsFitFont(CaptionFontAt(QApplication::font(), larger), style))
            << larger << " px";
}

// Each control as "Class in Parent: caption @x,y wxh"; without a size the control sizes itself
// from its text, and "+" asks for at least that height.
const char* const kControls[][2] = {
    {"Configuration", "QGroupBox in ClientArea: Output to @0,5 521x49"},
    {"Label1", "QLabel in Configuration: Printer / plotter @8,21"},
    {"PrinterList", "QComboBox in Configuration:  @88,17 425x21"},
    {"GroupBox1", "QGroupBox in ClientArea: Print job @0,56 521x235"},
    {"Schedule", "QCheckBox in GroupBox1: Schedule @44,13 69x17"},
    {"Uur", "tavrin::TIntegerEdit in GroupBox1: 12 @116,11 22x21"},
    {"Label2", "QLabel in GroupBox1: Hrs @140,15"},
    {"Minuut", "tavrin::TIntegerEdit in GroupBox1: 00 @163,11 22x21"},
    {"Label4", "QLabel in GroupBox1: Min @187,15"},
    {"JobAsSet", "QCheckBox in GroupBox1: Treat joblist as set @229,14 111x17"},
    {"Label3", "QLabel in GroupBox1: Global # of copies @380,15 86x13"},
    {"StringGrid1", "tavrin::TDataGrid in GroupBox1:  @8,37 504x191"},
    {"SpinEdit1", "tavrin::TSpinEdit in ClientArea: 1 @470,67 42x22+"},
    {"GroupBox2", "QGroupBox in ClientArea:  Files in joblist @0,295 249x64"},
    {"RepMode", "QRadioButton in GroupBox2: New @96,17 45x17"},
    {"AddMode", "QRadioButton in GroupBox2: Add @96,37 45x17"},
    {"Remove", "QPushButton in GroupBox2: &Remove @158,19 82x33"},
    {"SelectFiles", "QPushButton in ClientArea: &Select @9,314 82x34"},
    {"GroupBox3", "QGroupBox in ClientArea: HP DesignJets only @251,295 115x64"},
    {"PSCollate", "QCheckBox in GroupBox3: Collate copies @6,31 90x14"},
    {"SmartReplots", "QCheckBox in ClientArea: Copies by plotter @257,311 101x14"},
    {"RemoveQL", "QCheckBox in ClientArea: Quality on plotter @257,341 102x14"},
    {"FitToPage", "QCheckBox in ClientArea: Fit to page @257,341 101x14"},
    {"GroupBox4", "QGroupBox in ClientArea:  @368,295 153x64"},
    {"OKPrint", "QPushButton in ClientArea:      &OK, Print!! @376,308 137x44"},
    {"StatusBar1", "QWidget in ClientArea:  @0,361 521x19"},
    {"Panel0", "QLabel in StatusBar1:  @0,2 124x17"},
    {"Panel1", "QLabel in StatusBar1:  @126,2 98x17"},
    {"Panel2", "QLabel in StatusBar1:  @226,2 238x17"},
    {"Panel3", "QLabel in StatusBar1:  @466,2 48x17"},
};
// The hints; every other control has none.
const std::map<std::string, QString> kHints = {
    {"PrinterList", "Select the printer/plotter to which your files should be sent"},
    {"Schedule", "Start the job at a later (scheduled) moment"},
    {"Uur", "Use 24 hrs based time"},
    {"JobAsSet", "Check to print files 1,2,3,...,n  x times"},
    {"StringGrid1", "Drag and drop your files here, or use \"Select files\" button"},
    {"SpinEdit1", "All files same # of copies; edit the list for individual  copies"},
    {"Remove", "Remove files from the joblist"},
    {"SelectFiles", "Select files to be sent to printer/plotter"},
    {"GroupBox3", "Use options with care; sends a modified plot/printfile"},
    {"PSCollate", "Copies sorted as 1,2,3,..1,2,3,...rather than 1,1,1,...2,2,2,...,3,3,3,..."},
    {"SmartReplots", "Send file once; printer/plotter generates copies"},
    {"RemoveQL", "Quality setting on plotter overrides software settings"},
    {"FitToPage", "Make prints fit on selected papersize"},
    {"OKPrint", "Click when you're ready to send files to your printer/plotter"},
};

std::string Describe(QWidget* widget, const std::string& want) {
    const std::size_t at = want.rfind('@'), x = want.rfind('x');
    std::string look = Look(widget, x != std::string::npos && x > at);
    if (want.back() == '+' && widget->height() >= std::stoi(want.substr(x + 1)))
        look = Look(widget, false) + " " + std::to_string(widget->width()) + want.substr(x);
    return std::string(widget->metaObject()->className()) + " in " +
           widget->parentWidget()->objectName().toStdString() + ": " + look;
}

// The design states, before the printers (a fake print server) and the settings change them.
class WindowLayoutTest : public ::testing::Test {
protected:
    template <typename T = QWidget>
    T* Find(const char* name) {
        return qobject_cast<T*>(form.findChild<QObject*>(QString::fromUtf8(name)));
    }

    UsesApplication app;
    UserFolders folders;
    FixedClock clock;
    FakeDeviceProbe probe;
    FakePrintSpooler spooler;
    TTavrinForm form{spooler, probe, clock, folders.location};
    Texts messages;
};

TEST_F(WindowLayoutTest, EveryControlHasItsClassParentPlaceCaptionAndHintAndItsCaptionFits) {
    for (const auto& [name, look] : kControls) {
        QWidget* widget = Find(name);
        ASSERT_TRUE(widget) << name;
        EXPECT_EQ(Describe(widget, look), look) << name;
        EXPECT_EQ(widget->toolTip(), kHints.count(name) ? kHints.at(name) : QString()) << name;
    }
    EXPECT_TRUE(form.font().pixelSize() >= 8 && form.font().pixelSize() <= 11);
    for (const char* name :
         {"Schedule", "JobAsSet", "PSCollate", "SmartReplots", "RemoveQL", "RepMode", "AddMode"})
        EXPECT_LE(Find(name)->sizeHint().width(), Find(name)->width()) << name;
    EXPECT_LE(Find("Label1")->x() + Find("Label1")->width(), 88);
    EXPECT_LE(Find("Label4")->x() + Find("Label4")->width(), 229);

    EXPECT_EQ(form.windowTitle(), QStringLiteral("Dorwen's Tavrin"));
    EXPECT_EQ(Find("ClientArea")->size(), QSize(521, 380));
    EXPECT_EQ(form.minimumSize(), form.maximumSize());
    EXPECT_EQ(form.height(), form.menuBar()->sizeHint().height() + 380);
    EXPECT_EQ(form.windowFlags() & (Qt::WindowMaximizeButtonHint | Qt::WindowMinimizeButtonHint),
              Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(form.windowIcon().isNull());
}

// The items' texts, "-" for a separator, each submenu's after its item.
QStringList MenuTexts(const QList<QAction*>& actions) {
    QStringList texts;
    for (QAction* action : actions) {
        texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
        if (action->menu())
            texts << MenuTexts(action->menu()->actions());
    }
    return texts;
}

TEST_F(WindowLayoutTest, TabOrderStartStatesAndMenus) {
    const char* order[] = {"OKPrint",      "StringGrid1", "Uur",         "Minuut",
                           "Schedule",     "JobAsSet",    "PrinterList", "SpinEdit1",
                           "SelectFiles",  "RepMode",     "AddMode",     "Remove",
                           "SmartReplots", "RemoveQL",    "PSCollate",   "FitToPage"};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i)
        EXPECT_EQ(NextTabStop(Find(order[i]))->objectName(), order[i + 1]) << order[i];

    EXPECT_EQ(Which(form, &QAbstractButton::isChecked, {"Schedule", "RepMode", "AddMode"}),
              "RepMode");
    EXPECT_EQ(Which(form, &QWidget::isEnabled, {"SmartReplots", "RemoveQL"}), "");
    EXPECT_TRUE(Find<QPushButton>("OKPrint")->isDefault());
    auto* uur = Find<TIntegerEdit>("Uur");
    EXPECT_EQ((std::pair{uur->MaxLength(), uur->DisplayFormat()}),
              (std::pair{2, std::string("00")}));
    auto* spin = Find<TSpinEdit>("SpinEdit1");
    EXPECT_EQ((std::array{spin->MinValue(), spin->MaxValue(), int(spin->EditorEnabled())}),
              (std::array{1, 99, 0}));
    auto* grid = Find<TDataGrid>("StringGrid1");
    EXPECT_EQ((std::array{grid->Grid().rowCount(), grid->Grid().fixedRows(),
                          grid->Grid().colWidth(0), grid->Grid().colWidth(1)}),
              (std::array{30, 1, 445, 36}));
    EXPECT_TRUE(grid->Options().rangeSelect && grid->Options().tabs);
    ASSERT_TRUE(grid->PopupMenu());
    EXPECT_EQ(MenuTexts(grid->PopupMenu()->actions()), QStringList{"Delete"});
    EXPECT_EQ((std::pair{Find<QTimer>("Timer1")->isActive(), Find<QTimer>("Timer1")->interval()}),
              (std::pair{false, 1000}));

    const QStringList menus =
        QStringLiteral(
            "&File|&Select files|&Preview|-|&Open list from file|&View / print list|"
            "Sa&ve list to file|-|&Job log...|-|&Abort|&Configure|&Path for temp files|Printers by "
            "&address...|"
            "&Hot folders...|Watch hot &folders|-|"
            "HPGL/2 &QL from start|HPGL/2 &RP from end|-|C&lear list after spooling|"
            "Re&verse set order|"
            "&Warn before sending to the wrong device|-|Printer&type in statusbar|"
            "Printerp&ort in statusbar|-|PS fit to size:|A5 size|A4 size|A3 size|A2 size|A1 size|"
            "A0 size|&Queue Mgt|&Show Q|-|&Pause printing|&Resume printing|-|&Clear print Q|"
            "&Info|&About")
            .split(QLatin1Char('|'));
    EXPECT_EQ(MenuTexts(form.menuBar()->actions()), menus);
    EXPECT_EQ(
        Which(form, &QAction::isChecked, {"A4size1", "Clearafterspooling1", "WrongDeviceGuard1"}),
        "A4size1 WrongDeviceGuard1");
    EXPECT_EQ(Find<QAction>("SetTempdir1")->toolTip(),
              QStringLiteral("Set path to disk with sufficient space"));
}

TEST_F(WindowLayoutTest, AQueueThatCannotBeOpenedIsReported) {
    spooler.printers = {"plot"};
    spooler.refuseOpen = {"plot"};
    TTavrinForm window{spooler, probe, clock, folders.location};
    window.MessageBox = [&](const QString& text) { messages.push_back(text.toStdString()); };
    window.FormCreate();
    window.findChild<QAction*>("ShowQ1")->trigger();
    EXPECT_EQ(messages, std::vector<std::string>{"Queue for Printer plot not available"});
    EXPECT_FALSE(QueueWindow::Find("plot"));
}

std::vector<QueueWindow*> OpenQueueWindows() {
    std::vector<QueueWindow*> windows;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* window = qobject_cast<QueueWindow*>(widget); window && window->isVisible())
            windows.push_back(window);
    }
    return windows;
}

// The list as "status line|job|job", " (greyed)" when it is disabled.
std::string Listed(const QueueWindow& window) {
    std::string listed = window.StatusLine()->text().toStdString() +
                         (window.JobList()->isEnabled() ? "" : " (greyed)");
    for (int row = 0; row < window.JobList()->topLevelItemCount(); ++row) {
        listed += "|";
        for (int col = 0; col < 5; ++col)
            listed += window.JobList()->topLevelItem(row)->text(col).toStdString() + "/";
    }
    return listed;
}

TEST(QueueWindowOnFake, OneWindowPerPrinterFollowsItsQueueAndGoesAwayWhenClosed) {
    UsesApplication app;
    FakePrintSpooler spooler;
    spooler.printers = {"plotter", "laser"};
    spooler.queue = {{12, "XANADU-PLT-test.plt", 132, QueueJobState::Processing, 0},
                     {13, "acad.hp", 30, QueueJobState::Pending, 0}};
    QWidget owner;
    EXPECT_FALSE(QueueWindow::ShowPrinterQueue(spooler, "gone", &owner));
    EXPECT_FALSE(QueueWindow::ShowPrinterQueue(spooler, "", &owner));
    EXPECT_TRUE(OpenQueueWindows().empty());

    ASSERT_TRUE(QueueWindow::ShowPrinterQueue(spooler, "plotter", &owner));
    QPointer<QueueWindow> window = QueueWindow::Find("plotter");
    ASSERT_NE(window, nullptr);
    EXPECT_EQ((std::tuple{window->isVisible(), window->parentWidget() == &owner,
                          window->windowTitle(), window->RefreshTimer()->isActive(),
                          window->RefreshTimer()->interval(), spooler.openHandles}),
              (std::tuple{true, true, QStringLiteral("plotter - print queue"), true, 2000, 0}));
    const std::string jobs = "|12/XANADU-PLT-test.plt/132 KB/Printing//|13/acad.hp/30 KB/Waiting//";
    EXPECT_EQ(Listed(*window), "2 jobs in the queue" + jobs);

    // A queue that cannot be read keeps the last list, greyed.
    spooler.refuseOpen.insert("plotter");
    window->Refresh();
    EXPECT_EQ(Listed(*window),
              "The queue of plotter cannot be read: The printer or class does not exist. (greyed)" +
                  jobs);
    spooler.refuseOpen.clear();
    window->Refresh();
    EXPECT_EQ(Listed(*window), "2 jobs in the queue" + jobs);

    // A refresh follows the queue and keeps the selected job.
    window->JobList()->setCurrentItem(window->JobList()->topLevelItem(1));  // job 13
    spooler.queue = {{13, "acad.hp", 30, QueueJobState::Processing, 0},
                     {14, "inter.hp", 70, QueueJobState::Held, 0},
                     {15, "pages.hp", 1, QueueJobState::Pending, 0}};
    window->Refresh();
    EXPECT_EQ(Listed(*window),
              "3 jobs in the queue|13/acad.hp/30 KB/Printing//|14/inter.hp/70 "
              "KB/Held//|15/pages.hp/1 KB/Waiting//");
    const QTreeWidgetItem* current = window->JobList()->currentItem();
    EXPECT_EQ(current ? current->text(0) : QString(), "13");
    spooler.queue.clear();
    window->Refresh();
    EXPECT_EQ(Listed(*window), "No jobs in the queue");

    ASSERT_TRUE(QueueWindow::ShowPrinterQueue(spooler, "plotter", &owner));
    ASSERT_TRUE(QueueWindow::ShowPrinterQueue(spooler, "laser", &owner));
    EXPECT_EQ(OpenQueueWindows().size(), 2u);
    EXPECT_EQ(QueueWindow::Find("plotter"), window);
    EXPECT_NE(QueueWindow::Find("laser"), window);

    window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull() && !QueueWindow::Find("plotter"));
    EXPECT_TRUE(QueueWindow::ShowPrinterQueue(spooler, "plotter", &owner) &&
                QueueWindow::Find("plotter"));
    for (QueueWindow* open : OpenQueueWindows())
        delete open;
}

}  // namespace
}  // namespace tavrin::test
