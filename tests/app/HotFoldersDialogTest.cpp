// SPDX-License-Identifier: GPL-3.0-or-later
// The window's hot folders: the Configure menu's dialog and its editor, the settings they write,
// and the watch that prints a folder's files while the window is open.
#include <QElapsedTimer>
#include <QGroupBox>
#include <QSpinBox>
#include <QTreeWidget>
#include <cstdlib>

#include "WindowTestSupport.h"
#include "app/HotFoldersDialog.h"
#include "hotfolder/HotFolderSettings.h"
#include "joblog/JobLog.h"

namespace tavrin::test {
namespace {

namespace fs = std::filesystem;
using Server = SandboxPrintServer;

HotFolder RawFolder(const fs::path& folder) {
    HotFolder hot;
    hot.path = folder.string();
    hot.printer = Server::kRawQueue;
    return hot;
}

class HotFoldersTest : public WindowFixture {
protected:
    HotFoldersTest() {
        // The watch's jobs go into a log of the test's own.
        qputenv("TAVRIN_JOBLOG", QByteArray::fromStdString((scratch / "joblog.sqlite").string()));
        fs::create_directories(folderA);
        fs::create_directories(folderB);
    }
    // The window and its watch go before the folders they use.
    ~HotFoldersTest() override {
        CloseWindow();
        qunsetenv("TAVRIN_JOBLOG");
    }

    void OpenWindow() {
        Start();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }
    // Opens the dialog from the Configure menu with the keyboard.
    void OpenDialog() {
        QTest::keyClick(form.get(), Qt::Key_C, Qt::AltModifier);
        QTest::keyClick(Find<QMenu>("Configure1"), Qt::Key_H);
        dialog = form->findChild<HotFoldersDialog*>();
        ASSERT_TRUE(dialog && dialog->isVisible() && dialog->isModal());
        editor = dialog->Form();
    }
    template <typename T = QWidget>
    static T* In(QWidget* parent, const char* name) {
        T* found = parent->findChild<T*>(QString::fromUtf8(name));
        EXPECT_TRUE(found) << name;
        return found;
    }
    // A check box takes clicks on its box and caption, at its left.
    void Press(QWidget* parent, const char* button) {
        QWidget* pressed = In(parent, button);
        QTest::mouseClick(pressed, Qt::LeftButton, {},
                          qobject_cast<QCheckBox*>(pressed) ? QPoint(8, pressed->height() / 2)
                                                            : pressed->rect().center());
    }
    // Types `text` over what a field holds.
    static void Type(QWidget* field, const std::string& text) {
        QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(field, QString::fromStdString(text));
    }
    // Chooses an item of one of the editor's boxes with the keyboard, as a user does.
    void Choose(const char* box, const std::string& text) {
        auto* combo = In<QComboBox>(editor, box);
        const int wanted = combo->findText(QString::fromStdString(text));
        ASSERT_GE(wanted, 0) << text;
        combo->setFocus();
        while (combo->currentIndex() != wanted)
            QTest::keyClick(combo, combo->currentIndex() < wanted ? Qt::Key_Down : Qt::Key_Up);
    }
    // Those of the editor's option boxes that are enabled, and their captions.
    std::string Enabled() const {
        return test::Which(*editor, &QWidget::isEnabled,
                           {"DeviceCopies", "Quality", "Collate", "Fit"});
    }
    std::string Checked() const {
        return test::Which(*editor, &QAbstractButton::isChecked,
                           {"DeviceCopies", "Quality", "Collate", "Fit"});
    }
    Texts Listed() const {
        Texts rows;
        auto* list = In<QTreeWidget>(dialog, "Folders");
        for (int row = 0; row < list->topLevelItemCount(); ++row) {
            const QTreeWidgetItem* item = list->topLevelItem(row);
            rows.push_back(FromQt(item->text(0) + " | " + item->text(1) + " | " + item->text(2) +
                                  " | " + item->text(3)));
        }
        return rows;
    }

    TempFolder scratch;
    const fs::path folderA = scratch / "plots in";
    const fs::path folderB = scratch / "prints";
    HotFoldersDialog* dialog = nullptr;
    HotFolderForm* editor = nullptr;
};

TEST_F(HotFoldersTest, TwoFoldersAddedInTheEditorAreWrittenAsTheyWereEntered) {
    SKIP_WITHOUT_PRINT_SERVER();
    OpenWindow();
    OpenDialog();
    EXPECT_EQ(Listed(), Texts{});

    Press(dialog, "Add");
    ASSERT_TRUE(editor->isVisible());
    Type(In(editor, "Path"), folderA.string() + "/");
    Choose("Printer", Server::kHpglQueue);
    Type(In(editor, "Copies"), "3");
    Press(editor, "DeviceCopies");
    Press(editor, "Quality");
    Type(In(editor, "Settle"), "2");
    QTest::keyClick(In(editor, "Path"), Qt::Key_Return);
    EXPECT_FALSE(editor->isVisible());

    // The second through "Browse...", which asks the folder dialog.
    Press(dialog, "Add");
    std::string asked = "-";
    editor->Browse().SetDialog([&](QWidget*, const std::string&, const std::string& start) {
        asked = start;
        return std::optional<std::string>(folderB.string());
    });
    Press(editor, "Browse");
    EXPECT_EQ(asked, "");
    Choose("Printer", Server::kPostScriptQueue);
    Press(editor, "DeviceCopies");
    Press(editor, "Collate");
    Press(editor, "Fit");
    Choose("Page", "A3");
    Press(editor, "LookOnly");
    EXPECT_TRUE(SaveShot(*editor, "hot-folder-editor"));
    Press(editor, "EntryOK");

    EXPECT_EQ(messages, Texts{});
    EXPECT_EQ(Listed(),
              (Texts{folderA.string() + " | hpgl-plotter | 3 | copies by the device, quality on "
                                        "plotter, settle 2 s",
                     folderB.string() + " | ps-printer | 1 | copies by the device, collate, fit "
                                        "to A3, settle 5 s, look only"}));
    EXPECT_TRUE(SaveShot(*dialog, "hot-folders"));
    Press(dialog, "OK");
    EXPECT_FALSE(dialog->isVisible());

    HotFolder a{folderA.string(), Server::kHpglQueue, 3, true, true, false, std::nullopt, 2, false};
    HotFolder b{folderB.string(), Server::kPostScriptQueue, 1,   true, false, true,
                PageSize::A3,     kDefaultSettleSeconds,    true};
    EXPECT_EQ(ReadHotFolderSettings(folders.location), (HotFolderSettings{false, {a, b}, {}}));

    // Edited: the editor opens with the folder's values, which it keeps.
    OpenDialog();
    QTest::keyClick(In(dialog, "Folders"), Qt::Key_End);
    Press(dialog, "Edit");
    EXPECT_EQ(FromQt(In<QLineEdit>(editor, "Path")->text()), folderB.string());
    EXPECT_EQ(Checked(), "DeviceCopies Collate Fit");
    Type(In(editor, "Copies"), "12");
    Press(editor, "EntryOK");
    Press(dialog, "OK");
    b.copies = 12;
    EXPECT_EQ(ReadHotFolderSettings(folders.location).folders, (std::vector<HotFolder>{a, b}));
}

TEST_F(HotFoldersTest, AFolderThatCannotBeUsedIsRefusedWithWhatWasTypedAndNothingIsWritten) {
    SKIP_WITHOUT_PRINT_SERVER();
    WriteHotFolderSettings(folders.location, {false, {RawFolder(folderA)}, {}});
    const fs::path file = scratch / "plot.plt";
    WriteBytes(file, "IN;");
    OpenWindow();
    const std::string before = ReadFile(folders.Ini());
    OpenDialog();

    const struct {
        std::string path, message;
    } refused[] = {
        {"", "Enter the folder whose files are to print, or choose it with Browse..."},
        {(scratch / "gone").string(),
         "The folder " + (scratch / "gone").string() + " does not exist"},
        {file.string(), file.string() + " is no folder"},
        {folderA.string() + "/.", folderA.string() + " is a hot folder already"},
    };
    for (const auto& row : refused) {
        messages.clear();
        Press(dialog, "Add");
        Type(In(editor, "Path"), row.path);
        Press(editor, "EntryOK");
        EXPECT_EQ(messages, Texts{row.message});
        EXPECT_TRUE(editor->isVisible());
        EXPECT_EQ(FromQt(In<QLineEdit>(editor, "Path")->text()), row.path);
        QTest::keyClick(editor, Qt::Key_Escape);
    }
    // A folder taken into the list, then Cancel: nothing is written.
    Press(dialog, "Add");
    Type(In(editor, "Path"), folderB.string());
    Press(editor, "EntryOK");
    EXPECT_EQ(Listed().size(), 2u);
    Press(dialog, "Cancel");
    EXPECT_EQ(ReadFile(folders.Ini()), before);
    OpenDialog();
    EXPECT_EQ(Listed().size(), 1u);
}

TEST_F(HotFoldersTest, TheEditorOffersTheOptionsOfThePrintersClassAsTheMainWindowDoes) {
    SKIP_WITHOUT_PRINT_SERVER();
    OpenWindow();
    OpenDialog();
    Press(dialog, "Add");
    const struct {
        const char* queue;
        const char* group;
        const char* copiesCaption;
        const char* enabled;
    } classes[] = {
        {Server::kHpglQueue, "HPGL/2 devices only", "Copies by plotter", "DeviceCopies Quality"},
        {Server::kPostScriptQueue, "PS devices only", "Copies by printer",
         "DeviceCopies Collate Fit"},
        {Server::kOceQueue, "Oce devices only", "Copies by plotter", "DeviceCopies"},
        {Server::kRawQueue, "No options for this printer's class", nullptr, ""},
    };
    for (const auto& row : classes) {
        Choose("Printer", row.queue);
        EXPECT_EQ(Enabled(), row.enabled) << row.queue;
        EXPECT_EQ(FromQt(In<QGroupBox>(editor, "Options")->title()), row.group);
        if (row.copiesCaption) {
            EXPECT_EQ(FromQt(In<QCheckBox>(editor, "DeviceCopies")->text()), row.copiesCaption);
        }
    }
    // On a PostScript printer, collating goes with the copies made by the printer.
    Choose("Printer", Server::kPostScriptQueue);
    Press(editor, "DeviceCopies");
    EXPECT_EQ(Enabled(), "DeviceCopies Collate Fit");
    Press(editor, "Collate");
    Press(editor, "Fit");
    EXPECT_TRUE(In(editor, "Page")->isEnabled());
    Press(editor, "DeviceCopies");
    EXPECT_EQ(Checked(), "Fit");
    // A plotter takes no page size: the fit is gone with the class.
    Choose("Printer", Server::kHpglQueue);
    EXPECT_EQ(Checked(), "");
    EXPECT_FALSE(In(editor, "Page")->isEnabled());
    EXPECT_EQ(editor->Entered().fit, std::nullopt);
}

TEST_F(HotFoldersTest, UnreadableEntriesAreToldOnceTheGoodOnesListedAndAFailedWriteLosesNothing) {
    SKIP_WITHOUT_PRINT_SERVER();
    fs::create_directories(folders.Ini().parent_path());
    WriteBytes(folders.Ini(), "[HotFolders]\nWatch=1\nCount=2\nPath1=" + folderA.string() +
                                  "\nPrinter1=hpgl-plotter\nPath2=" + folderB.string() +
                                  "\nPrinter2=ps-printer\nCopies2=500\n");
    OpenWindow();
    OpenDialog();
    EXPECT_EQ(messages,
              Texts{"These hot folder settings cannot be used and are not listed; OK keeps the "
                    "list without them:\nHot folder 2: Copies2=500 is not a copy count (1..99); "
                    "left out"});
    EXPECT_EQ(Listed(), Texts{folderA.string() + " | hpgl-plotter | 1 | settle 5 s"});

    // The settings file cannot be replaced: the window's error box says so, the list stays.
    messages.clear();
    const std::string before = ReadFile(folders.Ini());
    fs::rename(folders.Ini(), scratch / "kept.ini");
    fs::create_directories(folders.Ini());
    Press(dialog, "Remove");
    Press(dialog, "OK");
    EXPECT_EQ(messages, Texts{"Unable to write to " + folders.Ini().string() + "."});
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(Listed(), Texts{});
    fs::remove(folders.Ini());
    fs::rename(scratch / "kept.ini", folders.Ini());
    EXPECT_EQ(ReadFile(folders.Ini()), before);
    Press(dialog, "OK");
    EXPECT_EQ(ReadHotFolderSettings(folders.location), (HotFolderSettings{true, {}, {}}));
}

TEST_F(HotFoldersTest, WhileWatchIsCheckedAFileDroppedIntoAHotFolderPrintsAndMovesToPrinted) {
    SKIP_WITHOUT_PRINT_SERVER();
    OpenWindow();
    QAction* watch = Item("WatchHotFolders1");
    EXPECT_FALSE(watch->isChecked());
    QTest::keyClick(form.get(), Qt::Key_C, Qt::AltModifier);
    QTest::keyClick(Find<QMenu>("Configure1"), Qt::Key_F);
    EXPECT_TRUE(watch->isChecked());
    EXPECT_TRUE(ReadHotFolderSettings(folders.location).watchInWindow);
    // A folder set up while the watch is on is watched from then on.
    OpenDialog();
    Press(dialog, "Add");
    Type(In(editor, "Path"), folderA.string());
    Choose("Printer", Server::kRawQueue);
    Press(editor, "EntryOK");
    Press(dialog, "OK");
    EXPECT_EQ(ReadHotFolderSettings(folders.location),
              (HotFolderSettings{true, {RawFolder(folderA)}, {}}));

    const fs::path sample = Sample("hp2xx/dt.plt");
    fs::copy_file(sample, folderA / "dt.plt");
    const fs::path printed = folderA / "Printed" / "dt.plt";
    EXPECT_TRUE(QTest::qWaitFor([&] { return fs::exists(printed); }, 60000));
    EXPECT_TRUE(SameContents(printed, sample));
    EXPECT_FALSE(fs::exists(folderA / "dt.plt"));
    const std::vector<JobRecord> logged = JobLog(scratch / "joblog.sqlite").Jobs({});
    ASSERT_EQ(logged.size(), 1u);
    EXPECT_EQ(
        (std::tuple{logged[0].frontEnd, logged[0].printer, logged[0].outcome}),
        (std::tuple{folderA.string(), std::string(Server::kRawQueue), LoggedOutcome::Printed}));
    // The latest line of the watch is the status bar's tooltip.
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return Find("StatusBar1")->toolTip().contains(QStringLiteral("dt.plt printed")); },
        10000))
        << FromQt(Find("StatusBar1")->toolTip());

    // Closing stops the watch without waiting for it; the next start watches again.
    QElapsedTimer closing;
    closing.start();
    ASSERT_TRUE(CloseWindow());
    EXPECT_LT(closing.elapsed(), 5000);
    OpenWindow();
    EXPECT_TRUE(Item("WatchHotFolders1")->isChecked());
    Item("WatchHotFolders1")->trigger();
    EXPECT_FALSE(ReadHotFolderSettings(folders.location).watchInWindow);
    EXPECT_EQ(ReadHotFolderSettings(folders.location).folders.size(), 1u);
}

}  // namespace
}  // namespace tavrin::test
