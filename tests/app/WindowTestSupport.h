#pragma once

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <array>
#include <deque>
#include <map>

#include "app/FileDialogs.h"
#include "app/TavrinMain.h"
#include "app/TavrinUnit.h"
#include "app/WindowPrintServer.h"
#include "joblist/LongFileName.h"
#include "settings/SettingsStore.h"
#include "support/SandboxPrintServer.h"
#include "support/TempFolder.h"
#include "support/TestApplication.h"
#include "widgets/IntegerEdit.h"

namespace tavrin::test {

using Texts = std::vector<std::string>;

// The one private print server of this test program, started on first use.
inline SandboxPrintServer& PrintServer() {
    static SandboxPrintServer server;
    return server;
}

// A test that prints to the private print server's queues, or reads what they received, starts
// it; on Windows, where it cannot run, the test is skipped. The window's other tests run there
// against the system's spooler.
#ifdef _WIN32
#define SKIP_WITHOUT_PRINT_SERVER()                                                             \
    GTEST_SKIP() << "needs the sandbox print server, a POSIX program that cannot run inside a " \
                    "Windows test (tavrin.exe against it under wine: tests/windows)"
#else
#define SKIP_WITHOUT_PRINT_SERVER() ::tavrin::test::PrintServer()
#endif

inline bool SaveShot(QWidget& widget, const std::string& name) {
    std::filesystem::create_directories(OutputDir());
    return widget.grab().save(QString::fromStdString((OutputDir() / (name + ".png")).string()));
}

// Those of `names` under `root` whose `state` holds, to check several controls at once.
template <typename T>
std::string Which(const QObject& root, bool (T::*state)() const,
                  std::initializer_list<const char*> names) {
    std::string which;
    for (const char* name : names) {
        T* found = root.findChild<T*>(QString::fromUtf8(name));
        EXPECT_TRUE(found) << name;
        which += found && (found->*state)() ? std::string(which.empty() ? "" : " ") + name : "";
    }
    return which;
}

// A control as "caption @x,y wxh"; `sized` false leaves out the size it takes from its text.
inline std::string Look(QWidget* widget, bool sized = true) {
    const QVariant title = widget->property("title");  // a group box's caption
    std::string look =
        (title.isValid() ? title : widget->property("text")).toString().toStdString() + " @" +
        std::to_string(widget->x()) + "," + std::to_string(widget->y());
    if (sized)
        look += " " + std::to_string(widget->width()) + "x" + std::to_string(widget->height());
    return look;
}

// The next widget the Tab key reaches, passing over `widget`'s own children.
inline QWidget* NextTabStop(QWidget* widget) {
    QWidget* next = widget->nextInFocusChain();
    while (next != widget && (!(next->focusPolicy() & Qt::TabFocus) || widget->isAncestorOf(next)))
        next = next->nextInFocusChain();
    return next;
}

inline std::filesystem::path Sample(const char* relative) {
    return std::filesystem::canonical(SamplesDir() / relative);
}

class FixedClock : public Clock {
public:
    TimeOfDay now{9, 15};
    TimeOfDay Now() const override { return now; }
};

// File dialogs that answer from a script ({}: a cancel) and remember what they were asked.
class ScriptedDialogs : public FileDialogs {
public:
    std::deque<FileDialogAnswer> answers;
    std::vector<FileDialogRequest> openRequests, saveRequests;

    std::optional<FileDialogAnswer> Open(QWidget*, const FileDialogRequest& request) override {
        openRequests.push_back(request);
        return Next();
    }
    std::optional<FileDialogAnswer> Save(QWidget*, const FileDialogRequest& request) override {
        saveRequests.push_back(request);
        return Next();
    }

private:
    std::optional<FileDialogAnswer> Next() {
        if (answers.empty())
            return std::nullopt;
        const FileDialogAnswer answer = answers.front();
        answers.pop_front();
        return answer.files.isEmpty() ? std::nullopt : std::optional(answer);
    }
};

inline FileDialogAnswer Chosen(const std::vector<std::filesystem::path>& files,
                               int filterIndex = 0) {
    FileDialogAnswer answer;
    for (const auto& file : files)
        answer.files << QString::fromStdString(file.string());
    answer.filterIndex = filterIndex;
    return answer;
}

// A user's folders for one test: the settings and cache folders, and the scratch files.
class UserFolders {
public:
    TempFolder root;
    const std::map<std::string, std::string> environment = {
        {"XDG_CONFIG_HOME", (root / "config").string()},
        {"XDG_CACHE_HOME", (root / "cache").string()},
        {"XDG_DATA_HOME", (root / "data").string()},
        {"HOME", (root / "home").string()}};
    SettingsLocation location;

    UserFolders() {
        for (const auto& [name, folder] : environment)
            std::filesystem::create_directories(folder);
        location = LocateSettings(root / "bin" / "tavrin", [this](const char* name) {
            const auto found = environment.find(name);
            return found == environment.end() ? nullptr : found->second.c_str();
        });
        CreateCacheFolder(location);
        // The job log is found through the process's own environment: this user's, not the
        // account's that runs the tests.
        qputenv("TAVRIN_JOBLOG", QByteArray::fromStdString(JobLogPath().string()));
    }
    std::filesystem::path Ini() const { return location.IniFileName; }
    std::filesystem::path JobLogPath() const { return root / "data" / "tavrin" / "joblog.sqlite"; }
};

// The real window against the private print server, started as the program starts it.
class WindowFixture : public ::testing::Test {
protected:
    WindowFixture() { EnsureApplication(); }
    ~WindowFixture() override { CloseWindow(); }

    void SetUp() override {
#ifndef _WIN32
        PrintServer();
#endif
    }

    // Shows the window for command line `args`, with the print server as the program has it.
    void Start(const std::vector<std::string>& args = {}) {
        CloseWindow();
        form.reset();
        server.reset();
        server = std::make_unique<WindowPrintServer>(timeouts, [location = folders.location] {
            return ReadStoredSettings(location).plain.PrinterIndex;
        });
        form = std::make_unique<TTavrinForm>(server->Spooler(), server->Probe(), clock,
                                             folders.location, nullptr, listing,
                                             server->RunConnections());
        form->MessageBox = [this](const QString& text) { messages.push_back(text.toStdString()); };
        form->OpenDocument = [this](const QString& path) { opened.push_back(path.toStdString()); };
        form->EndProgram = [this] { ++endRequests; };
        form->SetFileDialogs(dialogs);
        form->FormCreate();
        if (makeDialogs)
            form->CreateDialogs();
        form->ShowFirst(LongFileNames(args));
        if (listing == PrinterListing::WhenAnswered)
            ListPrintersWhenAnswered(server->Prefetch(), *form);
        EXPECT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }

    // Closes the window as its close box does; true when it closed.
    bool CloseWindow() {
        const bool closed = !form || form->close();
        if (closed)
            form.reset();
        return closed;
    }

    template <typename T = QWidget>
    T* Find(const char* name) const {
        T* found = form->findChild<T*>(QString::fromUtf8(name));
        EXPECT_TRUE(found) << name;
        return found;
    }
    QAction* Item(const char* name) const {
        return Find<QAction>(name);
    }
    template <typename T>
    std::string Which(bool (T::*state)() const, std::initializer_list<const char*> names) const {
        return test::Which(*form, state, names);
    }
    // A click that starts a spool run returns once the window has shown how the run ended.
    void Click(const char* name) {
        QTest::mouseClick(Find(name), Qt::LeftButton);
        WaitForRunEnd();
    }
    // The run runs on its own thread; the window shows its end on its own.
    void WaitForRunEnd() {
        EXPECT_TRUE(QTest::qWaitFor([this] { return !form->RunUnderWay(); }, 120000))
            << "the run did not end";
    }
    std::string Panel(int index) const {
        return form->Panel(index);
    }
    Texts Rows() const {
        Texts rows;
        for (int row = 1; row <= form->Jobs().FileCount(); ++row)
            rows.push_back(form->StringGrid1().cell(0, row));
        return rows;
    }

    // Chooses a printer in the printer box with the keyboard, as a user does.
    void ChoosePrinter(const std::string& queue) {
        auto* box = Find<QComboBox>("PrinterList");
        const int wanted = box->findText(QString::fromStdString(queue));
        ASSERT_GE(wanted, 0) << queue;
        box->setFocus();
        while (box->currentIndex() < wanted)
            QTest::keyClick(box, Qt::Key_Down);
        while (box->currentIndex() > wanted)
            QTest::keyClick(box, Qt::Key_Up);
    }

    UserFolders folders;
    FixedClock clock;
    ScriptedDialogs dialogs;
    std::unique_ptr<WindowPrintServer> server;
    std::unique_ptr<TTavrinForm> form;
    bool makeDialogs = true;  // as the program does once the window has been painted
    PrinterListing listing = PrinterListing::AtCreate;  // the program: WhenAnswered
    CupsTimeouts timeouts;
    Texts messages, opened;
    int endRequests = 0;
};

}  // namespace tavrin::test
