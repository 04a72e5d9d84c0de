#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>

#include <filesystem>
#include <string>

#include "platform/Error.h"
#include "platform/PrivateProfile.h"
#include "support/ScratchFolder.h"

namespace tavrin {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::ScratchFolder;
using test::WriteBytes;

class ProfileWrite : public ::testing::Test {
protected:
    std::string WriteTo(std::string_view text, std::string_view section, std::string_view key,
                        std::string_view value) {
        WriteBytes(ini, text);
        WriteProfileString(ini, section, key, value);
        return ReadBytes(ini);
    }

    // Only the INI file itself: no temporary files left beside it.
    std::size_t FilesInFolder() const {
        return static_cast<std::size_t>(
            std::distance(fs::directory_iterator(folder.path()), fs::directory_iterator()));
    }

    ScratchFolder folder;
    fs::path ini = folder / "tavrin.ini";
};

TEST_F(ProfileWrite, CreatesTheFileWithSectionAndKey) {
    WriteProfileString(ini, "Window", "xpos", "273");
    EXPECT_EQ(ReadBytes(ini), "[Window]\nxpos=273\n");
    EXPECT_EQ(FilesInFolder(), 1u);
}

TEST_F(ProfileWrite, ReplacesAValueInPlaceAndKeepsEveryOtherLine) {
    const std::string before =
        "; Tavrin settings\n[Window]\nxpos=273\n  ypos = 173  \nwidth=9\n\n[Other]\nx=1\n";
    EXPECT_EQ(WriteTo(before, "window", "YPOS", "400"),
              "; Tavrin settings\n[Window]\nxpos=273\n  ypos = 400\nwidth=9\n\n[Other]\nx=1\n");
}

TEST_F(ProfileWrite, MissingKeyGoesAfterTheLastKeyOfItsSection) {
    const std::string before = "[SetUp]\nFromStart=600\n; keep\n\n[Mode]\nAddMode=0\n";
    EXPECT_EQ(WriteTo(before, "SetUp", "FromEnd", "30"),
              "[SetUp]\nFromStart=600\nFromEnd=30\n; keep\n\n[Mode]\nAddMode=0\n");
    EXPECT_EQ(WriteTo("[Data]\n\n[Mode]\n", "Data", "PlotFilesPath", "/p"),
              "[Data]\nPlotFilesPath=/p\n\n[Mode]\n");
}

TEST_F(ProfileWrite, MissingSectionGoesAtTheEnd) {
    EXPECT_EQ(WriteTo("[Window]\nxpos=1\n", "Schedule", "Hours", "12"),
              "[Window]\nxpos=1\n[Schedule]\nHours=12\n");
}

TEST_F(ProfileWrite, KeepsCrLfAndEndsAnUnfinishedLastLine) {
    EXPECT_EQ(WriteTo("[Window]\r\nxpos=1\r\n", "Window", "ypos", "2"),
              "[Window]\r\nxpos=1\r\nypos=2\r\n");
    EXPECT_EQ(WriteTo("[Window]\r\nxpos=1", "Mode", "AddMode", "1"),
              "[Window]\r\nxpos=1\r\n[Mode]\r\nAddMode=1\r\n");
    EXPECT_EQ(WriteTo("[Window]\r\nxpos=1\r\n", "Window", "XPOS", "7"), "[Window]\r\nxpos=7\r\n");
}

TEST_F(ProfileWrite, SeveralKeysInOneChange) {
    WriteProfileStrings(ini, {{"Window", "xpos", "1"},
                              {"Data", "TempFilesPath", "/tmp"},
                              {"Window", "ypos", "2"},
                              {"Window", "xpos", "3"}});
    EXPECT_EQ(ReadBytes(ini), "[Window]\nxpos=3\nypos=2\n[Data]\nTempFilesPath=/tmp\n");
}

TEST_F(ProfileWrite, WrittenValuesReadBack) {
    WriteBytes(ini, "[Data]\nTempFilesPath=/old\n");
    WriteProfileString(ini, "Data", "TempFilesPath", "");
    EXPECT_EQ(ReadProfileString(ini, "Data", "TempFilesPath", "<default>"), "");
    WriteProfileString(ini, "Data", "TempFilesPath", "/a b/c=d;e");
    EXPECT_EQ(ReadProfileString(ini, "Data", "TempFilesPath", ""), "/a b/c=d;e");
}

TEST_F(ProfileWrite, KeepsPermissionsAndFollowsSymbolicLinks) {
    const fs::path real = folder / "real.ini";
    WriteBytes(real, "[Window]\nxpos=1\n");
    ::chmod(real.c_str(), 0640);
    fs::create_symlink(real, ini);
    WriteProfileString(ini, "Window", "xpos", "2");
    EXPECT_TRUE(fs::is_symlink(ini));
    EXPECT_EQ(ReadBytes(real), "[Window]\nxpos=2\n");
    EXPECT_EQ(fs::status(real).permissions() & fs::perms::mask,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

class ProfileWriteFailure : public ProfileWrite {
protected:
    void ExpectUnableToWrite(const fs::path& file, std::string_view value = "1") {
        try {
            WriteProfileString(file, "Window", "xpos", value);
            FAIL() << "the write to " << file << " succeeded";
        } catch (const Error& error) {
            EXPECT_EQ(std::string(error.what()), "Unable to write to " + file.string());
        }
    }
};

TEST_F(ProfileWriteFailure, FolderIsAFile) {
    const fs::path blocker = folder / "config";
    WriteBytes(blocker, "not a folder");
    ExpectUnableToWrite(blocker / "tavrin.ini");
    EXPECT_EQ(ReadBytes(blocker), "not a folder");
}

TEST_F(ProfileWriteFailure, FolderOfTheSystem) {
    ExpectUnableToWrite("/proc/tavrin.ini");
    EXPECT_FALSE(fs::exists("/proc/tavrin.ini"));
}

TEST_F(ProfileWriteFailure, IniPathIsAFolder) {
    fs::create_directory(ini);
    ExpectUnableToWrite(ini);
    EXPECT_TRUE(fs::is_directory(ini));
    EXPECT_EQ(FilesInFolder(), 1u);
}

TEST_F(ProfileWriteFailure, RelativePathIsReportedInFull) {
    const fs::path blocker = folder / "config";
    WriteBytes(blocker, "");
    const fs::path previous = fs::current_path();
    fs::current_path(folder.path());
    try {
        WriteProfileString("config/tavrin.ini", "Window", "xpos", "1");
        ADD_FAILURE() << "the write succeeded";
    } catch (const Error& error) {
        EXPECT_EQ(std::string(error.what()),
                  "Unable to write to " + (folder / "config/tavrin.ini").string());
    }
    fs::current_path(previous);
}

TEST_F(ProfileWriteFailure, ValueThatWouldBreakTheFileIsRefused) {
    const std::string before = "[Window]\nxpos=1\n";
    WriteBytes(ini, before);
    ExpectUnableToWrite(ini, "2\n[Window]\nxpos=3");
    ExpectUnableToWrite(ini, std::string("2\0"
                                         "3",
                                         3));
    EXPECT_EQ(ReadBytes(ini), before);
}

TEST_F(ProfileWriteFailure, OneBadEntryStopsTheWholeChange) {
    const std::string before = "[Window]\nxpos=1\n";
    WriteBytes(ini, before);
    EXPECT_THROW(WriteProfileStrings(ini, {{"Window", "xpos", "2"}, {"Data", "a=b", "x"}}), Error);
    EXPECT_EQ(ReadBytes(ini), before);
}

// A file size limit makes the write fail the way a full disk does.
TEST_F(ProfileWriteFailure, FullDiskLeavesTheOldFileWhole) {
    const std::string before = "[Window]\nxpos=1\n" + std::string(200, ';') + "\n";
    WriteBytes(ini, before);
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto savedHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 64;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    ExpectUnableToWrite(ini, "2");
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, savedHandler);
    EXPECT_EQ(ReadBytes(ini), before);
    EXPECT_EQ(FilesInFolder(), 1u);
}

}  // namespace
}  // namespace tavrin
