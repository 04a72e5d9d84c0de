#include "platform/PrivateProfile.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <filesystem>
#include <optional>
#include <string>

#include "support/SpoolErrorText.h"
#include "support/TempFolder.h"

namespace tavrin {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::WriteBytes;
using namespace std::string_literals;

const std::string kLongLine(10 * 1024 * 1024, 'x');

class Profile : public ::testing::Test {
protected:
    // Only the INI file itself: no temporary files left beside it.
    std::size_t FilesInFolder() const {
        return static_cast<std::size_t>(
            std::distance(fs::directory_iterator(folder.path()), fs::directory_iterator()));
    }
    // The message of a refused write with "Unable to write to " taken off, "" when none.
    static std::string Refusal(const fs::path& file, std::string_view value = "1") {
        const std::string text =
            test::SpoolErrorText([&] { WriteProfileString(file, "Window", "xpos", value); });
        return text.rfind("Unable to write to ", 0) == 0 ? text.substr(19) : text;
    }

    test::TempFolder folder;
    fs::path ini = folder / "tavrin.ini";
};

struct Row {
    std::optional<std::string> before;                  // nothing: no file
    std::string section, key, read;                     // what a read gives, "<d>" for the default
    std::optional<std::string> value = {}, after = {};  // a value written and the file after it
};

// Files a user or a broken disk may leave too: a read changes nothing, a write keeps every byte.
TEST_F(Profile, ReadsAndWritesOneKeyKeepingEveryOtherLine) {
    const std::string own = "[Window]\nxpos=12\n[Schedule]\nHours=7\nxpos=99\n";
    const std::string repeated = "[Mode]\nAddMode=1\n[Data]\n[mode]\nAddMode=0\nReverseSet=1\n";
    const std::string comments = "xpos=1\n[Window]\n;xpos=2\n#ypos=3\n";
    const std::string broken = "[Window]\nxpos=1\n[Mode\nAddMode=1\nypos=2\n";
    std::string junk(64 * 1024, '\0');  // every byte value, in no order
    for (std::size_t i = 0; i < junk.size(); ++i)
        junk[i] = static_cast<char>((i * 2654435761u) >> 11);
    junk += "\n[Window]\nxpos=5\n";
    const std::string nul = "[Data]\nTempFilesPath=/tmp\0/x\n[Window]\nxpos=1\n"s;
    const std::string crlf = "[Window]\r\nxpos=1\r\n";
    const Row rows[] = {
        {own, "Window", "xpos", "12"},
        {own, "Schedule", "Hours", "7"},
        {own, "Window", "Hours", "<d>"},
        {own, "Mode", "xpos", "<d>"},
        {"[window]\nXPOS=12\n", "Window", "xpos", "12"},
        {"[Data]\nTempFilesPath=   \n", "Data", "TempFilesPath", ""},
        {"  [ SetUp ]  \n\t FromStart \t=\t 450 \t\n", "SetUp", "FromStart", "450"},
        {"\xEF\xBB\xBF[Window]\r\nxpos=5\r\nypos=6\r\n", "Window", "xpos", "5"},
        {repeated, "Mode", "AddMode", "1"},
        {repeated, "Mode", "ReverseSet", "1"},
        {comments, "Window", "xpos", "<d>"},
        {comments, "Window", "ypos", "<d>"},
        {"[Data]\nPlotFilesPath=" + kLongLine + "\n", "Data", "PlotFilesPath",
         std::string(kProfileValueMax, 'x')},
        {nul, "Data", "TempFilesPath", "/tmp"},
        {nul, "Window", "xpos", "1", "2", nul.substr(0, nul.size() - 2) + "2\n"},
        {junk, "Window", "xpos", "5", "6", junk.substr(0, junk.size() - 2) + "6\n"},
        {"[Window]\n" + kLongLine + "\nxpos=3\n", "Window", "xpos", "3", "4",
         "[Window]\n" + kLongLine + "\nxpos=4\n"},
        {std::nullopt, "Window", "xpos", "<d>", "273", "[Window]\nxpos=273\n"},
        {"; Tavrin settings\n[Window]\nxpos=273\n  ypos = 173  \nwidth=9\n\n[Other]\nx=1\n",
         "window", "YPOS", "173", "400",
         "; Tavrin settings\n[Window]\nxpos=273\n  ypos = 400\nwidth=9\n\n[Other]\nx=1\n"},
        {"[SetUp]\nFromStart=600\n; keep\n\n[Mode]\nAddMode=0\n", "SetUp", "FromEnd", "<d>", "30",
         "[SetUp]\nFromStart=600\nFromEnd=30\n; keep\n\n[Mode]\nAddMode=0\n"},
        {"[Data]\n\n[Mode]\n", "Data", "PlotFilesPath", "<d>", "/p",
         "[Data]\nPlotFilesPath=/p\n\n[Mode]\n"},
        {"[Window]\nxpos=1\n", "Schedule", "Hours", "<d>", "12",
         "[Window]\nxpos=1\n[Schedule]\nHours=12\n"},
        {crlf, "Window", "ypos", "<d>", "2", "[Window]\r\nxpos=1\r\nypos=2\r\n"},
        {"[Window]\r\nxpos=1", "Mode", "AddMode", "<d>", "1",
         "[Window]\r\nxpos=1\r\n[Mode]\r\nAddMode=1\r\n"},
        {crlf, "Window", "XPOS", "1", "7", "[Window]\r\nxpos=7\r\n"},
        {"[Data]\nTempFilesPath=\n", "Data", "TempFilesPath", "", "/a b/c=d;e",
         "[Data]\nTempFilesPath=/a b/c=d;e\n"},
        {"[Data]\nTempFilesPath=/old\n", "Data", "TempFilesPath", "/old", "",
         "[Data]\nTempFilesPath=\n"},
        {broken, "Mode", "AddMode", "<d>", "0", broken + "[Mode]\nAddMode=0\n"},
        {broken, "Window", "ypos", "<d>", "7",
         "[Window]\nxpos=1\nypos=7\n[Mode\nAddMode=1\nypos=2\n"},
        {"[Schedule]\nHours\nMinutes=5\n", "Schedule", "Hours", "<d>", "9",
         "[Schedule]\nHours\nMinutes=5\nHours=9\n"},
        // A lone CR does not end a line: the text after "]" belongs to the section line.
        {"[]\n=x\n[Window]\rxpos=1\n \n", "", "", "<d>"},
        {"[]\n=x\n[Window]\rxpos=1\n \n", "Window", "xpos", "<d>", "2",
         "[]\n=x\n[Window]\rxpos=1\nxpos=2\n \n"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.before.value_or("<no file>").substr(0, 60) + " " + row.key);
        fs::remove(ini);
        if (row.before)
            WriteBytes(ini, *row.before);
        const auto time = row.before ? fs::last_write_time(ini) : fs::file_time_type{};
        EXPECT_EQ(ReadProfileString(ini, row.section, row.key, "<d>"), row.read);
        EXPECT_EQ(fs::exists(ini) ? ReadFile(ini) : "<none>", row.before.value_or("<none>"));
        EXPECT_EQ(row.before ? fs::last_write_time(ini) : time, time);
        if (!row.value)
            continue;
        WriteProfileString(ini, row.section, row.key, *row.value);
        EXPECT_EQ(ReadFile(ini), row.after);
        EXPECT_EQ(ReadProfileString(ini, row.section, row.key, "<d>"), row.value);
        EXPECT_EQ(FilesInFolder(), 1u);
    }
    const std::string longDefault(5000, 'v');
    EXPECT_EQ(ReadProfileString(folder / "none.ini", "Data", "PlotFilesPath", longDefault),
              longDefault.substr(0, kProfileValueMax));
}

TEST_F(Profile, SeveralKeysInOneChangeAndAWriteKeepsPermissionsAndFollowsLinks) {
    WriteProfileStrings(ini, {{"Window", "xpos", "1"},
                              {"Data", "TempFilesPath", "/tmp"},
                              {"Window", "ypos", "2"},
                              {"Window", "xpos", "3"}});
    EXPECT_EQ(ReadFile(ini), "[Window]\nxpos=3\nypos=2\n[Data]\nTempFilesPath=/tmp\n");
    fs::remove(ini);
    const fs::path real = folder / "real.ini";
    WriteBytes(real, "[Window]\nxpos=1\n");
    ::chmod(real.c_str(), 0640);
    fs::create_symlink(real, ini);
    WriteProfileString(ini, "Window", "xpos", "2");
    EXPECT_TRUE(fs::is_symlink(ini));
    EXPECT_EQ(ReadFile(real), "[Window]\nxpos=2\n");
    EXPECT_EQ(fs::status(real).permissions() & fs::perms::mask,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST_F(Profile, ARefusedWriteNamesTheFileAndLosesNothing) {
    const fs::path blocker = folder / "config";
    WriteBytes(blocker, "not a folder");
    EXPECT_EQ(Refusal(blocker / "tavrin.ini"), blocker / "tavrin.ini");
    EXPECT_EQ(ReadFile(blocker), "not a folder");
    fs::create_directory(ini);
    EXPECT_EQ(Refusal(ini), ini);
    EXPECT_TRUE(fs::is_directory(ini));
    const fs::path previous = fs::current_path();
    fs::current_path(folder.path());
    EXPECT_EQ(Refusal("config/tavrin.ini"), blocker / "tavrin.ini");  // named in full
    fs::current_path(previous);
    fs::remove(ini);

    const std::string before = "[Window]\nxpos=1\n" + std::string(200, ';') + "\n";
    WriteBytes(ini, before);
    EXPECT_EQ(Refusal(ini, "2\n[Window]\nxpos=3"), ini);  // would break the file
    EXPECT_EQ(Refusal(ini, "2\0"s + "3"), ini);
    EXPECT_THROW(WriteProfileStrings(ini, {{"Window", "xpos", "2"}, {"Data", "a=b", "x"}}), Error);
    // A file size limit makes the write fail the way a full disk does.
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto savedHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 64;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    EXPECT_EQ(Refusal(ini, "2"), ini);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, savedHandler);
    EXPECT_EQ(ReadFile(ini), before);
    EXPECT_EQ(FilesInFolder(), 2u);  // the file in the folder's way, and the INI file
}

}  // namespace
}  // namespace tavrin
