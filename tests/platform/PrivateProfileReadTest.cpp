#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/PrivateProfile.h"
#include "support/ScratchFolder.h"

namespace tavrin {
namespace {

using test::ReadBytes;
using test::ScratchFolder;
using test::WriteBytes;

class ProfileRead : public ::testing::Test {
protected:
    std::string Read(std::string_view text, std::string_view section, std::string_view key,
                     std::string_view defaultValue = "<default>") {
        WriteBytes(ini, text);
        return ReadProfileString(ini, section, key, defaultValue);
    }

    ScratchFolder folder;
    std::filesystem::path ini = folder / "tavrin.ini";
};

TEST_F(ProfileRead, FindsKeyOfItsSectionOnly) {
    const std::string text = "[Window]\nxpos=12\n[Schedule]\nHours=7\nxpos=99\n";
    EXPECT_EQ(Read(text, "Window", "xpos"), "12");
    EXPECT_EQ(Read(text, "Schedule", "Hours"), "7");
    EXPECT_EQ(Read(text, "Window", "Hours"), "<default>");
    EXPECT_EQ(Read(text, "Mode", "xpos"), "<default>");
}

TEST_F(ProfileRead, MatchesSectionsAndKeysWithoutRegardToCase) {
    const std::string text = "[window]\nXPOS=12\n[SETUP]\npspagesize=a3\n";
    EXPECT_EQ(Read(text, "Window", "xpos"), "12");
    EXPECT_EQ(Read(text, "SetUp", "PSPageSize"), "a3");
}

TEST_F(ProfileRead, EmptyValueIsNotTheDefault) {
    EXPECT_EQ(Read("[Data]\nTempFilesPath=\n", "Data", "TempFilesPath"), "");
    EXPECT_EQ(Read("[Data]\nTempFilesPath=   \n", "Data", "TempFilesPath"), "");
}

TEST_F(ProfileRead, MissingFileGivesDefaultAndStaysMissing) {
    EXPECT_EQ(ReadProfileString(ini, "Data", "TempFilesPath", "/home/x"), "/home/x");
    EXPECT_FALSE(std::filesystem::exists(ini));
}

TEST_F(ProfileRead, BlanksAroundNamesAndValuesAreIgnored) {
    EXPECT_EQ(Read("  [ SetUp ]  \n\t FromStart \t=\t 450 \t\n", "SetUp", "FromStart"), "450");
}

TEST_F(ProfileRead, ValueKeepsInnerBlanksAndEqualsSigns) {
    EXPECT_EQ(Read("[Data]\nPlotFilesPath=/srv/plot files/a=b\n", "Data", "PlotFilesPath"),
              "/srv/plot files/a=b");
}

TEST_F(ProfileRead, CrLfLinesAndByteOrderMark) {
    const std::string text = "\xEF\xBB\xBF[Window]\r\nxpos=5\r\nypos=6\r\n";
    EXPECT_EQ(Read(text, "Window", "xpos"), "5");
    EXPECT_EQ(Read(text, "Window", "ypos"), "6");
}

TEST_F(ProfileRead, FirstOccurrenceWinsAcrossRepeatedSections) {
    const std::string text = "[Mode]\nAddMode=1\n[Data]\n[mode]\nAddMode=0\nReverseSet=1\n";
    EXPECT_EQ(Read(text, "Mode", "AddMode"), "1");
    EXPECT_EQ(Read(text, "Mode", "ReverseSet"), "1");
}

TEST_F(ProfileRead, CommentsAndKeysOutsideSectionsAreNotKeys) {
    const std::string text = "xpos=1\n[Window]\n;xpos=2\n#ypos=3\n";
    EXPECT_EQ(Read(text, "Window", "xpos"), "<default>");
    EXPECT_EQ(Read(text, "Window", "ypos"), "<default>");
}

TEST_F(ProfileRead, LongValuesAreCutTo2047Characters) {
    const std::string value(5000, 'v');
    EXPECT_EQ(Read("[Data]\nPlotFilesPath=" + value + "\n", "Data", "PlotFilesPath"),
              value.substr(0, 2047));
    EXPECT_EQ(ReadProfileString(folder / "none.ini", "Data", "PlotFilesPath", value).size(),
              kProfileValueMax);
}

TEST_F(ProfileRead, ReadingNeverChangesTheFile) {
    const std::string text = "[Window]\r\nxpos=5\n;comment\n[Broken\nno equals sign\n";
    WriteBytes(ini, text);
    const auto before = std::filesystem::last_write_time(ini);
    for (const char* key : {"xpos", "ypos", "missing"}) {
        ReadProfileString(ini, "Window", key, "");
    }
    EXPECT_EQ(ReadBytes(ini), text);
    EXPECT_EQ(std::filesystem::last_write_time(ini), before);
}

}  // namespace
}  // namespace tavrin
