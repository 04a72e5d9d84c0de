// tavrin-cli settings, and the usage errors of every command; no print server is reachable.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "support/SandboxPrintServer.h"
#include "support/TempFolder.h"

namespace tavrin {
namespace {

namespace fs = std::filesystem;
using test::CliResult;

class CliSettings : public ::testing::Test {
protected:
    CliSettings() { ::setenv("CUPS_SERVER", (folder / "no-cups.sock").c_str(), 1); }
    CliResult Run(const std::string& arguments) { return test::RunCli(folder.path(), arguments); }

    test::TempFolder folder;
    fs::path ini = folder / "config/tavrin/tavrin.ini";
};

TEST_F(CliSettings, ShowsTheFirstRunOrTheStoredValuesAndLeavesTheFileAlone) {
    const std::string cache = (folder / "cache/tavrin").string();
    const std::pair<std::optional<std::string>, std::string> rows[] = {
        {std::nullopt, "xpos=273\nypos=173\nPrinter#=0\nTempFilesPath=" + cache +
                           "\nPlotFilesPath=\nFromStart=600\nFromEnd=30\nPSPageSize=A4\n"
                           "AddMode=0\nClearAfterSpool=0\nShowPrinterType=0\nReverseSet=1\n"
                           "Hours=12\nMinutes=0\n"},
        {"; mine\r\n[Window]\r\nxpos=0x10\r\n[Printers]\r\nPrinter#=4\r\n[Data]\r\n"
         "TempFilesPath=\r\nPlotFilesPath=/srv/plots\r\n[SetUp]\r\nPSPageSize=a3\r\n"
         "[Mode]\r\nReverseSet=7\r\n[Schedule]\r\nHours=ten\r\n",
         "xpos=16\nypos=240\nPrinter#=4\nTempFilesPath=" + cache +
             "\nPlotFilesPath=/srv/plots\nFromStart=500\nFromEnd=30\nPSPageSize=a3\nAddMode=0\n"
             "ClearAfterSpool=0\nShowPrinterType=0\nReverseSet=1\nHours=12\nMinutes=30\n"}};
    for (const auto& [text, shown] : rows) {
        fs::remove_all(folder / "config");
        fs::create_directories(text ? ini.parent_path() : folder / "config");
        if (text)
            test::WriteBytes(ini, *text);
        const auto before = text ? fs::last_write_time(ini) : fs::file_time_type{};
        const CliResult result = Run("settings");
        EXPECT_EQ(std::tie(result.exitCode, result.out),
                  std::tuple(0, "IniFile=" + ini.string() + "\n" + shown));
        // Nothing made beside the file, and the file left as it was.
        EXPECT_EQ(std::distance(fs::recursive_directory_iterator(folder / "config"), {}),
                  text ? 2 : 0);
        EXPECT_EQ(text ? test::ReadFile(ini) : "", text.value_or(""));
        EXPECT_EQ(text ? fs::last_write_time(ini) : before, before);
    }
}

TEST_F(CliSettings, WrongArgumentsExitWith64AndTheirReasonAndUsage) {
    const std::pair<std::string, std::string> rows[] = {
        {"pause", "pause needs exactly -p NAME|INDEX"},
        {"resume -p", "resume needs exactly -p NAME|INDEX"},
        {"purge hpgl-plotter", "purge needs exactly -p NAME|INDEX"},
        {"jobs -p a b", "jobs needs exactly -p NAME|INDEX"},
        {"pause -q hpgl-plotter", "pause needs exactly -p NAME|INDEX"},
        {"printers extra", "printers takes no arguments but --discover[=SECONDS]"},
        {"printers --discover=0", "--discover takes whole seconds from 1 to 60, not '0'"},
        {"printers --discover=", "--discover takes whole seconds from 1 to 60, not ''"},
        {"printers --discover=61", "--discover takes whole seconds from 1 to 60, not '61'"},
        {"printers --discover=2s", "--discover takes whole seconds from 1 to 60, not '2s'"},
        {"printers --discovery", "printers takes no arguments but --discover[=SECONDS]"},
        {"settings extra", "settings takes no arguments"},
        {"send", "no file given"},
        {"send -p raw-printer", "no file given"},
        {"send -n 0 x", "--copies takes a number from 1 to 99, not '0'"},
        {"send -n 100 x", "--copies takes a number from 1 to 99, not '100'"},
        {"send -n two x", "--copies takes a number from 1 to 99, not 'two'"},
        {"send --timeout 5 x", "--timeout needs --wait"},
        {"send --wait --timeout=0 x", "--timeout takes seconds from 1 to 86400, not '0'"},
        {"send --fit A6 x", "--fit takes A0, A1, A2, A3, A4 or A5, not 'A6'"},
        {"send --fit", "--fit needs a value"},
        {"send --list= x", "--list needs a job-list file"},
        {"send --temp-dir= x", "--temp-dir needs a folder"},
        {"send --bogus x", "unknown option --bogus"},
        {"send --set=1 x", "--set takes no value"},
        {"send -p", "-p needs a value"},
        {"send -n", "-n needs a value"},
    };
    for (const auto& [arguments, reason] : rows) {
        const CliResult result = Run(arguments);
        EXPECT_EQ(std::tie(result.exitCode, result.out), std::tuple(64, "")) << arguments;
        const std::string command = arguments.substr(0, arguments.find(' '));
        EXPECT_EQ(result.err.rfind("tavrin-cli: " + reason + "\nusage: tavrin-cli " + command, 0),
                  0u)
            << result.err;
    }
    const CliResult help = Run("send --help");
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("--device-copies"), std::string::npos);
    EXPECT_FALSE(fs::exists(ini));
}

}  // namespace
}  // namespace tavrin
