// SPDX-License-Identifier: GPL-3.0-or-later
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "joblist/JobList.h"
#include "joblist/JobListFile.h"
#include "joblist/JobListLines.h"
#include "joblist/LongFileName.h"
#include "platform/Error.h"
#include "support/TempFolder.h"

namespace tavrin::test {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;
using testing::ThrowsMessage;
using NameList = std::vector<std::string>;

// The list on one line: each job "file:copies", "+N" for N blank rows, "#N" the batch count.
std::string Shown(const JobList& list) {
    std::string text;
    for (const JobRow& row : list.Rows())
        text += row.file + ":" + row.copies + " ";
    if (list.BlankRows() > 0)
        text += "+" + std::to_string(list.BlankRows()) + " ";
    return text + "#" + std::to_string(list.BatchCount());
}

using Change = std::function<void(JobList&)>;
Change Add(NameList names, ListMode mode, int copies) {
    return [=](JobList& list) { list.AddFiles(names, mode, copies); };
}
Change Remove(int index, ListMode mode) {
    return [=](JobList& list) { list.Remove(index, mode); };
}

// Each change on the list the one before left, and the list it leaves.
TEST(JobList, BatchesRemovalsCountsClearingAndARunChangeTheRowsAsTheWindowShowsThem) {
    constexpr auto kNew = ListMode::New, kAdd = ListMode::Add;
    const std::pair<Change, const char*> steps[] = {
        {[](JobList&) {}, "+29 #0"},  // a new list shows blank rows only
        {Add({"a", "b"}, kNew, 1), "a:1 b:1 #2"},
        {Add({"c"}, kAdd, 2), "a:1 b:1 c:2 #1"},
        {Add({"a"}, kAdd, 1), "a:1 b:1 c:2 a:1 #1"},  // the same file twice is two rows
        {Add({}, kNew, 5), "a:1 b:1 c:2 a:1 #0"},     // an empty batch changes no row
        {Add({"d", "e"}, kNew, 3), "d:3 e:3 #2"},
        {Remove(1, kAdd), "d:3 #2"},
        {Remove(0, kNew), "+29 #1"},   // the last job: the blank list again
        {Remove(4, kNew), "+29 #0"},   // a blank row: still the blank list
        {Remove(29, kNew), "+29 #0"},  // past the shown rows: nothing
        {Remove(-1, kNew), "+29 #0"},
        {[](JobList& l) { l.SetEveryCount(7); }, "+29 #0"},
        {Add({"f", "g", "h"}, kAdd, 1), "f:1 g:1 h:1 #3"},
        {[](JobList& l) { l.SetEveryCount(4); }, "f:4 g:4 h:4 #3"},
        {[](JobList& l) { l.SetCopies(1, "1.5"), l.SetCopies(3, "9"), l.SetCopies(-1, "9"); },
         "f:4 g:1.5 h:4 #3"},
        {[](JobList& l) { l.Clear(); }, "+3 #3"},  // the rows stay shown, blank
        {[](JobList& l) { l.SetEveryCount(2), l.SetCopies(0, "5"); }, "+3 #3"},
        {[](JobList& l) { l.TakeFirstSent(); }, "+3 #3"},
        {[](JobList& l) { l.EndRun(); }, "+29 #3"},
        {Add({"i", "j"}, kNew, 1), "i:1 j:1 #2"},
        {[](JobList& l) { l.TakeFirstSent(); }, "j:1 #2"},
        {[](JobList& l) { l.TakeFirstSent(); }, "+1 #2"},  // the last leaves a blank row
        {[](JobList& l) { l.EndRun(); }, "+29 #2"},
        {Add({"k"}, kNew, 1), "k:1 #1"},
        {[](JobList& l) { l.EndRun(); }, "k:1 #1"},  // a run that took nothing off
        {Add({"", "l"}, kNew, 1), ":1 l:1 #2"},
        {[](JobList& l) { l.EndRun(); }, "+29 #2"},  // no file in the first row: the blank list
        {[](JobList& l) {
             l.SetPending({"p", "q", "r"}, 2), l.AddBatch(kAdd, 6);
         },
         "p:6 q:6 #2"},
    };
    JobList list;
    for (const auto& [change, shown] : steps) {
        change(list);
        ASSERT_EQ(Shown(list), shown);
        ASSERT_EQ(list.Table().size(), list.Rows().size() + list.BlankRows() + 1) << shown;
    }
    EXPECT_EQ(JobListText(list), ";\r\np;6\r\nq;6\r\n");

    // A batch longer than the names it takes from is refused whole.
    list.SetPending({"/x.plt"}, 3);
    const JobList before = list;
    for (const ListMode mode : {kNew, kAdd}) {
        EXPECT_THAT([&] { list.AddBatch(mode, 1); },
                    ThrowsMessage<Error>("List index out of bounds (1)"));
        EXPECT_EQ(list, before);
    }
}

// A list a file widened keeps its width and title for the rows added to it or cleared.
TEST(JobList, AListFromAFileKeepsItsColumnsAndTitleThroughBatchesAndClearing) {
    JobList list = JobListFromLines({"Name;Count;Room", "/a.plt;2;B12;extra", "/b.plt"});
    EXPECT_EQ(std::tuple(list.ColumnCount(), list.FileCount(), list.BatchCount(), list.BlankRows(),
                         list.Rows()[0].more, list.Rows()[1].copies),
              std::tuple(4, 2, 2, 0, NameList{"B12", "extra"}, ""));
    list.AddFiles({"/c.plt"}, ListMode::Add, 3);
    EXPECT_EQ(list.Table(), (std::vector<NameList>{{"Name", "Count", "Room", ""},
                                                   {"/a.plt", "2", "B12", "extra"},
                                                   {"/b.plt", "", "", ""},
                                                   {"/c.plt", "3", "", ""}}));
    list.Clear();
    EXPECT_EQ(JobListText(list), "Name;Count;Room;\r\n;;;\r\n;;;\r\n;;;\r\n");
}

// After every step the jobs are the ones the steps left, or none and 29 blank rows show.
class JobListInvariantTest : public ::testing::TestWithParam<unsigned> {};

TEST_P(JobListInvariantTest, HoldsThroughLongRandomSequences) {
    std::mt19937 random(GetParam());
    auto pick = [&](int low, int high) { return std::uniform_int_distribution(low, high)(random); };
    JobList list;
    std::vector<std::pair<std::string, std::string>> expected;  // (name, copies) per job
    ListMode mode = ListMode::New;
    int copies = 1;
    // In New mode a removal counts the batch down, with no floor.
    for (int step = 0, nextName = 0, batch = 0; step < 3000 && !HasFatalFailure(); ++step) {
        SCOPED_TRACE("step " + std::to_string(step));
        const int operation = pick(0, 99);
        if (operation < 35) {
            // A batch: mostly small, now and then long, an empty name now and then.
            NameList names(pick(0, 9) == 0 ? pick(20, 60) : pick(0, 6));
            if (!names.empty() && mode == ListMode::New)
                expected.clear();
            for (auto& name : names) {
                name = pick(0, 30) == 0 ? "" : "/plots/f" + std::to_string(nextName++);
                expected.emplace_back(name, std::to_string(copies));
            }
            list.AddFiles(names, mode, copies);
            batch = int(names.size());
        } else if (operation < 60) {
            const int row = pick(0, int(list.Table().size()) - 2);
            batch -= mode == ListMode::New ? 1 : 0;
            list.Remove(row, mode);
            if (!expected.empty())
                expected.erase(expected.begin() + row);
        } else if (operation < 72) {
            copies = pick(1, 99);
            for (auto& job : expected)
                job.second = std::to_string(copies);
            list.SetEveryCount(copies);
        } else if (operation < 82) {
            mode = mode == ListMode::New ? ListMode::Add : ListMode::New;
        } else if (operation < 95 && !expected.empty()) {
            const int row = pick(0, int(expected.size()) - 1);
            expected[row].second = std::to_string(pick(1, 500));
            list.SetCopies(row, expected[row].second);
        } else if (operation >= 95) {  // a spool run that clears the list afterwards
            list.Clear();
            list.EndRun();
            expected.clear();
        }
        std::string text = expected.empty() ? JobListText(JobList()) : ";\r\n";
        for (const auto& [name, count] : expected)
            text += name + ";" + count + "\r\n";
        ASSERT_EQ(std::tuple(JobListText(list), list.FileCount(), list.BatchCount()),
                  std::tuple(text, int(expected.size()), batch));
    }
}

INSTANTIATE_TEST_SUITE_P(Seeds, JobListInvariantTest, testing::Values(1u, 7u, 42u, 2024u, 99991u));

// A list of the shown names with their counts, as a user adds them.
JobList Listed(const std::vector<std::pair<std::string, std::string>>& jobs) {
    JobList list;
    for (const auto& [name, copies] : jobs) {
        list.AddFiles({name}, ListMode::Add, 1);
        list.SetCopies(list.FileCount() - 1, copies);
    }
    return list;
}

TEST(JobListFile, SaveWritesTheShownRowsAsTheyAreWithCrLfLineEndsOrSaysWhyItCannot) {
    TempFolder dir;
    EXPECT_THAT(JobListText(JobList()), testing::MatchesRegex("(;\r\n){30}"));
    const JobList list =
        Listed({{"C:\\plots\\first.plt", "1"}, {"/plots/Zürich;übersicht 日本.plt", "3"}});
    const std::string text =
        ";\r\nC:\\plots\\first.plt;1\r\n/plots/Z\xC3\xBCrich;\xC3\xBC"
        "bersicht \xE6\x97\xA5\xE6\x9C\xAC.plt;3\r\n";
    EXPECT_EQ(JobListText(list), text);
    WriteBytes(dir / "list.tjf", std::string(10000, 'x'));
    SaveJobListFile(list, (dir / "list.tjf").string());  // replaces the file whole
    const std::string view = WriteViewListFile(list, dir.path().string());
    EXPECT_EQ(std::tuple(ReadFile(dir / "list.tjf"), view, ReadFile(dir / "temp.tjf")),
              std::tuple(text, (dir / "temp.tjf").string(), text));
    for (const std::string& path : {dir.path().string(), (dir / "no such folder/x").string()})
        EXPECT_THAT([&] { SaveJobListFile(list, path); },
                    ThrowsMessage<Error>("Cannot create file " + path));
    EXPECT_FALSE(fs::exists(dir / "no such folder"));
    EXPECT_THAT([&] { WriteViewListFile(list, (dir / "gone").string()); },
                ThrowsMessage<Error>("Cannot create file " + (dir / "gone/temp.tjf").string()));
    if (fs::exists("/dev/full")) {
        EXPECT_THAT([&] { SaveJobListFile(list, "/dev/full"); },
                    ThrowsMessage<Error>("Stream write error"));
    }
}

// Every line after the first is a job; a refused file leaves the caller's list as it was.
TEST(JobListFile, EachOpenGivesTheFilesLinesAsJobsOrIsRefusedLosingNothing) {
    TempFolder dir;
    // The file, the list saved again ("=": the same), its column count.
    const std::tuple<std::string, std::string, int> rows[] = {
        {";\r\na;b;c\r\n/p/x.plt;4\r\n", ";;\r\na;b;c\r\n/p/x.plt;4;\r\n", 3},
        {"t\r\n/p/new one.plt\r\n/p/x.plt\r\n", "t;\r\n/p/new one.plt;\r\n/p/x.plt;\r\n", 2},
        {JobListText(JobList()), "=", 2},  // saved from an empty list: 29 empty jobs
        {";\r\n/home/jürgen/Begane grond – versie 2.plt;1\r\n/srv/планы/этаж 3.plt;12\r\n", "=", 2},
        {"a;b;c;d\r\n", "=", 4},
        {"x;y\r\n/p;1;z\r\n", "x;y;\r\n/p;1;z\r\n", 3},
        {"a\rb\nc", "a;\r\nb;\r\nc;\r\n", 2},  // a last line without its end mark counts
        {"", ";\r\n", 2},
    };
    JobList list = Listed({{"/old/a.plt", "2"}, {"/old/b.plt", "5"}, {"/old/c.plt", "7"}});
    const JobList before = list;
    // /proc/self/mem opens, but reading fails at its first byte.
    for (const std::string& path : {(dir / "not there.tjf").string(), dir.path().string(),
                                    std::string(), std::string("/proc/self/mem")}) {
        EXPECT_THAT([&] { list = OpenJobListFile(path); },
                    ThrowsMessage<Error>(path == "/proc/self/mem" ? "Stream read error"
                                                                  : "Cannot open file " + path));
        EXPECT_EQ(list, before);
    }
    const fs::path path = dir / "Liste für Montag ü.tjf";
    for (const auto& [bytes, saved, columns] : rows) {
        SCOPED_TRACE(bytes.substr(0, 40));
        WriteBytes(path, bytes);
        list = OpenJobListFile(path.string());
        const int jobs = std::max(0, int(SplitJobListText(bytes).size()) - 1);
        EXPECT_EQ(std::tuple(JobListText(list), list.ColumnCount(), list.FileCount(),
                             list.BatchCount(), list.BlankRows()),
                  std::tuple(saved == "=" ? bytes : saved, columns, jobs, jobs, 0));
    }
}

TEST(JobListFile, AnyFileOpensAsLinesThatSurviveSaveAndOpen) {
    TempFolder dir;
    constexpr int kFiles = 100000;
    std::string text = ";\r\n";
    for (int i = 1; i <= kFiles; ++i)
        text += "/srv/plots/project " + std::to_string(i) + "/sheet.plt;" +
                std::to_string(i % 99 + 1) + "\r\n";
    WriteBytes(dir / "long.tjf", text);
    const JobList list = OpenJobListFile((dir / "long.tjf").string());
    EXPECT_EQ(std::to_string(list.FileCount()) + " " + list.Rows().back().file + ";" +
                  list.Rows().back().copies,
              "100000 /srv/plots/project 100000/sheet.plt;11");
    const auto samples = SamplePrintFiles();
    EXPECT_GE(samples.size(), 20u);
    for (const auto& sample : samples) {
        SCOPED_TRACE(sample);
        const JobList opened = OpenJobListFile(sample.string());
        SaveJobListFile(opened, (dir / "copy.tjf").string());
        const JobList again = OpenJobListFile((dir / "copy.tjf").string());
        EXPECT_EQ(JobListText(again), JobListText(opened));
        EXPECT_EQ(again.Table(), opened.Table());
    }
}

// Each line or field followed by "|", so that no line and one empty line differ.
std::string Joined(const std::vector<std::string>& parts) {
    std::string text;
    for (const std::string& part : parts)
        text += part + "|";
    return text;
}

TEST(JobListLines, CrLfCrAndLfEachEndALineANulEndsTheTextAndSeparatorsEndFields) {
    const std::pair<std::string, const char*> rows[] = {
        {";\r/a.plt;1\n/b.plt;3\r\n", ";|/a.plt;1|/b.plt;3|"},
        {"a\r\nb", "a|b|"},  // the last line needs no end mark
        {"", ""},
        {"\r", "|"},
        {"a\n\rb", "a||b|"},  // LF CR is two line ends, CR LF only one
        {"a\r\r\nb", "a||b|"},
        {"a;1\r\n\0b;2\r\n"s, "a;1|"},
        {"\0a;1\r\n"s, ""},
        {"a\r\0\nb"s, "a|"},
    };
    for (const auto& [text, lines] : rows)
        EXPECT_EQ(Joined(SplitJobListText(text)), lines) << text;
    // Pieces join across their borders, CR LF split between two too; a NUL ends the text.
    JobListLineSplitter splitter;
    std::string taken;
    for (const auto& piece : {"a;1\r"s, "\nb;2\r"s, "\n/p/lo"s, "ng.plt;"s, "2\0c"s, "d\r\ne\r\n"s})
        taken += splitter.Feed(piece) ? "+" : "-";
    EXPECT_EQ(taken + std::to_string(splitter.ended()) + Joined(splitter.Finish()),
              "++++--1a;1|b;2|/p/long.plt;2|");
    // Fields: every separator ends one, and the fields of the line before are gone.
    const std::pair<const char*, const char*> fieldRows[] = {
        {"a;b;c", "a|b|c|"}, {" a ; b ", " a | b |"}, {";", "||"},
        {";;x;", "||x||"},   {"a;;", "a|||"},         {"", "|"},
    };
    for (const auto& [line, fields] : fieldRows) {
        std::vector<std::string> tokens{"left", "over"};
        TokenizeGridString(line, ';', tokens);
        EXPECT_EQ(Joined(tokens), fields) << line;
    }
}

// "@" stands for the scratch folder, @/Plots is the current one; a batch gives what each gives.
TEST(LongFileName, NamesAreJoinedToTheCurrentFolderAndTheirDotsResolvedByText) {
    TempFolder folder;
    const std::string root = folder.path().string();
    fs::create_directories(folder / "Plots" / "Sub");
    for (const char* file : {"A.plt", "a.plt", "Sub/b.plt", "Plan 1; rev\xc3\xa9.plt"})
        WriteBytes(folder / "Plots" / file, file);
    fs::create_symlink(folder / "Plots" / "Sub", folder / "Link");
    const fs::path before = fs::current_path();
    fs::current_path(folder / "Plots");
    const std::pair<std::string, std::string> rows[] = {
        {"A.plt", "@/Plots/A.plt"},
        {"a.plt", "@/Plots/a.plt"},  // letter case tells files apart here
        {"../Plots/./Sub//b.plt", "@/Plots/Sub/b.plt"},
        {"@/Plots/Sub/../../Plots/A.plt", "@/Plots/A.plt"},
        {"/../..", "/"},
        {"@/Plots/Sub/", "@/Plots/Sub"},
        {"No/Such/Folder/x.plt", "@/Plots/No/Such/Folder/x.plt"},
        {"@/Missing/../Plots/A.plt", "@/Plots/A.plt"},
        {"SUB/B.PLT", "@/Plots/SUB/B.PLT"},  // another case that exists nowhere is kept as given
        {"@/Link/b.plt", "@/Link/b.plt"},    // links are kept as named
        {"Plan 1; rev\xc3\xa9.plt", "@/Plots/Plan 1; rev\xc3\xa9.plt"},
        {"", ""},
        {"No/Such/Folder/y.plt", "@/Plots/No/Such/Folder/y.plt"},
    };
    const auto at = [&](std::string t) { return t.starts_with("@") ? root + t.substr(1) : t; };
    std::vector<std::string> names, expected;
    for (const auto& [name, longName] : rows) {
        EXPECT_EQ(LongFileName(at(name)), at(longName)) << name;
        names.push_back(at(name));
        expected.push_back(at(longName));
    }
    EXPECT_EQ(LongFileNames(names), expected);
    fs::current_path(before);
}

}  // namespace
}  // namespace tavrin::test
