#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <tuple>

#include "settings/EffectiveSettings.h"
#include "settings/IniNumbers.h"
#include "settings/Settings.h"
#include "settings/SettingsLocation.h"
#include "settings/SettingsStartup.h"
#include "settings/SettingsStore.h"
#include "support/SpoolErrorText.h"
#include "support/TempFolder.h"

namespace tavrin {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;
using test::ReadFile;
using test::TempFolder;
using test::WriteBytes;

// A scratch home holding the INI file's, home and cache folders.
class Store : public ::testing::Test {
protected:
    Store() {
        location.IniFileName = folder / "config/tavrin/tavrin.ini";
        location.HomeFolder = (folder / "home").string();
        location.CacheFolder = (folder / "cache/tavrin").string();
    }

    void WriteIni(const std::string& text) {
        std::filesystem::create_directories(location.IniFileName.parent_path());
        WriteBytes(location.IniFileName, text);
    }
    std::string IniText() const { return ReadFile(location.IniFileName); }

    // Every value on one line, HOME and CACHE for those folders; the page-size item the page size
    // checks ("-": none) and the caption of "Fit to page"; AddMode, ClearAfterSpool,
    // ShowPrinterType and ReverseSet as digits; the start time.
    std::string State(const StoredSettings& v) const {
        const auto path = [this](const std::string& p) {
            return p == location.HomeFolder ? "HOME" : p == location.CacheFolder ? "CACHE" : p;
        };
        const Settings& s = v.plain;
        const std::optional<int> item = PageSizeItemNamed(s.PSPageSize);
        std::ostringstream out;
        out << s.xpos << ',' << s.ypos << ' ' << s.PrinterIndex << ' ' << path(s.TempFilesPath)
            << ' ' << path(s.PlotFilesPath) << ' ' << s.FromStart << ',' << s.FromEnd << ' '
            << s.PSPageSize << ' ' << (item ? std::to_string(*item) : "-") << " '"
            << FitToPageCaption(s.PSPageSize) << "' " << v.AddMode << v.ClearAfterSpool
            << v.ShowPrinterType << v.ReverseSet << ' ' << v.Hours << ':' << v.Minutes;
        return out.str();
    }

    auto Cli(int printerCount) const {
        const CliDefaults d = ReadCliDefaults(location, printerCount);
        return std::make_tuple(d.PrinterIndex, d.TempFilesPath, d.FromStart, d.FromEnd,
                               d.PSPageSize);
    }

    TempFolder folder;
    SettingsLocation location;
};

TEST(IniNumbers, DecimalAndHexadecimalIntegersAndBooleans) {
    const char* const texts[] = {"12",          "-1",   "+7",   "2147483647",
                                 "-2147483648", "0x0A", "0X1f", "0x7FFFFFFF",
                                 "0xFFFFFFFF",  "0",    "012"};
    const int values[] = {12, -1, 7, 2147483647, -2147483647 - 1, 10, 31, 2147483647, -1, 0, 12};
    static_assert(std::size(texts) == std::size(values));
    for (std::size_t i = 0; i < std::size(texts); ++i)
        EXPECT_EQ(IniTextToInt(texts[i], 99), values[i]) << texts[i];
    for (const char* text : {"0x", "ten", "", " ", "12a", "1 2", "0x1G", "0x100000000", "-0x5",
                             "+-3", "--3", "2147483648", "-2147483649", "1e3", "1.5", "$1F"})
        EXPECT_EQ(IniTextToInt(text, 99), 99) << '"' << text << '"';
    EXPECT_TRUE(IniTextToBool("1", false) && IniTextToBool("2", false) &&
                IniTextToBool("0x10", false) && IniTextToBool("yes", true));
    EXPECT_FALSE(IniTextToBool("0", true) || IniTextToBool("yes", false));
    EXPECT_EQ(IniBoolText(true) + IniBoolText(false) + IniIntText(-1), "10-1");
}

TEST_F(Store, TheFirstRunWritesTheDefaultsOrSaysWhyNotAndEachCloseWhatTheWindowHolds) {
    // A refusal stops the start-up and changes nothing; the profile's tests pin each kind.
    WriteBytes(folder / "config", "a file where the folder should be");
    EXPECT_EQ(test::SpoolErrorText([&] { StartSettings(location, 273, 173); }),
              "Unable to write to " + location.IniFileName.string());
    EXPECT_EQ(ReadFile(folder / "config"), "a file where the folder should be");
    fs::remove(folder / "config");

    StartedSettings started = StartSettings(location, 273, 173);
    EXPECT_TRUE(started.firstRun);
    const auto written = [](const std::string& data, const char* printer, const char* minutes) {
        return "[Window]\nxpos=273\nypos=173\n[Data]\nTempFilesPath=" + data +
               "\n[Printers]\nPrinter#=" + printer +
               "\n[SetUp]\nFromStart=600\nFromEnd=30\nPSPageSize=A4\n[Mode]\nAddMode=0\n"
               "ClearAfterSpool=0\nShowPrinterType=0\nReverseSet=1\n[Schedule]\nHours=12\n"
               "Minutes=" +
               minutes + "\n";
    };
    EXPECT_EQ(IniText(), written(location.HomeFolder, "-1", "30"));
    // The window's start time is its own, not the file's.
    EXPECT_EQ(State(started.values), "273,173 0 CACHE  600,30 A4 1 'Fit to page: A4' 0001 12:0");
    EXPECT_TRUE(fs::is_directory(location.CacheFolder));

    FillEmptyTempFilesPath(location, started.values.plain);
    SaveSettings(location, started.values);
    EXPECT_EQ(IniText(), written(location.CacheFolder + "\nPlotFilesPath=", "0", "0"));

    // Every value differs from the file's, so a key a close forgets shows at the next start.
    StoredSettings values{
        {10, 20, 2, "", "/srv/plots", 800, 1, "A1"}, true, true, true, false, 7, 45};
    SaveSettings(location, values);
    started = StartSettings(location, 0, 0);
    EXPECT_FALSE(started.firstRun);
    EXPECT_EQ(State(started.values), "10,20 2  /srv/plots 800,1 A1 4 'Fit to page: A1' 1110 7:45");
}

// The file's values, each key's default where it is missing or no number; the file is only read.
TEST_F(Store, EachFileGivesItsValuesAndIsLeftAsItWas) {
    const std::pair<std::string, std::string> rows[] = {
        {"", "320,240 0 HOME HOME 500,30 A4 1 'Fit to page: A4' 0000 12:30"},
        {"[Window]\nxpos=5\nypos=6\n[Printers]\nPrinter#=3\n"
         "[Data]\nTempFilesPath=/var/tmp\nPlotFilesPath=/srv\n"
         "[SetUp]\nFromStart=700\nFromEnd=40\nPSPageSize=A0\n"
         "[Mode]\nAddMode=1\nClearAfterSpool=1\nShowPrinterType=1\nReverseSet=0\n"
         "[Schedule]\nHours=23\nMinutes=59\n",
         "5,6 3 /var/tmp /srv 700,40 A0 5 'Fit to page: A0' 1110 23:59"},
        {"[Schedule]\nHours=0x0A\nMinutes=ten\n[Window]\nxpos=0X10\nypos=0x\n"
         "[Mode]\nReverseSet=2\nAddMode=yes\nClearAfterSpool=0x1\n",
         "16,240 0 HOME HOME 500,30 A4 1 'Fit to page: A4' 0101 10:30"},
        {"[SetUp]\nPSPageSize=a3\n",  // kept, though it names no item
         "320,240 0 HOME HOME 500,30 a3 - 'Fit to page: a3' 0000 12:30"},
        {"[SetUp]\nPSPageSize=A3\n",
         "320,240 0 HOME HOME 500,30 A3 2 'Fit to page: A3' 0000 12:30"},
    };
    for (const auto& [ini, state] : rows) {
        SCOPED_TRACE(ini);
        WriteIni(ini);
        const StartedSettings started = StartSettings(location, 1, 2);
        EXPECT_EQ(std::pair(started.firstRun, State(started.values)), std::pair(false, state));
        EXPECT_EQ(State(ReadStoredSettings(location)), state);
        EXPECT_EQ(IniText(), ini);
    }
    std::string names;
    for (int i = 0; i < 6; ++i)
        names += PageSizeItemName(i) + (PageSizeItemNamed(PageSizeItemName(i)) == i ? " " : "? ");
    EXPECT_EQ(names, "A5 A4 A3 A2 A1 A0 ");
    for (const char* other : {"", "A6", " A4", "A4 ", "Letter"})
        EXPECT_EQ(PageSizeItemNamed(other), std::nullopt) << other;
}

TEST_F(Store, ACloseKeepsCommentsUnknownKeysAndLineEndsOrIsRefusedWhole) {
    location.HomeFolder = "/h";
    WriteIni(
        "; written by hand\r\n[Window]\r\nxpos=1\r\nmaximized=1\r\n\r\n"
        "[Schedule]\r\n; when the plots go out\r\nHours=3\r\n");
    StoredSettings values = StartSettings(location, 0, 0).values;
    values.plain.xpos = 50;
    values.plain.ypos = 60;
    values.Hours = 4;
    SaveSettings(location, values);
    EXPECT_EQ(IniText(),
              "; written by hand\r\n[Window]\r\nxpos=50\r\nmaximized=1\r\nypos=60\r\n\r\n"
              "[Schedule]\r\n; when the plots go out\r\nHours=4\r\nMinutes=30\r\n"
              "[Data]\r\nTempFilesPath=/h\r\nPlotFilesPath=/h\r\n[Printers]\r\nPrinter#=0\r\n"
              "[SetUp]\r\nFromEnd=30\r\nFromStart=500\r\nPSPageSize=A4\r\n[Mode]\r\nAddMode=0\r\n"
              "ClearAfterSpool=0\r\nShowPrinterType=0\r\nReverseSet=0\r\n");
    // A value that would break the file is refused before any other key is written.
    const std::string saved = IniText();
    values.plain.xpos = 1;
    values.plain.TempFilesPath = "/tmp/odd\n[Window]";
    EXPECT_EQ(test::SpoolErrorText([&] { SaveSettings(location, values); }),
              "Unable to write to " + location.IniFileName.string());
    EXPECT_EQ(IniText(), saved);
}

SettingsLocation Locate(const std::map<std::string, std::string>& environment,
                        const fs::path& programFile = {}) {
    return LocateSettings(programFile, [&](const char* name) -> const char* {
        auto found = environment.find(name);
        return found == environment.end() ? nullptr : found->second.c_str();
    });
}

TEST(Location, BesideTheProgramOrUnderTheHomeFolderOrAbsoluteXdgFolders) {
    const std::string ini = "/home/ann/.config/tavrin/tavrin.ini",
                      cache = "/home/ann/.cache/tavrin";
    const std::tuple<const char*, const char*, std::string> rows[] = {
        {nullptr, nullptr, ini + " " + cache},
        {"/cfg", "/cache/", "/cfg/tavrin/tavrin.ini /cache/tavrin"},
        {"relative/cfg", "", ini + " " + cache},
    };
    for (const auto& [config, cacheHome, expected] : rows) {
        std::map<std::string, std::string> environment{{"HOME", "/home/ann"}};
        if (config)
            environment.insert({{"XDG_CONFIG_HOME", config}, {"XDG_CACHE_HOME", cacheHome}});
        const SettingsLocation found = Locate(environment);
        EXPECT_EQ(found.IniFileName.string() + " " + found.CacheFolder + " " + found.HomeFolder,
                  expected + " /home/ann");
    }
    // An INI file beside the program wins when there is one.
    TempFolder folder;
    const std::map<std::string, std::string> home{{"HOME", "/home/ann"}};
    const fs::path program = folder / "tavrin";
    EXPECT_EQ(Locate(home, program).IniFileName, "/home/ann/.config/tavrin/tavrin.ini");
    WriteBytes(folder / "tavrin.ini", "");
    EXPECT_EQ(Locate(home, program).IniFileName, folder / "tavrin.ini");
    fs::create_directory(folder / "other.ini");
    EXPECT_EQ(Locate(home, folder / "other").IniFileName, "/home/ann/.config/tavrin/tavrin.ini");
}

// An empty TempFilesPath becomes the cache folder, in the window only after the printers.
TEST_F(Store, CliDefaultsAreFirstRunValuesWithoutAFileElseTheStoredOnesAsTheWindowHasThem) {
    EXPECT_EQ(Cli(3), std::make_tuple(0, location.CacheFolder, 600, 30, "A4"s));
    EXPECT_FALSE(fs::exists(location.IniFileName.parent_path()));
    WriteIni(
        "[Printers]\nPrinter#=2\n[Data]\nTempFilesPath=/var/tmp\n"
        "[SetUp]\nFromStart=0x20\nFromEnd=x\nPSPageSize=a3\n");
    EXPECT_EQ(Cli(3), std::make_tuple(2, "/var/tmp"s, 32, 30, "a3"s));
    EXPECT_EQ(std::get<0>(Cli(2)), 0);  // the start-up rule for an index out of range
    EXPECT_EQ(std::get<0>(Cli(0)), 2);
    WriteIni("[Printers]\nPrinter#=-1\n");
    EXPECT_EQ(std::get<0>(Cli(3)), 0);
    const std::string ini =
        "[Printers]\nPrinter#=1\n[SetUp]\nFromStart=123\n[Data]\nTempFilesPath=\n";
    WriteIni(ini);
    EXPECT_EQ(Cli(3), std::make_tuple(1, location.CacheFolder, 123, 30, "A4"s));
    Settings settings = StartSettings(location, 0, 0).values.plain;
    EXPECT_EQ(settings.TempFilesPath, "");
    FillEmptyTempFilesPath(location, settings);
    EXPECT_EQ(Cli(5), std::make_tuple(settings.PrinterIndex, settings.TempFilesPath,
                                      settings.FromStart, settings.FromEnd, settings.PSPageSize));
    EXPECT_EQ(IniText(), ini);
}

}  // namespace
}  // namespace tavrin
