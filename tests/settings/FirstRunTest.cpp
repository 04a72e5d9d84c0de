#include <gtest/gtest.h>

#include "SettingsFixture.h"
#include "settings/SettingsStartup.h"
#include "settings/SettingsStore.h"

namespace tavrin {
namespace {

using FirstRun = test::SettingsFixture;

TEST_F(FirstRun, WritesExactlyTheThirteenDefaultKeys) {
    EXPECT_TRUE(StartSettings(location, settings, form));
    EXPECT_EQ(IniText(),
              "[Window]\nxpos=273\nypos=173\n"
              "[Data]\nTempFilesPath=" +
                  location.HomeFolder +
                  "\n"
                  "[Printers]\nPrinter#=-1\n"
                  "[SetUp]\nFromStart=600\nFromEnd=30\nPSPageSize=A4\n"
                  "[Mode]\nAddMode=0\nClearAfterSpool=0\nShowPrinterType=0\nReverseSet=1\n"
                  "[Schedule]\nHours=12\nMinutes=30\n");
}

TEST_F(FirstRun, SetsTheFirstRunValuesInMemory) {
    int reverseClicks = 0;
    form.reverseSet1.onClick = [&] { ++reverseClicks; };
    StartSettings(location, settings, form);

    EXPECT_EQ(settings.FromStart, 600);
    EXPECT_EQ(settings.FromEnd, 30);
    EXPECT_EQ(settings.PSPageSize, "A4");
    EXPECT_EQ(settings.PrinterIndex, 0);
    EXPECT_EQ(settings.PlotFilesPath, "");
    EXPECT_EQ(settings.TempFilesPath, location.CacheFolder);
    EXPECT_TRUE(std::filesystem::is_directory(location.CacheFolder));

    EXPECT_TRUE(form.reverseSet1.checked());
    EXPECT_EQ(reverseClicks, 1);
    EXPECT_TRUE(form.portinStatusbar1.checked());
    EXPECT_FALSE(form.printertype1.checked());
    EXPECT_TRUE(form.repMode.checked());
    EXPECT_FALSE(form.addMode.checked());
    EXPECT_FALSE(form.clearAfterSpooling1.checked());
    EXPECT_EQ(form.uur.value(), 12);
    EXPECT_EQ(form.minuut.value(), 0);
    EXPECT_TRUE(form.PageSizeItem(1).checked());
    EXPECT_EQ(form.fitToPage.caption(), "Fit to page: A4");
    EXPECT_EQ(form.left, 273);
    EXPECT_EQ(form.top, 173);
}

TEST_F(FirstRun, FirstCloseStoresThePrinterMinutesAndPlotFolder) {
    StartSettings(location, settings, form);
    FillEmptyTempFilesPath(location, settings);
    SaveSettings(location, settings, form);
    EXPECT_EQ(IniText(),
              "[Window]\nxpos=273\nypos=173\n"
              "[Data]\nTempFilesPath=" +
                  location.CacheFolder +
                  "\nPlotFilesPath=\n"
                  "[Printers]\nPrinter#=0\n"
                  "[SetUp]\nFromStart=600\nFromEnd=30\nPSPageSize=A4\n"
                  "[Mode]\nAddMode=0\nClearAfterSpool=0\nShowPrinterType=0\nReverseSet=1\n"
                  "[Schedule]\nHours=12\nMinutes=0\n");
}

TEST_F(FirstRun, SecondStartReadsTheFileBack) {
    StartSettings(location, settings, form);
    form.MoveTo(10, 20);
    settings.PrinterIndex = 2;
    settings.PlotFilesPath = "/srv/plots";
    settings.PSPageSize = "A1";
    form.addMode.setChecked(true);
    form.uur.setValue(7);
    form.minuut.setValue(45);
    SaveSettings(location, settings, form);

    GridModel grid2;
    PlainForm form2(grid2);
    Settings settings2;
    EXPECT_FALSE(StartSettings(location, settings2, form2));
    EXPECT_EQ(settings2.PrinterIndex, 2);
    EXPECT_EQ(settings2.PlotFilesPath, "/srv/plots");
    EXPECT_EQ(settings2.TempFilesPath, location.CacheFolder);
    EXPECT_TRUE(form2.addMode.checked());
    EXPECT_TRUE(form2.reverseSet1.checked());
    EXPECT_TRUE(form2.PageSizeItem(4).checked());
    EXPECT_FALSE(form2.PageSizeItem(1).checked());
    EXPECT_EQ(form2.uur.value(), 7);
    EXPECT_EQ(form2.minuut.value(), 45);
    EXPECT_EQ(form2.left, 10);
    EXPECT_EQ(form2.top, 20);
}

}  // namespace
}  // namespace tavrin
