// SPDX-License-Identifier: GPL-3.0-or-later
// Finding the complete files of a hot folder: by the writer's close (or a move into the folder)
// where the system tells of it, else by the settle rule.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <limits>

#include "hotfolder/FolderWatcher.h"
#include "support/SpoolErrorText.h"
#include "support/TempFolder.h"

namespace tavrin {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Paths = std::vector<fs::path>;

// Long enough that what a test sees within it was never the settle rule's doing.
constexpr std::chrono::seconds kNeverSettles(3600);
// How long a test waits at most for what must come.
constexpr std::chrono::seconds kDeadline(20);

struct Reported {
    fs::path file;
    Clock::time_point when;
};

// Asks the watcher until `count` files came or the deadline passed.
std::vector<Reported> Collect(FolderWatcher& watcher, std::size_t count,
                              std::chrono::milliseconds deadline = kDeadline) {
    std::vector<Reported> reported;
    const auto end = Clock::now() + deadline;
    while (reported.size() < count && Clock::now() < end) {
        for (fs::path& file : watcher.Complete(200ms))
            reported.push_back({std::move(file), Clock::now()});
    }
    return reported;
}

Paths Files(const std::vector<Reported>& reported) {
    Paths files;
    for (const Reported& one : reported)
        files.push_back(one.file);
    return files;
}

// Everything the watcher reports within `window`: what must not come is looked for this long.
Paths Within(FolderWatcher& watcher, std::chrono::milliseconds window) {
    return Files(Collect(watcher, std::numeric_limits<std::size_t>::max(), window));
}

class Watch : public ::testing::Test {
protected:
    Watch() { fs::create_directory(hot); }
    fs::path In(const std::string& name) const { return hot / name; }

    test::TempFolder scratch;
    const fs::path hot = scratch / "hot";
};

TEST(IgnoredNames, HiddenPartialAndTemporaryNames) {
    const struct {
        const char* name;
        bool ignored;
    } rows[] = {
        {"plot.plt", false},   {".plot.plt", true},  {"~plot.plt", true}, {"plot.part", true},
        {"PLOT.PART", true},   {"plot.Tmp", true},   {"plot.tmp", true},  {"plot.tmp.plt", false},
        {"plot.partx", false}, {"plot~", false},     {"part", false},     {"tmp", false},
        {".part", true},       {"a.b.c.prn", false}, {"Printed", false},
    };
    for (const auto& row : rows)
        EXPECT_EQ(IgnoredName(row.name), row.ignored) << row.name;
}

// The file stays open across its writes, with pauses longer than the settle time between them:
// a file whose writer is known to be at work is not judged by the settle rule, and counts once,
// when it is closed.
TEST_F(Watch, AFileWrittenInPiecesCountsOnceItsWriterClosesIt) {
    const auto watcher = WatchFolder(hot, 1s, false);
    {
        std::ofstream out(In("plot.plt"), std::ios::binary);
        for (int piece = 0; piece < 3; ++piece) {
            out << "IN;SP1;PA" << piece << ",0;PD;";
            out.flush();
            EXPECT_EQ(watcher->Complete(1500ms), Paths{}) << "after piece " << piece;
        }
    }
    EXPECT_EQ(Files(Collect(*watcher, 1)), Paths{In("plot.plt")});
    EXPECT_EQ(Within(*watcher, 2500ms), Paths{});
}

TEST_F(Watch, FilesCountInTheOrderTheirWritersClosedThem) {
    const auto watcher = WatchFolder(hot, kNeverSettles, false);
    const std::vector<std::string> names{"b.plt", "c.plt", "a.plt", "e.prn", "d.ps"};
    std::vector<std::ofstream> writers;
    for (const std::string& name : names) {
        writers.emplace_back(In(name), std::ios::binary);
        writers.back() << name;
        writers.back().flush();
    }
    const std::vector<std::size_t> closing{3, 0, 4, 2, 1};
    Paths expected;
    for (const std::size_t index : closing) {
        writers[index].close();
        expected.push_back(In(names[index]));
    }
    EXPECT_EQ(Files(Collect(*watcher, expected.size())), expected);
}

// Looked for with notifications and by looking alone: a good file written after the others
// counts, and they never do.
TEST_F(Watch, IgnoredNamesEmptyFilesAndSubfoldersNeverCount) {
    for (const bool pollOnly : {false, true}) {
        SCOPED_TRACE(pollOnly ? "by looking" : "with notifications");
        fs::remove_all(hot);
        fs::create_directories(hot / "Printed");
        const auto watcher = WatchFolder(hot, 1s, pollOnly);
        for (const char* name : {".hidden.plt", "~lock.plt", "down.part", "SCRATCH.TMP"})
            test::WriteBytes(In(name), "IN;");
        test::WriteBytes(In("empty.plt"), "");
        test::WriteBytes(hot / "Printed" / "done.plt", "IN;");
        fs::create_directory(hot / "Sending");
        test::WriteBytes(In("good.plt"), "IN;");
        EXPECT_EQ(Files(Collect(*watcher, 1)), Paths{In("good.plt")});
        EXPECT_EQ(Within(*watcher, 2500ms), Paths{});
    }
}

TEST_F(Watch, ByLookingAFileCountsOnlyOnceItsSizeAndTimeStayedTheSameForTheSettleTime) {
    const auto settle = 2s;
    const auto watcher = WatchFolder(hot, settle, true);
    test::WriteBytes(In("written.plt"), "IN;PU0,0;");
    const auto written = Clock::now();
    const std::vector<Reported> first = Collect(*watcher, 1);
    ASSERT_EQ(Files(first), Paths{In("written.plt")});
    EXPECT_GE(first[0].when - written, settle);

    // A file that grows between the looks never counts while it grows, even left open.
    std::ofstream out(In("growing.plt"), std::ios::binary);
    Clock::time_point lastWrite;
    for (int piece = 0; piece < 12; ++piece) {
        out << "PA" << piece << ",0;";
        out.flush();
        lastWrite = Clock::now();
        EXPECT_EQ(watcher->Complete(250ms), Paths{}) << "after piece " << piece;
    }
    const std::vector<Reported> grown = Collect(*watcher, 1);
    ASSERT_EQ(Files(grown), Paths{In("growing.plt")});
    EXPECT_GE(grown[0].when - lastWrite, settle);
    EXPECT_EQ(Within(*watcher, 3s), Paths{});
}

TEST_F(Watch, AFileThereBeforeWatchingStartsCountsByTheSettleRule) {
    for (const bool pollOnly : {false, true}) {
        SCOPED_TRACE(pollOnly ? "by looking" : "with notifications");
        const std::string name = pollOnly ? "looked.plt" : "notified.plt";
        test::WriteBytes(In(name), "IN;");
        const auto written = Clock::now();
        const auto watcher = WatchFolder(hot, 1s, pollOnly);
        const std::vector<Reported> reported = Collect(*watcher, 1);
        ASSERT_EQ(Files(reported), Paths{In(name)});
        EXPECT_GE(reported[0].when - written, 1s);
        fs::remove(In(name));
    }
}

// Counted once: a file changed after it counted does not count again, a file taken away and
// written again does.
TEST_F(Watch, AFileCountsAgainOnlyWhenItWasTakenAwayAndWrittenAgain) {
    for (const bool pollOnly : {false, true}) {
        SCOPED_TRACE(pollOnly ? "by looking" : "with notifications");
        fs::remove_all(hot);
        fs::create_directories(hot / "Printed");
        const auto watcher = WatchFolder(hot, 1s, pollOnly);
        test::WriteBytes(In("plot.plt"), "IN;");
        ASSERT_EQ(Files(Collect(*watcher, 1)), Paths{In("plot.plt")});

        std::ofstream(In("plot.plt"), std::ios::binary | std::ios::app) << "PU;";
        EXPECT_EQ(Within(*watcher, 2500ms), Paths{});

        fs::rename(In("plot.plt"), hot / "Printed" / "plot.plt");
        EXPECT_EQ(Within(*watcher, 500ms), Paths{});
        test::WriteBytes(In("plot.plt"), "IN;SP2;");
        EXPECT_EQ(Files(Collect(*watcher, 1)), Paths{In("plot.plt")});
    }
}

// A file moved in from elsewhere on the same file system is complete as it arrives; so is a
// partial name renamed to its final one.
TEST_F(Watch, AFileMovedInCountsAtOnce) {
    const auto watcher = WatchFolder(hot, kNeverSettles, false);
    fs::create_directory(scratch / "elsewhere");
    test::WriteBytes(scratch / "elsewhere" / "moved.plt", "IN;");
    EXPECT_EQ(watcher->Complete(300ms), Paths{});
    fs::rename(scratch / "elsewhere" / "moved.plt", In("moved.plt"));
    EXPECT_EQ(Files(Collect(*watcher, 1)), Paths{In("moved.plt")});

    test::WriteBytes(In("download.plt.part"), "IN;");
    EXPECT_EQ(watcher->Complete(300ms), Paths{});
    fs::rename(In("download.plt.part"), In("download.plt"));
    EXPECT_EQ(Files(Collect(*watcher, 1)), Paths{In("download.plt")});

    // Moved in over a file that counted: another file, so it counts too.
    test::WriteBytes(scratch / "elsewhere" / "moved.plt", "IN;SP3;");
    fs::rename(scratch / "elsewhere" / "moved.plt", In("moved.plt"));
    EXPECT_EQ(Files(Collect(*watcher, 1)), Paths{In("moved.plt")});
}

// A second name made for a file elsewhere: no writer closes it here, so the settle rule counts it.
TEST_F(Watch, AFileLinkedIntoTheFolderCounts) {
    const auto watcher = WatchFolder(hot, 1s, false);
    test::WriteBytes(scratch / "original.plt", "IN;");
    EXPECT_EQ(watcher->Complete(300ms), Paths{});
    fs::create_hard_link(scratch / "original.plt", In("linked.plt"));
    EXPECT_EQ(Files(Collect(*watcher, 1)), Paths{In("linked.plt")});
}

// The folder goes: every call says so until it is back, and then its files count by the settle
// rule, a name that counted before among them.
void FolderGoesAndComesBack(const fs::path& hot, bool pollOnly) {
    const auto watcher = WatchFolder(hot, 1s, pollOnly);
    test::WriteBytes(hot / "before.plt", "IN;");
    ASSERT_EQ(Files(Collect(*watcher, 1)), Paths{hot / "before.plt"});

    fs::remove_all(hot);
    const std::string gone = "Cannot read folder " + hot.string() + ": No such file or directory";
    std::string message;
    const auto end = Clock::now() + kDeadline;
    while (message.empty() && Clock::now() < end)
        message = test::SpoolErrorText([&] { watcher->Complete(200ms); });
    EXPECT_EQ(message, gone);
    EXPECT_EQ(test::SpoolErrorText([&] { watcher->Complete(200ms); }), gone);

    fs::create_directory(hot);
    test::WriteBytes(hot / "before.plt", "IN;SP1;");
    test::WriteBytes(hot / "after.plt", "IN;SP2;");
    const auto back = Clock::now();
    std::vector<Reported> reported;
    const auto until = Clock::now() + kDeadline;
    while (reported.size() < 2 && Clock::now() < until) {
        for (fs::path& file : watcher->Complete(200ms))
            reported.push_back({std::move(file), Clock::now()});
    }
    Paths files = Files(reported);
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files, (Paths{hot / "after.plt", hot / "before.plt"}));
    for (const Reported& one : reported)
        EXPECT_GE(one.when - back, 1s) << one.file;
}

TEST_F(Watch, AFolderThatGoesIsToldOfAndWatchedAgainWhenItIsBackWithNotifications) {
    FolderGoesAndComesBack(hot, false);
}

TEST_F(Watch, AFolderThatGoesIsToldOfAndWatchedAgainWhenItIsBackByLooking) {
    FolderGoesAndComesBack(hot, true);
}

TEST_F(Watch, AFolderThatIsNotThereAtTheStartIsWatchedOnceItIs) {
    const auto watcher = WatchFolder(scratch / "later", 1s, false);
    EXPECT_EQ(test::SpoolErrorText([&] { watcher->Complete(0ms); }),
              "Cannot read folder " + (scratch / "later").string() + ": No such file or directory");
    fs::create_directory(scratch / "later");
    test::WriteBytes(scratch / "later" / "plot.plt", "IN;");
    EXPECT_EQ(Files(Collect(*watcher, 1)), Paths{scratch / "later" / "plot.plt"});
}

// A wait ends early when a file comes, and no later than asked when none does.
TEST_F(Watch, AWaitEndsWithTheNewsOrAtItsTime) {
    const auto watcher = WatchFolder(hot, kNeverSettles, false);
    auto start = Clock::now();
    EXPECT_EQ(watcher->Complete(500ms), Paths{});
    EXPECT_GE(Clock::now() - start, 500ms);

    test::WriteBytes(In("plot.plt"), "IN;");
    start = Clock::now();
    EXPECT_EQ(watcher->Complete(std::chrono::milliseconds(kDeadline)), Paths{In("plot.plt")});
    EXPECT_LT(Clock::now() - start, kDeadline);
}

}  // namespace
}  // namespace tavrin
