// Every control of the window: class, parent, place, caption, hint, tab order and start state.
#include <QActionGroup>
#include <QTimer>

#include "WindowTestSupport.h"
#include "app/QueueWindow.h"
#include "support/FakeDeviceProbe.h"
#include "support/FakePrintSpooler.h"
#include "widgets/DataGrid.h"
#include "widgets/IntegerEdit.h"
#include "widgets/SpinEdit.h"

namespace tavrin::test {
namespace {

struct Expected {
    const char* name;
    const char* className;
    const char* parent;
    QRect geometry;  // a zero size: the control sizes itself from its text
    const char* caption;
    const char* hint;
};

// clang-format off
const Expected kControls[] = {
    {"Configuration", "QGroupBox", "ClientArea", {0, 5, 521, 49}, "Output to", ""},
    {"Label1", "QLabel", "Configuration", {8, 21, 0, 0}, "Printer / plotter", ""},
    {"PrinterList", "QComboBox", "Configuration", {88, 17, 425, 21}, "",
     "Select the printer/plotter to which your files should be sent"},
    {"GroupBox1", "QGroupBox", "ClientArea", {0, 56, 521, 235}, "Print job", ""},
    {"Schedule", "QCheckBox", "GroupBox1", {44, 13, 69, 17}, "Schedule",
     "Start the job at a later (scheduled) moment"},
    {"Uur", "tavrin::TIntegerEdit", "GroupBox1", {116, 11, 22, 21}, "12", "Use 24 hrs based time"},
    {"Label2", "QLabel", "GroupBox1", {140, 15, 0, 0}, "Hrs", ""},
    {"Minuut", "tavrin::TIntegerEdit", "GroupBox1", {163, 11, 22, 21}, "00", ""},
    {"Label4", "QLabel", "GroupBox1", {187, 15, 0, 0}, "Min", ""},
    {"JobAsSet", "QCheckBox", "GroupBox1", {229, 14, 111, 17}, "Treat joblist as set",
     "Check to print files 1,2,3,...,n  x times"},
    {"Label3", "QLabel", "GroupBox1", {380, 15, 86, 13}, "Global # of copies", ""},
    {"StringGrid1", "tavrin::TDataGrid", "GroupBox1", {8, 37, 504, 191}, "",
     "Drag and drop your files here, or use \"Select files\" button"},
    {"SpinEdit1", "tavrin::TSpinEdit", "ClientArea", {470, 67, 42, 22}, "1",
     "All files same # of copies; edit the list for individual  copies"},
    {"GroupBox2", "QGroupBox", "ClientArea", {0, 295, 249, 64}, " Files in joblist", ""},
    {"RepMode", "QRadioButton", "GroupBox2", {96, 17, 45, 17}, "New", ""},
    {"AddMode", "QRadioButton", "GroupBox2", {96, 37, 45, 17}, "Add", ""},
    {"Remove", "QPushButton", "GroupBox2", {158, 19, 82, 33}, "&Remove",
     "Remove files from the joblist"},
    {"SelectFiles", "QPushButton", "ClientArea", {9, 314, 82, 34}, "&Select",
     "Select files to be sent to printer/plotter"},
    {"GroupBox3", "QGroupBox", "ClientArea", {251, 295, 115, 64}, "HP DesignJets only",
     "Use options with care; sends a modified plot/printfile"},
    {"PSCollate", "QCheckBox", "GroupBox3", {6, 31, 90, 14}, "Collate copies",
     "Copies sorted as 1,2,3,..1,2,3,...rather than 1,1,1,...2,2,2,...,3,3,3,..."},
    {"SmartReplots", "QCheckBox", "ClientArea", {257, 311, 101, 14}, "Copies by plotter",
     "Send file once; printer/plotter generates copies"},
    {"RemoveQL", "QCheckBox", "ClientArea", {257, 341, 102, 14}, "Quality on plotter",
     "Quality setting on plotter overrides software settings"},
    {"FitToPage", "QCheckBox", "ClientArea", {257, 341, 101, 14}, "Fit to page",
     "Make prints fit on selected papersize"},
    {"GroupBox4", "QGroupBox", "ClientArea", {368, 295, 153, 64}, "", ""},
    {"OKPrint", "QPushButton", "ClientArea", {376, 308, 137, 44}, "     &OK, Print!!",
     "Click when you're ready to send files to your printer/plotter"},
    {"StatusBar1", "QWidget", "ClientArea", {0, 361, 521, 19}, "", ""},
};
// clang-format on

QString CaptionOf(QWidget* widget) {
    if (auto* box = qobject_cast<QGroupBox*>(widget))
        return box->title();
    if (auto* label = qobject_cast<QLabel*>(widget))
        return label->text();
    if (auto* button = qobject_cast<QAbstractButton*>(widget))
        return button->text();
    if (auto* edit = qobject_cast<QLineEdit*>(widget))
        return edit->text();
    return {};
}

// The design states, before the printers and the settings change anything.
class WindowLayoutTest : public ::testing::Test {
protected:
    QWidget* Find(const char* name) { return form.findChild<QWidget*>(QString::fromUtf8(name)); }

    UsesApplication app;
    UserFolders folders;
    FixedClock clock;
    FakeDeviceProbe probe;
    FakePrintSpooler spooler;
    TTavrinForm form{spooler, probe, clock, folders.location};
};

TEST_F(WindowLayoutTest, EveryControlHasItsClassParentPlaceCaptionAndHint) {
    for (const Expected& control : kControls) {
        SCOPED_TRACE(control.name);
        QWidget* widget = Find(control.name);
        ASSERT_TRUE(widget);
        EXPECT_STREQ(widget->metaObject()->className(), control.className);
        EXPECT_EQ(widget->parentWidget()->objectName(), QString::fromUtf8(control.parent));
        EXPECT_EQ(widget->pos(), control.geometry.topLeft());
        if (qobject_cast<TSpinEdit*>(widget)) {
            // The spin edit is never lower than its text needs.
            EXPECT_EQ(widget->width(), control.geometry.width());
            EXPECT_GE(widget->height(), control.geometry.height());
        } else if (!control.geometry.size().isEmpty()) {
            EXPECT_EQ(widget->size(), control.geometry.size());
        }
        EXPECT_EQ(CaptionOf(widget), QString::fromUtf8(control.caption));
        EXPECT_EQ(widget->toolTip(), QString::fromUtf8(control.hint));
    }
}

TEST_F(WindowLayoutTest, TheWindowIsFixedAtItsClientSize) {
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Dorwen's Tavrin"));
    EXPECT_EQ(Find("ClientArea")->size(), QSize(521, 380));
    EXPECT_EQ(form.minimumSize(), form.maximumSize());
    EXPECT_EQ(form.height(), form.menuBar()->sizeHint().height() + 380);
    EXPECT_FALSE(form.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(form.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(form.windowIcon().isNull());
    int left = 0;
    const int widths[] = {126, 100, 240, 50};
    for (int i = 0; i < 4; ++i) {
        auto* panel = Find("StatusBar1")->findChild<QLabel*>(QStringLiteral("Panel%1").arg(i));
        ASSERT_TRUE(panel);
        EXPECT_EQ(panel->x(), left);
        EXPECT_EQ(panel->width(), widths[i] - 2);
        left += widths[i];
    }
}

TEST_F(WindowLayoutTest, TheFontLetsEveryCaptionFit) {
    const QFont font = form.font();
    EXPECT_LE(font.pixelSize(), 11);
    EXPECT_GE(font.pixelSize(), 8);
    for (const char* name :
         {"Schedule", "JobAsSet", "PSCollate", "SmartReplots", "RemoveQL", "RepMode", "AddMode"}) {
        QWidget* box = Find(name);
        EXPECT_LE(box->sizeHint().width(), box->width()) << name;
    }
    EXPECT_LE(Find("Label1")->x() + Find("Label1")->width(), 88);
    EXPECT_LE(Find("Label4")->x() + Find("Label4")->width(), 229);
}

TEST_F(WindowLayoutTest, TabOrderFollowsEachParentsOrder) {
    const char* order[] = {"OKPrint",      "StringGrid1", "Uur",         "Minuut",
                           "Schedule",     "JobAsSet",    "PrinterList", "SpinEdit1",
                           "SelectFiles",  "RepMode",     "AddMode",     "Remove",
                           "SmartReplots", "RemoveQL",    "PSCollate",   "FitToPage"};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i) {
        QWidget* widget = Find(order[i]);
        QWidget* next = widget->nextInFocusChain();
        // Children that take no focus themselves (the grid's viewport) sit in between.
        while (next && next->focusPolicy() == Qt::NoFocus)
            next = next->nextInFocusChain();
        while (next && next->parentWidget() == widget)
            next = next->nextInFocusChain();
        ASSERT_TRUE(next);
        EXPECT_EQ(next->objectName(), QString::fromUtf8(order[i + 1])) << order[i];
    }
}

TEST_F(WindowLayoutTest, ControlsStartInTheirDesignStates) {
    auto* schedule = qobject_cast<QCheckBox*>(Find("Schedule"));
    EXPECT_FALSE(schedule->isChecked());
    EXPECT_TRUE(qobject_cast<QRadioButton*>(Find("RepMode"))->isChecked());
    EXPECT_FALSE(qobject_cast<QRadioButton*>(Find("AddMode"))->isChecked());
    EXPECT_FALSE(Find("SmartReplots")->isEnabled());
    EXPECT_FALSE(Find("RemoveQL")->isEnabled());
    EXPECT_TRUE(qobject_cast<QPushButton*>(Find("OKPrint"))->isDefault());
    auto* uur = qobject_cast<TIntegerEdit*>(Find("Uur"));
    EXPECT_EQ(uur->Value(), 12);
    EXPECT_EQ(uur->MaxLength(), 2);
    EXPECT_EQ(uur->DisplayFormat(), "00");
    auto* spin = qobject_cast<TSpinEdit*>(Find("SpinEdit1"));
    EXPECT_EQ(spin->MinValue(), 1);
    EXPECT_EQ(spin->MaxValue(), 99);
    EXPECT_FALSE(spin->EditorEnabled());
    auto* grid = qobject_cast<TDataGrid*>(Find("StringGrid1"));
    EXPECT_EQ(grid->Grid().rowCount(), 30);
    EXPECT_EQ(grid->Grid().fixedRows(), 1);
    EXPECT_EQ(grid->Grid().colWidth(0), 445);
    EXPECT_EQ(grid->Grid().colWidth(1), 36);
    EXPECT_TRUE(grid->Options().rangeSelect);
    EXPECT_TRUE(grid->Options().tabs);
    ASSERT_TRUE(grid->PopupMenu());
    ASSERT_EQ(grid->PopupMenu()->actions().size(), 1);
    EXPECT_EQ(grid->PopupMenu()->actions().front()->text(), QStringLiteral("Delete"));
    EXPECT_FALSE(form.findChild<QTimer*>(QStringLiteral("Timer1"))->isActive());
    EXPECT_EQ(form.findChild<QTimer*>(QStringLiteral("Timer1"))->interval(), 1000);
}

TEST_F(WindowLayoutTest, TheMenusHoldEveryItemInOrder) {
    const QStringList expected = {"&File",
                                  "&Select files",
                                  "-",
                                  "&Open list from file",
                                  "&View / print list",
                                  "Sa&ve list to file",
                                  "-",
                                  "&Abort",
                                  "&Configure",
                                  "&Path for temp files",
                                  "-",
                                  "HPGL/2 &QL from start",
                                  "HPGL/2 &RP from end",
                                  "-",
                                  "C&lear list after spooling",
                                  "Re&verse set order",
                                  "-",
                                  "Printer&type in statusbar",
                                  "Printerp&ort in statusbar",
                                  "-",
                                  "PS fit to size:",
                                  "A5 size",
                                  "A4 size",
                                  "A3 size",
                                  "A2 size",
                                  "A1 size",
                                  "A0 size",
                                  "&Queue Mgt",
                                  "&Show Q",
                                  "-",
                                  "&Pause printing",
                                  "&Resume printing",
                                  "-",
                                  "&Clear print Q",
                                  "&Info",
                                  "&About"};
    QStringList actual;
    std::function<void(QMenu*)> walk = [&](QMenu* menu) {
        for (QAction* action : menu->actions()) {
            actual << (action->isSeparator() ? QStringLiteral("-") : action->text());
            if (action->menu())
                walk(action->menu());
        }
    };
    for (QAction* top : form.menuBar()->actions()) {
        actual << top->text();
        walk(top->menu());
    }
    EXPECT_EQ(actual, expected);
    auto item = [&](const char* name) { return form.findChild<QAction*>(QString::fromUtf8(name)); };
    EXPECT_TRUE(item("A4size1")->isChecked());
    EXPECT_EQ(item("SetTempdir1")->toolTip(),
              QStringLiteral("Set path to disk with sufficient space"));
    for (const char* name : {"Printertype1", "PortinStatusbar1", "A5size1", "A0size1"}) {
        ASSERT_TRUE(item(name)->actionGroup()) << name;
        EXPECT_TRUE(item(name)->actionGroup()->isExclusive()) << name;
    }
    EXPECT_TRUE(item("Clearafterspooling1")->isCheckable());
    EXPECT_FALSE(item("Clearafterspooling1")->isChecked());
}

TEST(WindowWithoutQueueTest, AQueueThatCannotBeOpenedIsReported) {
    EnsureApplication();
    UserFolders folders;
    FixedClock clock;
    FakeDeviceProbe probe;
    FakePrintSpooler spooler;
    spooler.printers = {"plot"};
    spooler.refuseOpen = {"plot"};
    TTavrinForm form(spooler, probe, clock, folders.location);
    std::vector<std::string> messages;
    form.MessageBox = [&](const QString& text) { messages.push_back(text.toStdString()); };
    form.FormCreate();
    form.findChild<QAction*>(QStringLiteral("ShowQ1"))->trigger();
    EXPECT_EQ(messages, std::vector<std::string>{"Queue for Printer plot not available"});
    EXPECT_FALSE(QueueWindow::Find("plot"));
}

TEST(WindowWithoutQueueTest, NoPrinterIsReportedAndTheWindowStillOpens) {
    EnsureApplication();
    UserFolders folders;
    FixedClock clock;
    FakeDeviceProbe probe;
    FakePrintSpooler spooler;
    TTavrinForm form(spooler, probe, clock, folders.location);
    std::vector<std::string> messages;
    form.MessageBox = [&](const QString& text) { messages.push_back(text.toStdString()); };
    form.FormCreate();
    form.CreateDialogs();
    form.ShowFirst({});
    EXPECT_TRUE(form.isVisible());
    ASSERT_EQ(messages.size(), 1u);
    // The message's two lines are shown as two lines.
    EXPECT_EQ(messages[0],
              "No printer or plotter installed\nInstall a driver before you use this program");
    EXPECT_EQ(form.findChild<QComboBox*>(QStringLiteral("PrinterList"))->count(), 0);
    EXPECT_TRUE(form.close());
}

}  // namespace
}  // namespace tavrin::test
