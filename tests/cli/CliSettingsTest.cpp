#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/RunCli.h"
#include "support/ScratchFolder.h"
#include "support/TestPaths.h"

namespace tavrin {
namespace {

namespace fs = std::filesystem;
using test::CliResult;

// Runs tavrin-cli with its home, configuration and cache folders inside a scratch folder and
// no reachable print server.
class CliSettings : public ::testing::Test {
protected:
    CliResult Run(const std::string& arguments) {
        return test::RunCommand(
            test::CliCommand(folder.path(), arguments,
                             "CUPS_SERVER='" + (folder / "no-cups.sock").string() + "'") +
            " 2>&1");
    }

    test::ScratchFolder folder;
    fs::path ini = folder / "config/tavrin/tavrin.ini";
    std::string cache = (folder / "cache/tavrin").string();
};

TEST_F(CliSettings, WithoutAFileShowsTheFirstRunValuesAndCreatesNoFile) {
    const CliResult result = Run("settings");
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out, "IniFile=" + ini.string() +
                              "\nxpos=273\nypos=173\nPrinter#=0\nTempFilesPath=" + cache +
                              "\nPlotFilesPath=\nFromStart=600\nFromEnd=30\nPSPageSize=A4\n"
                              "AddMode=0\nClearAfterSpool=0\nShowPrinterType=0\nReverseSet=1\n"
                              "Hours=12\nMinutes=0\n");
    EXPECT_FALSE(fs::exists(ini.parent_path()));
}

TEST_F(CliSettings, ShowsTheStoredValuesAndLeavesTheFileAlone) {
    fs::create_directories(ini.parent_path());
    const std::string text =
        "; mine\r\n[Window]\r\nxpos=0x10\r\n[Printers]\r\nPrinter#=4\r\n[Data]\r\n"
        "TempFilesPath=\r\nPlotFilesPath=/srv/plots\r\n[SetUp]\r\nPSPageSize=a3\r\n"
        "[Mode]\r\nReverseSet=7\r\n[Schedule]\r\nHours=ten\r\n";
    test::WriteBytes(ini, text);
    const auto before = fs::last_write_time(ini);
    const CliResult result = Run("settings");
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out, "IniFile=" + ini.string() +
                              "\nxpos=16\nypos=240\nPrinter#=4\nTempFilesPath=" + cache +
                              "\nPlotFilesPath=/srv/plots\nFromStart=500\nFromEnd=30\n"
                              "PSPageSize=a3\nAddMode=0\nClearAfterSpool=0\n"
                              "ShowPrinterType=0\nReverseSet=1\nHours=12\nMinutes=30\n");
    EXPECT_EQ(test::ReadBytes(ini), text);
    EXPECT_EQ(fs::last_write_time(ini), before);
    EXPECT_EQ(std::distance(fs::directory_iterator(ini.parent_path()), fs::directory_iterator()),
              1);
}

TEST_F(CliSettings, ArgumentsAreAUsageError) {
    const CliResult result = Run("settings extra");
    EXPECT_EQ(result.exitCode, 64);
    EXPECT_NE(result.out.find("settings takes no arguments"), std::string::npos);
    EXPECT_FALSE(fs::exists(ini));
}

}  // namespace
}  // namespace tavrin
