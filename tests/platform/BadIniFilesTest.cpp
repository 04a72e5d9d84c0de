#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>

#include "platform/PrivateProfile.h"
#include "support/ScratchFolder.h"

namespace tavrin {
namespace {

using test::ReadBytes;
using test::ScratchFolder;
using test::WriteBytes;

// Files a user or a broken disk may leave behind: reading them gives what can be read, and a
// write keeps every byte that was there.
class BadIniFile : public ::testing::Test {
protected:
    ScratchFolder folder;
    std::filesystem::path ini = folder / "tavrin.ini";
};

TEST_F(BadIniFile, BinaryDataIsKeptAndKeysAfterItStillWork) {
    std::mt19937 random(7);
    std::string junk(64 * 1024, '\0');
    for (char& c : junk)
        c = static_cast<char>(random());
    const std::string before = junk + "\n[Window]\nxpos=5\n";
    WriteBytes(ini, before);
    EXPECT_EQ(ReadProfileString(ini, "Window", "xpos", ""), "5");
    WriteProfileString(ini, "Window", "ypos", "6");
    EXPECT_EQ(ReadBytes(ini), before + "ypos=6\n");
    EXPECT_EQ(ReadProfileString(ini, "Window", "ypos", ""), "6");
}

TEST_F(BadIniFile, NulBytesEndAValueAndSurviveAWrite) {
    const char text[] = "[Data]\nTempFilesPath=/tmp\0/x\n[Window]\nxpos=1\n";
    const std::string before(text, sizeof text - 1);
    WriteBytes(ini, before);
    EXPECT_EQ(ReadProfileString(ini, "Data", "TempFilesPath", "<d>"), "/tmp");
    WriteProfileString(ini, "Window", "xpos", "2");
    std::string after = before;
    after[after.size() - 2] = '2';
    EXPECT_EQ(ReadBytes(ini), after);
}

TEST_F(BadIniFile, TenMegabyteLine) {
    const std::string line(10 * 1024 * 1024, 'x');
    const std::string before = "[Window]\n" + line + "\nxpos=3\n";
    WriteBytes(ini, before);
    EXPECT_EQ(ReadProfileString(ini, "Window", "xpos", ""), "3");
    WriteProfileString(ini, "Window", "xpos", "4");
    EXPECT_EQ(ReadBytes(ini), "[Window]\n" + line + "\nxpos=4\n");
    WriteBytes(ini, "[Data]\nPlotFilesPath=" + line + "\n");
    EXPECT_EQ(ReadProfileString(ini, "Data", "PlotFilesPath", "").size(), kProfileValueMax);
}

TEST_F(BadIniFile, SectionWithoutClosingBracketOwnsNoKeys) {
    const std::string before = "[Window]\nxpos=1\n[Mode\nAddMode=1\nypos=2\n";
    WriteBytes(ini, before);
    EXPECT_EQ(ReadProfileString(ini, "Mode", "AddMode", "<d>"), "<d>");
    EXPECT_EQ(ReadProfileString(ini, "Window", "ypos", "<d>"), "<d>");
    WriteProfileString(ini, "Mode", "AddMode", "0");
    WriteProfileString(ini, "Window", "ypos", "7");
    EXPECT_EQ(ReadBytes(ini),
              "[Window]\nxpos=1\nypos=7\n[Mode\nAddMode=1\nypos=2\n[Mode]\nAddMode=0\n");
}

TEST_F(BadIniFile, KeyLineWithoutEqualsSignIsKept) {
    const std::string before = "[Schedule]\nHours\nMinutes=5\n";
    WriteBytes(ini, before);
    EXPECT_EQ(ReadProfileString(ini, "Schedule", "Hours", "<d>"), "<d>");
    WriteProfileString(ini, "Schedule", "Hours", "9");
    EXPECT_EQ(ReadBytes(ini), "[Schedule]\nHours\nMinutes=5\nHours=9\n");
}

// A lone CR does not end a line: the text after "]" belongs to the section line.
TEST_F(BadIniFile, LoneCarriageReturnsAndEmptyNames) {
    WriteBytes(ini, "[]\n=x\n[Window]\rxpos=1\n \n");
    EXPECT_EQ(ReadProfileString(ini, "Window", "xpos", "<d>"), "<d>");
    EXPECT_EQ(ReadProfileString(ini, "", "", "<d>"), "<d>");
    WriteProfileString(ini, "Window", "xpos", "2");
    EXPECT_EQ(ReadBytes(ini), "[]\n=x\n[Window]\rxpos=1\nxpos=2\n \n");
}

}  // namespace
}  // namespace tavrin
