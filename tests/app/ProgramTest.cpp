// SPDX-License-Identifier: GPL-3.0-or-later
// The program as a user starts it, its hand-over of files, error box, build date and dialogs.
#include <QProcess>
#include <stdexcept>

#include "WindowTestSupport.h"
#include "app/BuildDate.h"
#include "app/ErrorBox.h"
#include "app/Over.h"
#include "app/SingleInstance.h"
#include "app/Stelin.h"
#include "platform/Error.h"
#include "platform/PrivateProfile.h"
#include "widgets/SpinEdit.h"

namespace tavrin::test {
namespace {

namespace fs = std::filesystem;

TEST(ProgramProcessTest, ASecondStartHandsOverAndSigtermClosesWithSettingsSaved) {
#ifdef _WIN32
    GTEST_SKIP() << "the POSIX start: XDG folders, the socket file and SIGTERM (on Windows the "
                    "second start is tested end to end under wine: tests/windows)";
#endif
    EnsureApplication();
    PrintServer();
    UserFolders folders;
    const fs::path runtime = folders.root / "run";
    fs::create_directories(runtime);
    fs::permissions(runtime, fs::perms::owner_all);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert("XDG_RUNTIME_DIR", QString::fromStdString(runtime.string()));
    for (const auto& [name, value] : folders.environment)
        environment.insert(QString::fromStdString(name), QString::fromStdString(value));
    const auto launch = [&](QProcess& process, const QStringList& arguments) {
        process.setProcessEnvironment(environment);
        process.setProcessChannelMode(QProcess::ForwardedChannels);
        process.start(TAVRIN_WINDOW_PATH, arguments);
        ASSERT_TRUE(process.waitForStarted());
    };

    QProcess window, second;
    launch(window, {QString::fromStdString(Sample("ghostpdl/colorcir.ps").string())});
    // The window takes names from later starts once it is up.
    ASSERT_TRUE(QTest::qWaitFor([&] { return fs::exists(runtime / "tavrin.socket"); }, 60000));
    const fs::path ini = folders.root / "config" / "tavrin" / "tavrin.ini";
    ASSERT_TRUE(fs::exists(ini));
    EXPECT_EQ(ReadProfileString(ini, "Data", "PlotFilesPath", "<none>"), "<none>");

    launch(second,
           {QString::fromStdString(Sample("jem-green-HPGL2/test-Model.PLT").string()), "b.plt"});
    ASSERT_TRUE(second.waitForFinished(30000));
    EXPECT_EQ((std::pair{second.exitStatus(), second.exitCode()}),
              (std::pair{QProcess::NormalExit, 0}));
    EXPECT_FALSE(window.waitForFinished(200)) << "the first window must still run";

    window.terminate();  // SIGTERM
    ASSERT_TRUE(window.waitForFinished(30000));
    EXPECT_EQ((std::pair{window.exitStatus(), window.exitCode()}),
              (std::pair{QProcess::NormalExit, 0}));
    // Closed as by its close box: the settings were written.
    EXPECT_NE(ReadProfileString(ini, "Data", "PlotFilesPath", "<none>"), "<none>");
}

TEST(SingleInstanceTest, OneWindowTakesTheNameGetsEachStartsBatchAndALeftOverSocketIsReplaced) {
#ifdef _WIN32
    GTEST_SKIP() << "both ends in one thread: under wine the hand-over to a named pipe served by "
                    "the same thread does not complete (the second start is tested between two "
                    "processes under wine: tests/windows)";
#endif
    EnsureApplication();
    TempFolder folder;
    const QString name = QString::fromStdString((folder / "socket").string());
    SingleInstance second(name);
    EXPECT_FALSE(second.HandOver({"/plots/a.plt"}, 200)) << "nobody listening";
    {
        SingleInstance running(name);
        ASSERT_TRUE(running.Listen());
        SingleInstance other(name);
        EXPECT_FALSE(other.Listen());
        std::vector<std::vector<std::string>> batches;
        running.OnFiles = [&](const std::vector<std::string>& names) { batches.push_back(names); };
        ASSERT_TRUE(second.HandOver({"/plots/a b.plt", "/plots/ü.ps"}));
        ASSERT_TRUE(second.HandOver({"/plots/c.plt"}));
        ASSERT_TRUE(QTest::qWaitFor([&] { return batches.size() >= 2; }));
        EXPECT_EQ(batches, (std::vector<std::vector<std::string>>{{"/plots/a b.plt", "/plots/ü.ps"},
                                                                  {"/plots/c.plt"}}));
    }
    // A file left over at the name is replaced.
    WriteBytes(folder / "socket", "");
    SingleInstance next(name);
    EXPECT_TRUE(next.Listen());
}

TEST(ErrorBoxTest, AFullStopFollowsALetterOrDigitOnlyAndAnyFailureOfAHandlerIsShown) {
    for (const auto& [text, shown] : {std::pair{"Cannot open file /a/b", "Cannot open file /a/b."},
                                      {"Unable to write to 7", "Unable to write to 7."},
                                      {"Already done.", "Already done."},
                                      {"What?", "What?"},
                                      {"", ""}})
        EXPECT_EQ(ErrorBoxText(Error(text)), shown);
    std::vector<std::string> shown;
    auto show = [&](const std::string& text) { shown.push_back(text); };
    RunGuarded([] { throw Error("'x' is not a valid integer value"); }, show);
    RunGuarded([] { throw std::runtime_error("disk full"); }, show);
    RunGuarded([] {}, show);
    EXPECT_EQ(shown, (std::vector<std::string>{"'x' is not a valid integer value.", "disk full."}));
}

TEST(BuildDate, CaptionsHaveNoLeadingZerosAndTextsOfAnotherFormGiveNoDate) {
    for (const auto& [text, date] : {std::pair{"May  8 2002", "8/5/2002"},
                                     {"Oct 10 2031", "10/10/2031"},
                                     {"Dec 31 2026", "31/12/2026"},
                                     {"Jan 10 2000", "10/1/2000"},
                                     {"Sep  1 2025", "1/9/2025"}})
        EXPECT_EQ(CompiledCaption(ParseCompilerDate(text)),
                  std::string("Compiled (D/M/Y): ") + date);
    for (const char* text : {"", "??? ?? ????", "May 8 2002", "Mai  8 2002", "May  8 20x2",
                             "May x8 2002", "May  8 2002 "})
        EXPECT_EQ(ParseCompilerDate(text), BuildDate{}) << text;
}

class Dialogs : public ::testing::Test {
protected:
    Dialogs() { mainWindow.move(273, 173); }
    UsesApplication app;
    QWidget mainWindow;
};

// A dialog as "title wxh", then "fixed" when it cannot be resized, "shown", "modal".
std::string Frame(const QDialog& dialog) {
    return dialog.windowTitle().toStdString() + " " + std::to_string(dialog.width()) + "x" +
           std::to_string(dialog.height()) +
           (dialog.minimumSize() == dialog.maximumSize() ? " fixed" : "") +
           (dialog.isVisible() ? " shown" : "") + (dialog.isModal() ? " modal" : "");
}

TEST_F(Dialogs, AboutBoxIsBuiltHiddenAndShowsTheBuildDateBesideTheMainWindowUntilFineSeen) {
    TOverTavrin about{&mainWindow};
    EXPECT_EQ(Frame(about), "About.... 265x215 fixed");
    EXPECT_EQ((Texts{Look(about.Label4(), false), Look(about.Bevel1()), Look(about.BitBtn1()),
                     Look(about.NameLine(), false), Look(about.Motto(), false)}),
              (Texts{"Compiled:  @28,112", " @28,8 209x57", "&Fine, seen @84,175 105x25",
                     "Tavrin @32,14", "(so forget \"copy /b file \\\\server\\printer\") @32,38"}));
    EXPECT_TRUE(about.NameLine()->font().bold());
    EXPECT_LE(about.Motto()->fontMetrics().horizontalAdvance(about.Motto()->text()),
              about.Motto()->width());
    EXPECT_TRUE(about.Bevel1()->geometry().contains(about.NameLine()->geometry()));
    EXPECT_TRUE(about.Bevel1()->geometry().contains(about.Motto()->geometry()));
    EXPECT_FALSE(about.BitBtn1()->icon().isNull());

    about.About2Click();
    EXPECT_EQ((std::pair{about.isVisible(), about.pos()}), (std::pair{true, QPoint(373, 203)}));
    EXPECT_NE(ProgramBuildDate(), BuildDate{});
    EXPECT_EQ(about.Label4()->text().toStdString(), CompiledCaption(ProgramBuildDate()));
    ASSERT_TRUE(SaveShot(about, "about_box"));

    QTest::mouseClick(about.BitBtn1(), Qt::LeftButton);
    EXPECT_FALSE(about.isVisible());
    mainWindow.move(10, 20);
    about.About2Click();
    EXPECT_EQ((std::pair{about.isVisible(), about.pos()}), (std::pair{true, QPoint(110, 50)}));
}

// The hidden edit and its label: RP mode hides the first, QL mode the second.
std::string Hidden(const TConfigure& dialog) {
    return Which(dialog, &QWidget::isHidden, {"SpinEdit1", "Label1", "SpinEdit2", "Label2"});
}

// Types into an edit as the user does: the edit takes the focus, its text is replaced.
void TypeInto(TSpinEdit* edit, const char* text) {
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, QString::fromLatin1(text));
}

TEST_F(Dialogs, ConfigureIsBuiltHiddenInRpModeShowsEachModeBesideTheMainWindowAndSwitches) {
#ifdef _WIN32
    GTEST_SKIP() << "the places and sizes checked are those of the Linux build's fonts (Windows' "
                    "spin edits are 2 pixels higher)";
#endif
    Settings settings;
    TConfigure dialog{&mainWindow, settings};
    EXPECT_EQ(Frame(dialog), "Configure 208x102");
    EXPECT_EQ(
        (Texts{Look(dialog.Label1(), false), Look(dialog.Label2(), false), Look(dialog.SpinEdit1()),
               Look(dialog.SpinEdit2()), Look(dialog.Button1()), Look(dialog.Button2())}),
        (Texts{"QL pos. from start @24,28", "RP pos. from end @24,27", "500 @120,24 57x22",
               "30 @120,24 57x22", "&OK @120,64 75x25", "&Default @16,64 75x25"}));
    EXPECT_EQ(
        (QStringList{dialog.Button2()->toolTip(), dialog.SpinEdit1()->toolTip(),
                     dialog.SpinEdit2()->toolTip()}),
        (QStringList{"Set default value",
                     "Set number of chars in beginning of file to search for QL string",
                     "Set number of characters in tail of the plotfile to search for PG string"}));
    EXPECT_EQ(Hidden(dialog), "SpinEdit1 Label1");
    for (QLabel* label : {dialog.Label1(), dialog.Label2()})
        EXPECT_LE(label->x() + label->sizeHint().width(), dialog.SpinEdit1()->x());
    for (QPushButton* button : {dialog.Button1(), dialog.Button2()}) {
        const QString shown = QString(button->text()).remove(QLatin1Char('&'));
        EXPECT_LE(button->fontMetrics().horizontalAdvance(shown) + 12, button->width())
            << shown.toStdString();
    }
    EXPECT_EQ((std::array{NextTabStop(dialog.SpinEdit1()), NextTabStop(dialog.SpinEdit2()),
                          NextTabStop(dialog.Button1())}),
              (std::array<QWidget*, 3>{dialog.SpinEdit2(), dialog.Button1(), dialog.Button2()}));

    dialog.QLfromstart1Click();
    EXPECT_EQ((std::pair{dialog.isVisible(), dialog.pos()}), (std::pair{true, QPoint(323, 203)}));
    EXPECT_EQ(Hidden(dialog), "SpinEdit2 Label2");
    ASSERT_TRUE(SaveShot(dialog, "configure_ql_mode"));
    dialog.close();
    mainWindow.move(40, 60);
    dialog.RPfromend1Click();
    EXPECT_EQ(dialog.pos(), QPoint(90, 90));
    EXPECT_EQ(Hidden(dialog), "SpinEdit1 Label1");
    ASSERT_TRUE(SaveShot(dialog, "configure_rp_mode"));
    dialog.close();

    // Switched while open, not shown afresh: the typed number in the hidden edit stays.
    dialog.QLfromstart1Click();
    TypeInto(dialog.SpinEdit1(), "400");
    settings.FromEnd = 25;
    dialog.RPfromend1Click();
    EXPECT_EQ(Hidden(dialog), "SpinEdit1 Label1");
    EXPECT_EQ(dialog.SpinEdit2()->text(), "25");
    EXPECT_EQ(dialog.SpinEdit1()->text(), "400");
    QTest::mouseClick(dialog.Button1(), Qt::LeftButton);
    EXPECT_EQ((std::pair{settings.FromStart, settings.FromEnd}), (std::pair{400, 25}));
}

enum Press { kOk, kOkSlot, kDefault, kCloseBox, kEscape, kAltO };

void PressIn(TConfigure& dialog, TSpinEdit* edit, Press press) {
    if (press == kOk || press == kDefault) {
        QTest::mouseClick(press == kOk ? dialog.Button1() : dialog.Button2(), Qt::LeftButton);
    } else if (press == kOkSlot) {
        dialog.Button1Click();
    } else if (press == kCloseBox) {
        dialog.close();
    } else if (press == kEscape) {
        QTest::keyClick(edit, Qt::Key_Escape);
    } else {  // "&OK" by its shortcut: the edit keeps the focus and has not bounded its number
        dialog.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
        QTest::keyClick(edit, Qt::Key_O, Qt::AltModifier);
        // A shortcut presses the button and lets it go a moment later.
        for (int i = 0; i < 500 && dialog.isVisible(); ++i)
            QTest::qWait(10);
    }
}

TEST_F(Dialogs, ConfigureStoresOnlyWhatOkOrDefaultSetsAndOnlyWithinTheRange) {
    struct Row {
        const char* name;
        bool ql;
        int fromStart, fromEnd;
        const char* typed;  // null: nothing typed; "": the edit emptied
        Press press;
        const char* shown;  // the open mode's edit at the press; null: not checked
        const char* want;   // "FromStart/FromEnd" stored, "open" while the dialog still shows
    };
    const Row rows[] = {
        {"typed value stored by OK", true, 600, 30, "100", kOk, "100", "100/30"},
        {"above the range shown as bound", true, 900, 30, nullptr, kOk, "800", "800/30"},
        {"RP's OK bounds the hidden value too", false, 900, 30, nullptr, kOk, "30", "800/30"},
        {"FromEnd of zero shown as one", false, 600, 0, nullptr, kOk, "1", "600/1"},
        {"Default in RP sets 30 at once", false, 123, 7, nullptr, kDefault, "30", "123/30 open"},
        {"Default in QL sets 600", true, 250, 9, nullptr, kDefault, "600", "600/9 open"},
        {"close box stores nothing", true, 600, 30, "77", kCloseBox, "77", "600/30"},
        {"Escape stores nothing", true, 600, 30, "78", kEscape, "78", "600/30"},
        {"Alt+O bounds what the edit holds", true, 600, 30, "-5", kAltO, "-5", "1/30"},
        {"OK bounds a number above the range", false, 600, 30, "99999", kOkSlot, nullptr, "600/50"},
        {"OK stores an empty edit as one", false, 600, 30, "", kOkSlot, "", "600/1"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Settings settings;
        settings.FromStart = row.fromStart;
        settings.FromEnd = row.fromEnd;
        const auto stored = [&] {
            return std::to_string(settings.FromStart) + "/" + std::to_string(settings.FromEnd);
        };
        TConfigure dialog{&mainWindow, settings};
        row.ql ? dialog.QLfromstart1Click() : dialog.RPfromend1Click();
        TSpinEdit* edit = row.ql ? dialog.SpinEdit1() : dialog.SpinEdit2();
        if (row.typed && !*row.typed)
            edit->clear();
        else if (row.typed)
            TypeInto(edit, row.typed);
        const QString before = edit->text();
        PressIn(dialog, edit, row.press);
        // Only "&Default" leaves the dialog open; its edit is read after the press.
        if (row.shown) {
            EXPECT_EQ(row.press == kDefault ? edit->text() : before, row.shown);
        }
        EXPECT_EQ(stored() + (dialog.isVisible() ? " open" : ""), row.want);
        // Closing by the close box keeps what "&Default" set.
        dialog.close();
        EXPECT_EQ(stored(), std::string(row.want).substr(0, std::string(row.want).find(' ')));
    }
}

}  // namespace
}  // namespace tavrin::test
