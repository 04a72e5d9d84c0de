#include <gtest/gtest.h>

#include "SettingsFixture.h"
#include "settings/SettingsStartup.h"
#include "settings/SettingsStore.h"

namespace tavrin {
namespace {

using LoadedSettings = test::SettingsFixture;

TEST_F(LoadedSettings, EmptyFileGivesEveryDefaultAndStaysEmpty) {
    WriteIni("");
    EXPECT_FALSE(StartSettings(location, settings, form));
    EXPECT_EQ(settings.xpos, 320);
    EXPECT_EQ(settings.ypos, 240);
    EXPECT_EQ(settings.PrinterIndex, 0);
    EXPECT_EQ(settings.TempFilesPath, location.HomeFolder);
    EXPECT_EQ(settings.PlotFilesPath, location.HomeFolder);
    EXPECT_EQ(settings.FromStart, 500);
    EXPECT_EQ(settings.FromEnd, 30);
    EXPECT_EQ(settings.PSPageSize, "A4");
    EXPECT_FALSE(form.addMode.checked());
    EXPECT_TRUE(form.repMode.checked());
    EXPECT_FALSE(form.clearAfterSpooling1.checked());
    EXPECT_FALSE(form.printertype1.checked());
    EXPECT_TRUE(form.portinStatusbar1.checked());
    EXPECT_FALSE(form.reverseSet1.checked());
    EXPECT_EQ(form.uur.value(), 12);
    EXPECT_EQ(form.minuut.value(), 30);
    EXPECT_EQ(form.left, 320);
    EXPECT_EQ(form.top, 240);
    EXPECT_EQ(IniText(), "");
}

TEST_F(LoadedSettings, EveryKeyIsRead) {
    WriteIni(
        "[Window]\nxpos=5\nypos=6\n[Printers]\nPrinter#=3\n"
        "[Data]\nTempFilesPath=/var/tmp\nPlotFilesPath=/srv\n"
        "[SetUp]\nFromStart=700\nFromEnd=40\nPSPageSize=A0\n"
        "[Mode]\nAddMode=1\nClearAfterSpool=1\nShowPrinterType=1\nReverseSet=0\n"
        "[Schedule]\nHours=23\nMinutes=59\n");
    int printerTypeClicks = 0;
    form.printertype1.onClick = [&] { ++printerTypeClicks; };
    StartSettings(location, settings, form);
    EXPECT_EQ(settings.xpos, 5);
    EXPECT_EQ(settings.ypos, 6);
    EXPECT_EQ(settings.PrinterIndex, 3);
    EXPECT_EQ(settings.TempFilesPath, "/var/tmp");
    EXPECT_EQ(settings.PlotFilesPath, "/srv");
    EXPECT_EQ(settings.FromStart, 700);
    EXPECT_EQ(settings.FromEnd, 40);
    EXPECT_EQ(settings.PSPageSize, "A0");
    EXPECT_TRUE(form.addMode.checked());
    EXPECT_TRUE(form.clearAfterSpooling1.checked());
    EXPECT_TRUE(form.printertype1.checked());
    EXPECT_EQ(printerTypeClicks, 1);
    EXPECT_FALSE(form.portinStatusbar1.checked());
    EXPECT_FALSE(form.reverseSet1.checked());
    EXPECT_TRUE(form.PageSizeItem(5).checked());
    EXPECT_FALSE(form.PageSizeItem(1).checked());
    EXPECT_EQ(form.fitToPage.caption(), "Fit to page: A0");
    EXPECT_EQ(form.uur.value(), 23);
    EXPECT_EQ(form.minuut.value(), 59);
}

TEST_F(LoadedSettings, NumbersInHexadecimalAndWords) {
    WriteIni("[Schedule]\nHours=0x0A\nMinutes=ten\n[Window]\nxpos=0X10\nypos=0x\n");
    StartSettings(location, settings, form);
    EXPECT_EQ(form.uur.value(), 10);
    EXPECT_EQ(form.minuut.value(), 30);
    EXPECT_EQ(settings.xpos, 16);
    EXPECT_EQ(settings.ypos, 240);

    WriteIni("[Schedule]\nHours=ten\n");
    GridModel grid2;
    PlainForm form2(grid2);
    form2.uur.setValue(3);
    StartSettings(location, settings, form2);
    EXPECT_EQ(form2.uur.value(), 12);
}

TEST_F(LoadedSettings, BooleansAreAnyNonZeroNumber) {
    WriteIni("[Mode]\nReverseSet=2\nAddMode=yes\nClearAfterSpool=0x1\n");
    StartSettings(location, settings, form);
    EXPECT_TRUE(form.reverseSet1.checked());
    EXPECT_FALSE(form.addMode.checked());
    EXPECT_TRUE(form.clearAfterSpooling1.checked());
}

TEST_F(LoadedSettings, UnknownPageSizeChecksNothingAndKeepsTheText) {
    WriteIni("[SetUp]\nPSPageSize=a3\n");
    StartSettings(location, settings, form);
    EXPECT_EQ(settings.PSPageSize, "a3");
    EXPECT_EQ(form.fitToPage.caption(), "Fit to page: a3");
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(form.PageSizeItem(i).checked(), i == 1) << i;
}

TEST_F(LoadedSettings, MatchingPageSizeClearsTheOthersWithTheirClickHandlers) {
    WriteIni("[SetUp]\nPSPageSize=A3\n");
    int a4Clicks = 0;
    form.PageSizeItem(1).setChecked(true);
    static_cast<PlainControl&>(form.PageSizeItem(1)).onClick = [&] { ++a4Clicks; };
    StartSettings(location, settings, form);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(form.PageSizeItem(i).checked(), i == 2) << i;
    EXPECT_EQ(a4Clicks, 1);
}

TEST_F(LoadedSettings, EmptyTempFilesPathBecomesTheCacheFolderAfterThePrinters) {
    WriteIni("[Data]\nTempFilesPath=\n");
    StartSettings(location, settings, form);
    EXPECT_EQ(settings.TempFilesPath, "");
    FillEmptyTempFilesPath(location, settings);
    EXPECT_EQ(settings.TempFilesPath, location.CacheFolder);
    EXPECT_TRUE(std::filesystem::is_directory(location.CacheFolder));
    EXPECT_EQ(IniText(), "[Data]\nTempFilesPath=\n");
}

}  // namespace
}  // namespace tavrin
