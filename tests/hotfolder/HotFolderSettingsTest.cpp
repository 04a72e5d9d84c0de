// SPDX-License-Identifier: GPL-3.0-or-later
// The hot folders the INI file keeps in its section [HotFolders].
#include <gtest/gtest.h>

#include "hotfolder/HotFolderSettings.h"
#include "support/SpoolErrorText.h"
#include "support/TempFolder.h"

namespace tavrin {
namespace {

using Folders = std::vector<HotFolder>;
using Problems = std::vector<std::string>;

HotFolder Folder(std::string path, std::string printer) {
    HotFolder folder;
    folder.path = std::move(path);
    folder.printer = std::move(printer);
    return folder;
}

template <typename Change>
HotFolder Folder(std::string path, std::string printer, Change change) {
    HotFolder folder = Folder(std::move(path), std::move(printer));
    change(folder);
    return folder;
}

class HotFolderIni : public ::testing::Test {
protected:
    HotFolderIni() {
        location = {folder / "tavrin.ini", (folder / "home").string(), (folder / "cache").string()};
    }
    std::string IniText() const { return test::ReadFile(location.IniFileName); }

    // Reads `ini` from a file and from the text alone, which must agree, and leaves the file as
    // it was.
    HotFolderSettings Read(const std::string& ini) {
        test::WriteBytes(location.IniFileName, ini);
        HotFolderSettings read = ReadHotFolderSettings(location);
        EXPECT_EQ(HotFolderSettingsFromText(ini), read);
        EXPECT_EQ(IniText(), ini);
        return read;
    }

    test::TempFolder folder;
    SettingsLocation location;
};

TEST_F(HotFolderIni, AMissingFileOrSectionReadsAsNoFolders) {
    EXPECT_EQ(ReadHotFolderSettings(location), HotFolderSettings{});
    EXPECT_FALSE(std::filesystem::exists(location.IniFileName));
    EXPECT_EQ(HotFolderSettingsFromText(""), HotFolderSettings{});
    EXPECT_EQ(Read("[Window]\nxpos=1\n[HotFolder]\nCount=1\nPath1=/x\nPrinter1=p\n"),
              HotFolderSettings{});
}

TEST_F(HotFolderIni, EachOptionIsReadAsWritten) {
    const struct {
        std::string section;
        HotFolder expected;
    } rows[] = {
        {"Path1=/srv/plots\nPrinter1=hpgl-plotter\n", Folder("/srv/plots", "hpgl-plotter")},
        {"Path1=/a b\nPrinter1=socket://10.0.0.7\nCopies1=99\n",
         Folder("/a b", "socket://10.0.0.7", [](HotFolder& f) { f.copies = 99; })},
        {"Path1=/a\nPrinter1=p\nCopies1=1\n", Folder("/a", "p")},
        {"Path1=/a\nPrinter1=p\nCopies1=\n", Folder("/a", "p")},
        {"Path1=/a\nPrinter1=p\nDeviceCopies1=1\n",
         Folder("/a", "p", [](HotFolder& f) { f.deviceCopies = true; })},
        {"Path1=/a\nPrinter1=p\nQuality1=1\n",
         Folder("/a", "p", [](HotFolder& f) { f.qualityOnPlotter = true; })},
        {"Path1=/a\nPrinter1=p\nCollate1=1\n",
         Folder("/a", "p", [](HotFolder& f) { f.collate = true; })},
        {"Path1=/a\nPrinter1=p\nPoll1=1\n",
         Folder("/a", "p", [](HotFolder& f) { f.pollOnly = true; })},
        {"Path1=/a\nPrinter1=p\nDeviceCopies1=0\nQuality1=0\nCollate1=0\nPoll1=0\n",
         Folder("/a", "p")},
        {"Path1=/a\nPrinter1=p\nFit1=A0\n",
         Folder("/a", "p", [](HotFolder& f) { f.fit = PageSize::A0; })},
        {"Path1=/a\nPrinter1=p\nFit1=A5\n",
         Folder("/a", "p", [](HotFolder& f) { f.fit = PageSize::A5; })},
        {"Path1=/a\nPrinter1=p\nFit1=a3\n",
         Folder("/a", "p", [](HotFolder& f) { f.fit = PageSize::A3; })},
        {"Path1=/a\nPrinter1=p\nFit1=\n", Folder("/a", "p")},
        {"Path1=/a\nPrinter1=p\nSettle1=1\n",
         Folder("/a", "p", [](HotFolder& f) { f.settleSeconds = 1; })},
        {"Path1=/a\nPrinter1=p\nSettle1=3600\n",
         Folder("/a", "p", [](HotFolder& f) { f.settleSeconds = 3600; })},
        // Keys in any letter case, blanks around the values, a second key of the same name.
        {"path1 = /a \nPRINTER1=\tp\ncopies1=3\nCopies1=4\n",
         Folder("/a", "p", [](HotFolder& f) { f.copies = 3; })},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.section);
        const HotFolderSettings read = Read("[HotFolders]\nCount=1\n" + row.section);
        EXPECT_EQ(read.folders, Folders{row.expected});
        EXPECT_EQ(read.problems, Problems{});
        EXPECT_FALSE(read.watchInWindow);
    }
    EXPECT_TRUE(Read("[hotfolders]\nWatch=1\n").watchInWindow);
    EXPECT_FALSE(Read("[HotFolders]\nWatch=0\n").watchInWindow);
}

// One bad entry among good ones: it is left out with a line that names it and says what is
// wrong, and the entries around it are read.
TEST_F(HotFolderIni, ABadEntryIsLeftOutWithItsProblemAndTheOthersAreRead) {
    const struct {
        std::string second;
        std::string problem;
    } rows[] = {
        {"Printer2=p\n", "Hot folder 2 has no Path2; left out"},
        {"Path2=\nPrinter2=p\n", "Hot folder 2 has no Path2; left out"},
        {"Path2=/b\n", "Hot folder 2 has no Printer2; left out"},
        {"Path2=/b\nPrinter2= \n", "Hot folder 2 has no Printer2; left out"},
        {"Path2=/b\nPrinter2=p\nCopies2=0\n",
         "Hot folder 2: Copies2=0 is not a copy count (1..99); left out"},
        {"Path2=/b\nPrinter2=p\nCopies2=100\n",
         "Hot folder 2: Copies2=100 is not a copy count (1..99); left out"},
        {"Path2=/b\nPrinter2=p\nCopies2=two\n",
         "Hot folder 2: Copies2=two is not a copy count (1..99); left out"},
        {"Path2=/b\nPrinter2=p\nCopies2=-1\n",
         "Hot folder 2: Copies2=-1 is not a copy count (1..99); left out"},
        {"Path2=/b\nPrinter2=p\nFit2=B4\n",
         "Hot folder 2: Fit2=B4 is not a page size (A0..A5, or empty for none); left out"},
        {"Path2=/b\nPrinter2=p\nFit2=A6\n",
         "Hot folder 2: Fit2=A6 is not a page size (A0..A5, or empty for none); left out"},
        {"Path2=/b\nPrinter2=p\nSettle2=0\n",
         "Hot folder 2: Settle2=0 is not a settle time (1..3600 seconds); left out"},
        {"Path2=/b\nPrinter2=p\nSettle2=3601\n",
         "Hot folder 2: Settle2=3601 is not a settle time (1..3600 seconds); left out"},
        {"Path2=/b\nPrinter2=p\nSettle2=soon\n",
         "Hot folder 2: Settle2=soon is not a settle time (1..3600 seconds); left out"},
        {"", "Hot folder 2 has no Path2; left out"},
    };
    const std::string first = "Path1=/a\nPrinter1=p1\nCopies1=2\n";
    const std::string third = "Path3=/c\nPrinter3=p3\nFit3=A4\n";
    HotFolder c = Folder("/c", "p3", [](HotFolder& f) { f.fit = PageSize::A4; });
    const Folders good{Folder("/a", "p1", [](HotFolder& f) { f.copies = 2; }), c};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.second);
        const HotFolderSettings read =
            Read("; by hand\n[HotFolders]\nWatch=1\nCount=3\n" + first + row.second + third);
        EXPECT_EQ(read.folders, good);
        EXPECT_EQ(read.problems, Problems{row.problem});
        EXPECT_TRUE(read.watchInWindow);
    }
}

// Count says how many entries there are; entries past it are ones a shorter list left behind.
// Without a usable Count (a section written by hand, or a damaged one) every numbered entry up
// to the 100th that has a path or a printer is read, so that none is lost.
TEST_F(HotFolderIni, WithoutAUsableCountTheNumberedEntriesThereAreRead) {
    const std::string entries =
        "Path1=/a\nPrinter1=p\nPath3=/c\nPrinter3=p\nPrinter4=p\nCopies5=2\n"
        "Path100=/z\nPrinter100=p\nPath101=/y\nPrinter101=p\n";
    const Folders all{Folder("/a", "p"), Folder("/c", "p"), Folder("/z", "p")};
    const std::string noPath4 = "Hot folder 4 has no Path4; left out";
    const struct {
        std::string count;
        Folders folders;
        Problems problems;
    } rows[] = {
        {"", all, {noPath4}},
        {"Count=\n", all, {noPath4}},
        {"Count=some\n",
         all,
         {"Hot folders: Count=some is not a number of folders; every numbered entry up to 100 "
          "was read",
          noPath4}},
        {"Count=-2\n",
         all,
         {"Hot folders: Count=-2 is not a number of folders; every numbered entry up to 100 "
          "was read",
          noPath4}},
        {"Count=0\n", {}, {}},
        {"Count=1\n", {Folder("/a", "p")}, {}},
        {"Count=2\n", {Folder("/a", "p")}, {"Hot folder 2 has no Path2; left out"}},
        {"Count=0x3\n",
         {Folder("/a", "p"), Folder("/c", "p")},
         {"Hot folder 2 has no Path2; left out"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.count);
        const HotFolderSettings read = Read("[HotFolders]\n" + row.count + entries);
        EXPECT_EQ(read.folders, row.folders);
        EXPECT_EQ(read.problems, row.problems);
    }

    std::string many = "[HotFolders]\nCount=5000\n";
    for (int i = 1; i <= 101; ++i)
        many += "Path" + std::to_string(i) + "=/f" + std::to_string(i) + "\nPrinter" +
                std::to_string(i) + "=p\n";
    const HotFolderSettings read = Read(many);
    ASSERT_EQ(read.folders.size(), 100u);
    EXPECT_EQ(read.folders.back(), Folder("/f100", "p"));
    EXPECT_EQ(read.problems,
              Problems{"Hot folders: Count=5000 is more than 100; the first 100 were read"});
}

TEST_F(HotFolderIni, WhatIsWrittenReadsBack) {
    const HotFolderSettings steps[] = {
        {true,
         {Folder("/srv/plots", "hpgl-plotter",
                 [](HotFolder& f) {
                     f.copies = 99;
                     f.deviceCopies = true;
                     f.qualityOnPlotter = true;
                     f.collate = true;
                     f.fit = PageSize::A0;
                     f.settleSeconds = 3600;
                     f.pollOnly = true;
                 }),
          Folder("/mnt/share/Plot room", "socket://10.0.0.7:9101",
                 [](HotFolder& f) {
                     f.fit = PageSize::A5;
                     f.settleSeconds = 1;
                 }),
          Folder("/srv/ps", "ps-printer", [](HotFolder& f) { f.copies = 2; })},
         {}},
        {false, {Folder("/srv/ps", "ps-printer")}, {}},  // the others' keys stay behind, unread
        {true, {}, {}},
    };
    for (const HotFolderSettings& settings : steps) {
        WriteHotFolderSettings(location, settings);
        EXPECT_EQ(ReadHotFolderSettings(location), settings);
        EXPECT_EQ(HotFolderSettingsFromText(IniText()), settings);
    }
}

// The section's keys are replaced where they are; comments, other sections, unknown keys and the
// file's line ends stay as they were.
TEST_F(HotFolderIni, AWriteKeepsEveryOtherLineOfTheFile) {
    test::WriteBytes(location.IniFileName,
                     "; kept by hand\r\n[Window]\r\nxpos=10\r\n[HotFolders]\r\nCount=1\r\n"
                     "Path1=/old\r\nPrinter1=old\r\nNote1=mine\r\n\r\n[Mode]\r\nAddMode=1\r\n");
    WriteHotFolderSettings(location,
                           {true,
                            {Folder("/new", "plotter", [](HotFolder& f) { f.fit = PageSize::A1; }),
                             Folder("/two", "p2")},
                            {}});
    EXPECT_EQ(IniText(),
              "; kept by hand\r\n[Window]\r\nxpos=10\r\n[HotFolders]\r\nCount=2\r\n"
              "Path1=/new\r\nPrinter1=plotter\r\nNote1=mine\r\nWatch=1\r\nCopies1=1\r\n"
              "DeviceCopies1=0\r\nQuality1=0\r\nCollate1=0\r\nFit1=A1\r\nSettle1=5\r\nPoll1=0\r\n"
              "Path2=/two\r\nPrinter2=p2\r\nCopies2=1\r\nDeviceCopies2=0\r\nQuality2=0\r\n"
              "Collate2=0\r\nFit2=\r\nSettle2=5\r\nPoll2=0\r\n\r\n[Mode]\r\nAddMode=1\r\n");
}

// A folder that would not read back as it is (a line break, blanks around a name, a value the
// reader cuts, numbers out of their range, an empty printer) is refused whole: nothing changes.
TEST_F(HotFolderIni, WhatCannotBeReadBackIsRefusedAndTheFileIsKept) {
    const std::string ini = "[Window]\nxpos=10\n[HotFolders]\nCount=1\nPath1=/a\nPrinter1=p\n";
    const HotFolder rows[] = {
        Folder("/two\nlines", "p"),
        Folder("/a ", "p"),
        Folder(" /a", "p"),
        Folder("/a", ""),
        Folder("", "p"),
        Folder(std::string(3000, 'x'), "p"),
        Folder("/a", "p", [](HotFolder& f) { f.copies = 0; }),
        Folder("/a", "p", [](HotFolder& f) { f.copies = 100; }),
        Folder("/a", "p", [](HotFolder& f) { f.settleSeconds = 0; }),
        Folder("/a", "p", [](HotFolder& f) { f.settleSeconds = 3601; }),
    };
    for (const HotFolder& bad : rows) {
        SCOPED_TRACE(bad.path);
        test::WriteBytes(location.IniFileName, ini);
        EXPECT_EQ(test::SpoolErrorText([&] {
                      WriteHotFolderSettings(location, {true, {Folder("/ok", "p"), bad}, {}});
                  }),
                  "Unable to write to " + location.IniFileName.string());
        EXPECT_EQ(IniText(), ini);
    }
}

}  // namespace
}  // namespace tavrin
