#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleFactory>
#include <QTest>
#include <deque>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/FileDialogs.h"
#include "app/TavrinUnit.h"
#include "joblist/LongFileName.h"
#include "platform/CupsDeviceProbe.h"
#include "platform/CupsPrintSpooler.h"
#include "printers/StartupPrefetch.h"
#include "settings/SettingsLocation.h"
#include "settings/SettingsStore.h"
#include "spool/Clock.h"
#include "spool/Session.h"
#include "support/SandboxPrintServer.h"
#include "support/ScratchFolder.h"
#include "support/TestApplication.h"
#include "support/TestPaths.h"

namespace tavrin::test {

// The one private print server of this test program, started on first use.
inline SandboxPrintServer& PrintServer() {
    static SandboxPrintServer server;
    return server;
}

class FixedClock : public Clock {
public:
    TimeOfDay now{9, 15};
    TimeOfDay Now() const override { return now; }
};

// File dialogs that answer from a script and remember what they were asked.
class ScriptedDialogs : public FileDialogs {
public:
    // An answer without files is a cancel.
    std::deque<FileDialogAnswer> answers;
    std::vector<FileDialogRequest> openRequests;
    std::vector<FileDialogRequest> saveRequests;

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
        FileDialogAnswer answer = answers.front();
        answers.pop_front();
        if (answer.files.isEmpty())
            return std::nullopt;
        return answer;
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
    ScratchFolder root;
    SettingsLocation location;

    UserFolders() {
        std::filesystem::create_directories(root / "config");
        std::filesystem::create_directories(root / "cache");
        std::filesystem::create_directories(root / "home");
        const std::string config = (root / "config").string();
        const std::string cache = (root / "cache").string();
        const std::string home = (root / "home").string();
        location = LocateSettings(root / "bin" / "tavrin",
                                  [config, cache, home](const char* name) -> const char* {
                                      const std::string key = name;
                                      if (key == "XDG_CONFIG_HOME")
                                          return config.c_str();
                                      if (key == "XDG_CACHE_HOME")
                                          return cache.c_str();
                                      if (key == "HOME")
                                          return home.c_str();
                                      return nullptr;
                                  });
        CreateCacheFolder(location);
    }
    std::filesystem::path Ini() const { return location.IniFileName; }
};

// The real window against the private print server, started as the program starts it.
class WindowFixture : public ::testing::Test {
protected:
    WindowFixture() { EnsureApplication(); }
    ~WindowFixture() override { CloseWindow(); }

    void SetUp() override { PrintServer(); }

    // Creates and shows the window with `args` as the command line, its print-server requests
    // got ready on a worker as the program does.
    TTavrinForm& Start(const std::vector<std::string>& args = {}) {
        CloseWindow();
        form.reset();
        prefetch.reset();
        spooler = std::make_unique<CupsPrintSpooler>();
        probe = std::make_unique<CupsDeviceProbe>();
        prefetch =
            std::make_unique<StartupPrefetch>(*spooler, *probe, [location = folders.location] {
                return ReadStoredSettings(location).plain.PrinterIndex;
            });
        form = std::make_unique<TTavrinForm>(prefetch->Spooler(), prefetch->Probe(), clock,
                                             folders.location);
        form->MessageBox = [this](const QString& text) { messages.push_back(text.toStdString()); };
        form->OpenDocument = [this](const QString& path) { opened.push_back(path.toStdString()); };
        form->EndProgram = [this] { ++endRequests; };
        form->SetFileDialogs(dialogs);
        form->FormCreate();
        if (makeDialogs)
            form->CreateDialogs();
        form->ShowFirst(LongFileNames(args));
        EXPECT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        return *form;
    }

    // Closes the window as its close box does; true when it closed.
    bool CloseWindow() {
        if (!form)
            return true;
        const bool closed = form->close();
        if (closed)
            form.reset();
        return closed;
    }

    template <typename T>
    T* Find(const char* name) const {
        T* found = form->findChild<T*>(QString::fromUtf8(name));
        EXPECT_TRUE(found) << name;
        return found;
    }
    QAction* Item(const char* name) const { return Find<QAction>(name); }
    std::string Panel(int index) const { return form->StatusBar1().panel(index); }

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

    void Screenshot(const std::string& name) {
        std::filesystem::create_directories(OutputDir());
        form->grab().save(QString::fromStdString((OutputDir() / (name + ".png")).string()));
    }

    UserFolders folders;
    FixedClock clock;
    ScriptedDialogs dialogs;
    std::unique_ptr<CupsPrintSpooler> spooler;
    std::unique_ptr<CupsDeviceProbe> probe;
    std::unique_ptr<StartupPrefetch> prefetch;
    std::unique_ptr<TTavrinForm> form;
    bool makeDialogs = true;  // as the program does once the window has been painted
    std::vector<std::string> messages;
    std::vector<std::string> opened;
    int endRequests = 0;
};

inline FileDialogAnswer Cancelled() {
    return {};
}

inline std::filesystem::path Sample(const char* relative) {
    return std::filesystem::canonical(SamplesDir() / relative);
}

}  // namespace tavrin::test
