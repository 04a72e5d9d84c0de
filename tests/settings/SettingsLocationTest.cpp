#include <gtest/gtest.h>

#include <map>

#include "SettingsFixture.h"
#include "settings/EffectiveSettings.h"
#include "settings/SettingsLocation.h"
#include "settings/SettingsStartup.h"

namespace tavrin {
namespace {

namespace fs = std::filesystem;

class Location : public ::testing::Test {
protected:
    SettingsLocation Locate(const fs::path& programFile = {}) {
        return LocateSettings(programFile, [this](const char* name) -> const char* {
            auto found = environment.find(name);
            return found == environment.end() ? nullptr : found->second.c_str();
        });
    }

    std::map<std::string, std::string> environment{{"HOME", "/home/ann"}};
};

TEST_F(Location, DefaultsUnderTheHomeFolder) {
    const SettingsLocation location = Locate();
    EXPECT_EQ(location.IniFileName, "/home/ann/.config/tavrin/tavrin.ini");
    EXPECT_EQ(location.CacheFolder, "/home/ann/.cache/tavrin");
    EXPECT_EQ(location.HomeFolder, "/home/ann");
}

TEST_F(Location, XdgFoldersWhenAbsolute) {
    environment["XDG_CONFIG_HOME"] = "/cfg";
    environment["XDG_CACHE_HOME"] = "/cache/";
    SettingsLocation location = Locate();
    EXPECT_EQ(location.IniFileName, "/cfg/tavrin/tavrin.ini");
    EXPECT_EQ(location.CacheFolder, "/cache/tavrin");

    environment["XDG_CONFIG_HOME"] = "relative/cfg";
    environment["XDG_CACHE_HOME"] = "";
    location = Locate();
    EXPECT_EQ(location.IniFileName, "/home/ann/.config/tavrin/tavrin.ini");
    EXPECT_EQ(location.CacheFolder, "/home/ann/.cache/tavrin");
}

TEST_F(Location, IniFileBesideTheProgramWinsWhenItExists) {
    test::ScratchFolder folder;
    const fs::path program = folder / "tavrin";
    EXPECT_EQ(Locate(program).IniFileName, "/home/ann/.config/tavrin/tavrin.ini");
    test::WriteBytes(folder / "tavrin.ini", "");
    EXPECT_EQ(Locate(program).IniFileName, folder / "tavrin.ini");
    fs::create_directory(folder / "other.ini");
    EXPECT_EQ(Locate(folder / "other").IniFileName, "/home/ann/.config/tavrin/tavrin.ini");
}

using CliSettingsDefaults = test::SettingsFixture;

TEST_F(CliSettingsDefaults, WithoutAFileTheFirstRunValuesAndNoFile) {
    const CliDefaults defaults = ReadCliDefaults(location, 3);
    EXPECT_EQ(defaults.PrinterIndex, 0);
    EXPECT_EQ(defaults.TempFilesPath, location.CacheFolder);
    EXPECT_EQ(defaults.FromStart, 600);
    EXPECT_EQ(defaults.FromEnd, 30);
    EXPECT_EQ(defaults.PSPageSize, "A4");
    EXPECT_FALSE(fs::exists(location.IniFileName));
    EXPECT_FALSE(fs::exists(location.IniFileName.parent_path()));
}

TEST_F(CliSettingsDefaults, StoredValuesWithTheStartupPrinterRule) {
    WriteIni(
        "[Printers]\nPrinter#=2\n[Data]\nTempFilesPath=/var/tmp\n"
        "[SetUp]\nFromStart=0x20\nFromEnd=x\nPSPageSize=a3\n");
    EXPECT_EQ(ReadCliDefaults(location, 3).PrinterIndex, 2);
    EXPECT_EQ(ReadCliDefaults(location, 2).PrinterIndex, 0);
    EXPECT_EQ(ReadCliDefaults(location, 0).PrinterIndex, 2);
    const CliDefaults defaults = ReadCliDefaults(location, 3);
    EXPECT_EQ(defaults.TempFilesPath, "/var/tmp");
    EXPECT_EQ(defaults.FromStart, 32);
    EXPECT_EQ(defaults.FromEnd, 30);
    EXPECT_EQ(defaults.PSPageSize, "a3");

    WriteIni("[Printers]\nPrinter#=-1\n[Data]\nTempFilesPath=\n");
    EXPECT_EQ(ReadCliDefaults(location, 3).PrinterIndex, 0);
    EXPECT_EQ(ReadCliDefaults(location, 3).TempFilesPath, location.CacheFolder);
    EXPECT_EQ(IniText(), "[Printers]\nPrinter#=-1\n[Data]\nTempFilesPath=\n");
}

TEST_F(CliSettingsDefaults, AgreesWithTheWindowAfterStartup) {
    WriteIni("[Printers]\nPrinter#=1\n[SetUp]\nFromStart=123\n[Data]\nTempFilesPath=\n");
    StartSettings(location, settings, form);
    FillEmptyTempFilesPath(location, settings);
    const CliDefaults defaults = ReadCliDefaults(location, 5);
    EXPECT_EQ(defaults.PrinterIndex, settings.PrinterIndex);
    EXPECT_EQ(defaults.TempFilesPath, settings.TempFilesPath);
    EXPECT_EQ(defaults.FromStart, settings.FromStart);
    EXPECT_EQ(defaults.FromEnd, settings.FromEnd);
    EXPECT_EQ(defaults.PSPageSize, settings.PSPageSize);
}

}  // namespace
}  // namespace tavrin
