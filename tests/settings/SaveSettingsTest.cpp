#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>

#include "SettingsFixture.h"
#include "platform/Error.h"
#include "settings/SettingsStartup.h"
#include "settings/SettingsStore.h"

namespace tavrin {
namespace {

namespace fs = std::filesystem;

using SavedSettings = test::SettingsFixture;

TEST_F(SavedSettings, KeepsCommentsUnknownKeysAndSectionsAndLineEnds) {
    WriteIni(
        "; written by hand\r\n[Window]\r\nxpos=1\r\nmaximized=1\r\n\r\n"
        "[Plotter room]\r\nlocation=2nd floor\r\n"
        "[Schedule]\r\n; when the plots go out\r\nHours=3\r\n");
    StartSettings(location, settings, form);
    form.MoveTo(50, 60);
    form.uur.setValue(4);
    SaveSettings(location, settings, form);
    const std::string home = location.HomeFolder;
    EXPECT_EQ(
        IniText(),
        "; written by hand\r\n[Window]\r\nxpos=50\r\nmaximized=1\r\nypos=60\r\n\r\n"
        "[Plotter room]\r\nlocation=2nd floor\r\n"
        "[Schedule]\r\n; when the plots go out\r\nHours=4\r\nMinutes=30\r\n"
        "[Data]\r\nTempFilesPath=" +
            home + "\r\nPlotFilesPath=" + home +
            "\r\n"
            "[Printers]\r\nPrinter#=0\r\n"
            "[SetUp]\r\nFromEnd=30\r\nFromStart=500\r\nPSPageSize=A4\r\n"
            "[Mode]\r\nAddMode=0\r\nClearAfterSpool=0\r\nShowPrinterType=0\r\nReverseSet=0\r\n");
}

TEST_F(SavedSettings, WritesWhatTheControlsHoldAtClose) {
    WriteIni("");
    StartSettings(location, settings, form);
    form.addMode.setChecked(true);
    form.clearAfterSpooling1.setChecked(true);
    form.printertype1.setChecked(true);
    form.reverseSet1.setChecked(true);
    settings.FromStart = 800;
    settings.FromEnd = 1;
    settings.PSPageSize = "a3";
    settings.TempFilesPath = "";
    SaveSettings(location, settings, form);
    const StoredSettings stored = ReadStoredSettings(location);
    EXPECT_TRUE(stored.AddMode);
    EXPECT_TRUE(stored.ClearAfterSpool);
    EXPECT_TRUE(stored.ShowPrinterType);
    EXPECT_TRUE(stored.ReverseSet);
    EXPECT_EQ(stored.plain.FromStart, 800);
    EXPECT_EQ(stored.plain.FromEnd, 1);
    EXPECT_EQ(stored.plain.PSPageSize, "a3");
    EXPECT_EQ(stored.plain.TempFilesPath, "");
}

class SettingsWriteFailure : public test::SettingsFixture {
protected:
    void ExpectUnableToWrite(const std::function<void()>& action) {
        try {
            action();
            FAIL() << "the write succeeded";
        } catch (const Error& error) {
            EXPECT_EQ(std::string(error.what()),
                      "Unable to write to " + location.IniFileName.string());
        }
    }
};

TEST_F(SettingsWriteFailure, FirstRunWithTheConfigFolderReplacedByAFile) {
    test::WriteBytes(folder / "config", "a file where the folder should be");
    ExpectUnableToWrite([&] { StartSettings(location, settings, form); });
    EXPECT_EQ(test::ReadBytes(folder / "config"), "a file where the folder should be");
    // The remaining start-up steps did not run.
    EXPECT_FALSE(form.reverseSet1.checked());
    EXPECT_EQ(form.fitToPage.caption(), "Fit to page");
    EXPECT_EQ(settings.FromStart, 500);
}

TEST_F(SettingsWriteFailure, CloseUnderTheSystemFolder) {
    location.IniFileName = "/proc/tavrin-settings-test/tavrin.ini";
    ExpectUnableToWrite([&] { SaveSettings(location, settings, form); });
    EXPECT_FALSE(fs::exists(location.IniFileName.parent_path()));
}

TEST_F(SettingsWriteFailure, FailedCloseLeavesTheFileAndALaterCloseSavesAll) {
    const std::string before = "; mine\n[Window]\nxpos=1\nypos=2\n" + std::string(300, ';') + "\n";
    WriteIni(before);
    StartSettings(location, settings, form);
    form.MoveTo(99, 98);

    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto savedHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 100;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    ExpectUnableToWrite([&] { SaveSettings(location, settings, form); });
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, savedHandler);
    EXPECT_EQ(IniText(), before);
    EXPECT_EQ(std::distance(fs::directory_iterator(location.IniFileName.parent_path()),
                            fs::directory_iterator()),
              1);

    SaveSettings(location, settings, form);
    EXPECT_EQ(ReadStoredSettings(location).plain.xpos, 99);
    EXPECT_TRUE(IniText().starts_with("; mine\n[Window]\nxpos=99\nypos=98\n"));
}

TEST_F(SettingsWriteFailure, PathThatCannotBeStoredLeavesTheFile) {
    WriteIni("[Data]\nTempFilesPath=/tmp\n");
    StartSettings(location, settings, form);
    settings.TempFilesPath = "/tmp/odd\n[Window]";
    ExpectUnableToWrite([&] { SaveSettings(location, settings, form); });
    EXPECT_EQ(IniText(), "[Data]\nTempFilesPath=/tmp\n");
}

}  // namespace
}  // namespace tavrin
