// SPDX-License-Identifier: GPL-3.0-or-later
// tavrin-cli watch against a private print server: files saved into a hot folder print once,
// whole and in the order they were finished, and end in Printed/ or Failed/; trouble with one
// folder leaves the others going.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "joblog/JobLog.h"
#include "support/CliProcess.h"
#include "support/SandboxPrintServer.h"
#include "support/TempFolder.h"
#include "support/WaitUntil.h"

namespace tavrin {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Server = test::SandboxPrintServer;
using Names = std::vector<std::string>;

const fs::path kPlot = test::SamplesDir() / "hp2xx/286x192.5_qh.hpg";

// The names of the regular files of a folder, sorted; none when it is not there.
Names FilesIn(const fs::path& folder) {
    Names names;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error))
        if (entry.is_regular_file())
            names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// A plot of its own for each name: the sample with the name as a comment after it.
std::string PlotFor(const std::string& name) {
    return test::ReadFile(kPlot) + "CO\"" + name + "\";";
}

class CliWatch : public ::testing::Test {
protected:
    void SetUp() override { fs::create_directories(hot); }

    test::CliResult Cli(const std::string& arguments) {
        return test::RunCli(folder.path(), arguments);
    }
    std::vector<std::string> Watch(const std::string& queue, std::vector<std::string> more = {}) {
        std::vector<std::string> words = {"watch", "--folder", hot.string(), "-p",
                                          queue,   "--settle", "1"};
        words.insert(words.end(), more.begin(), more.end());
        return words;
    }
    // Waits until `count` files are in Printed/ and none is left in the folder or Sending/.
    bool AllPrinted(std::size_t count, std::chrono::seconds timeout = 180s) {
        return test::WaitUntil(
            [&] {
                return FilesIn(hot / "Printed").size() == count && FilesIn(hot).empty() &&
                       FilesIn(hot / "Sending").empty();
            },
            timeout, 50ms);
    }
    // Checks that the queue's device got each of `names` exactly once, whole.
    void ExpectEachOnce(const std::string& queue, const Names& names) {
        const auto jobs = server.WaitForJobs(queue, names.size());
        std::map<std::string, int> seen;
        for (const test::ReceivedJob& job : jobs) {
            ++seen[job.title];
            EXPECT_EQ(test::ReadFile(job.file), PlotFor(job.title)) << job.title;
        }
        for (const std::string& name : names)
            EXPECT_EQ(seen[name], 1) << name;
        EXPECT_EQ(jobs.size(), names.size());
    }

    Server server;
    test::TempFolder folder;
    fs::path hot = folder / "hot";
};

TEST_F(CliWatch, CopiedAndSlowlyWrittenFilesPrintOnceWholeInTheOrderTheyWereFinished) {
    // 200 files copied by cp, one after another.
    const fs::path source = folder / "source";
    fs::create_directories(source);
    Names copied;
    std::string arguments;
    for (int i = 0; i < 200; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "copied-%03d.plt", i);
        copied.push_back(name);
        test::WriteBytes(source / name, PlotFor(name));
        arguments += " '" + (source / name).string() + "'";
    }
    test::CliProcess watch(folder.path(), Watch(Server::kRawQueue));
    ASSERT_TRUE(
        test::WaitUntil([&] { return watch.Out().find("watching") != std::string::npos; }, 30s));
    ASSERT_EQ(test::RunCommand("cp" + arguments + " '" + hot.string() + "/'").exitCode, 0);
    ASSERT_TRUE(AllPrinted(200)) << watch.Out() << watch.Err();
    const auto jobs = server.WaitForJobs(Server::kRawQueue, 200);
    Names order;
    for (const test::ReceivedJob& job : jobs)
        order.push_back(job.title);
    EXPECT_EQ(order, copied);
    ExpectEachOnce(Server::kRawQueue, copied);

    // 200 more written slowly, 1 KB every 50 ms, by four writers at once; each writer's files
    // keep its order.
    Names slow;
    std::vector<std::thread> writers;
    std::vector<Names> finished(4);
    for (int w = 0; w < 4; ++w)
        writers.emplace_back([&, w] {
            for (int i = 0; i < 50; ++i) {
                const std::string name =
                    "slow-" + std::to_string(w) + "-" + std::to_string(100 + i) + ".plt";
                const std::string bytes = PlotFor(name);
                std::ofstream out(hot / name, std::ios::binary);
                for (std::size_t at = 0; at < bytes.size(); at += 1024) {
                    out.write(bytes.data() + at, static_cast<std::streamsize>(std::min<std::size_t>(
                                                     1024, bytes.size() - at)));
                    out.flush();
                    std::this_thread::sleep_for(50ms);
                }
                out.close();
                finished[static_cast<std::size_t>(w)].push_back(name);
            }
        });
    for (std::thread& writer : writers)
        writer.join();
    for (const Names& names : finished)
        slow.insert(slow.end(), names.begin(), names.end());
    ASSERT_TRUE(AllPrinted(400)) << watch.Out() << watch.Err();
    Names all = copied;
    all.insert(all.end(), slow.begin(), slow.end());
    ExpectEachOnce(Server::kRawQueue, all);
    const auto received = server.WaitForJobs(Server::kRawQueue, 400);
    for (const Names& names : finished) {
        Names arrived;
        for (const test::ReceivedJob& job : received)
            if (std::find(names.begin(), names.end(), job.title) != names.end())
                arrived.push_back(job.title);
        EXPECT_EQ(arrived, names);
    }

    // SIGTERM ends it with nothing left behind.
    watch.Signal(SIGTERM);
    EXPECT_EQ(watch.Wait(30), 0) << watch.Err();
    EXPECT_EQ(FilesIn(hot / "Printed").size(), 400u);
}

// A share gives no notices: in poll mode a file goes once it has stayed unchanged for the settle
// time, and never while it is still being written.
TEST_F(CliWatch, WithoutNoticesAFileGoesAfterTheSettleTimeAndNeverWhileItGrows) {
    test::CliProcess watch(folder.path(), Watch(Server::kRawQueue, {"--poll"}));
    ASSERT_TRUE(
        test::WaitUntil([&] { return watch.Out().find("watching") != std::string::npos; }, 30s));
    const std::string bytes = PlotFor("growing.plt");
    const auto start = std::chrono::steady_clock::now();
    {
        std::ofstream out(hot / "growing.plt", std::ios::binary);
        // Slower than the settle time would allow if the file were judged by its size alone
        // between two looks: each piece lands within the settle time of the last.
        for (std::size_t at = 0; at < bytes.size(); at += 512) {
            out.write(bytes.data() + at,
                      static_cast<std::streamsize>(std::min<std::size_t>(512, bytes.size() - at)));
            out.flush();
            std::this_thread::sleep_for(300ms);
        }
    }
    const auto closed = std::chrono::steady_clock::now();
    ASSERT_TRUE(AllPrinted(1)) << watch.Out();
    const auto printed = std::chrono::steady_clock::now();
    ExpectEachOnce(Server::kRawQueue, {"growing.plt"});
    EXPECT_GE(printed - closed, 1s);
    EXPECT_GT(closed - start, 1s);
}

// Each way a file can fail to print ends it in Failed/ with one line saying why; the log has it.
TEST_F(CliWatch, AFileThePrinterRefusesOrCannotPrintEndsInFailedWithItsReason) {
    const std::string admin = "CUPS_SERVER='" + server.Socket() + "' ";
    // The queue takes no jobs: the send itself is refused.
    ASSERT_EQ(test::RunCommand(admin + "cupsreject " + Server::kRawQueue).exitCode, 0);
    test::WriteBytes(hot / "refused.plt", PlotFor("refused.plt"));
    const test::CliResult refused =
        Cli("watch --folder '" + hot.string() + "' -p " + Server::kRawQueue + " --settle 1 --once");
    EXPECT_EQ(refused.exitCode, 1) << refused.out << refused.err;
    EXPECT_EQ(FilesIn(hot / "Failed"), (Names{"refused.plt", "refused.plt.txt"}));
    const std::string why = test::ReadFile(hot / "Failed/refused.plt.txt");
    EXPECT_NE(why.find("not accepting jobs"), std::string::npos) << why;
    EXPECT_EQ(std::count(why.begin(), why.end(), '\n'), 1) << why;
    EXPECT_TRUE(test::ReadFile(hot / "Failed/refused.plt") == PlotFor("refused.plt"));
    EXPECT_NE(refused.out.find("refused.plt not printed: "), std::string::npos) << refused.out;

    // The same name failing again gets a number, and the first stays.
    test::WriteBytes(hot / "refused.plt", PlotFor("refused.plt"));
    EXPECT_EQ(
        Cli("watch --folder '" + hot.string() + "' -p " + Server::kRawQueue + " --settle 1 --once")
            .exitCode,
        1);
    EXPECT_EQ(FilesIn(hot / "Failed"),
              (Names{"refused (2).plt", "refused (2).plt.txt", "refused.plt", "refused.plt.txt"}));

    JobLog log(folder / "data/tavrin/joblog.sqlite");
    const auto jobs = log.Jobs({});
    ASSERT_EQ(jobs.size(), 2u);
    EXPECT_EQ(jobs[0].outcome, LoggedOutcome::Refused);
    EXPECT_EQ(jobs[0].frontEnd, hot.string());
    EXPECT_NE(jobs[0].reason.find("not accepting jobs"), std::string::npos);
}

// A printer that is stopped keeps the file in Sending/ until it prints; then it goes on.
TEST_F(CliWatch, AStoppedPrinterKeepsTheFileInSendingUntilItPrints) {
    const std::string admin = "CUPS_SERVER='" + server.Socket() + "' ";
    ASSERT_EQ(test::RunCommand(admin + "cupsdisable " + Server::kRawQueue).exitCode, 0);
    test::CliProcess watch(folder.path(), Watch(Server::kRawQueue));
    test::WriteBytes(hot / "waits.plt", PlotFor("waits.plt"));
    ASSERT_TRUE(test::WaitUntil(
        [&] { return watch.Out().find("waits.plt sent to") != std::string::npos; }, 30s))
        << watch.Out();
    EXPECT_EQ(FilesIn(hot / "Sending"), Names{"waits.plt"});
    EXPECT_TRUE(FilesIn(hot / "Printed").empty());
    ASSERT_EQ(test::RunCommand(admin + "cupsenable " + Server::kRawQueue).exitCode, 0);
    ASSERT_TRUE(AllPrinted(1)) << watch.Out();
    ExpectEachOnce(Server::kRawQueue, {"waits.plt"});
}

// A file it may not read is said once and left in the folder; the others go on, and it goes once
// it can be read.
TEST_F(CliWatch, AFileItMayNotReadWaitsInTheFolderUntilItCanBeRead) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "root reads every file whatever its permissions";
    test::WriteBytes(hot / "secret.plt", PlotFor("secret.plt"));
    fs::permissions(hot / "secret.plt", fs::perms::none);
    test::WriteBytes(hot / "open.plt", PlotFor("open.plt"));
    test::CliProcess watch(folder.path(), Watch(Server::kRawQueue));
    ASSERT_TRUE(test::WaitUntil([&] { return FilesIn(hot / "Printed") == Names{"open.plt"}; }, 60s))
        << watch.Out();
    EXPECT_NE(watch.Out().find("cannot read secret.plt (no permission?); left in the folder"),
              std::string::npos)
        << watch.Out();
    EXPECT_EQ(FilesIn(hot), Names{"secret.plt"});
    fs::permissions(hot / "secret.plt", fs::perms::owner_read | fs::perms::owner_write);
    ASSERT_TRUE(AllPrinted(2)) << watch.Out();
    ExpectEachOnce(Server::kRawQueue, {"open.plt", "secret.plt"});
}

// Kept folders from the INI file: a bad entry is named and left out, a folder that is not there
// and a printer that is not there are each said once, and the good folder prints all the same.
TEST_F(CliWatch, TroubleWithOneFolderNeverStopsTheOthers) {
    const fs::path gone = folder / "gone";
    const fs::path orphan = folder / "orphan";
    fs::create_directories(orphan);
    test::WriteBytes(orphan / "waits.plt", PlotFor("waits.plt"));
    const fs::path ini = folder / "config/tavrin/tavrin.ini";
    fs::create_directories(ini.parent_path());
    test::WriteBytes(ini,
                     "[HotFolders]\nCount=4\n"
                     "Path1=" +
                         gone.string() +
                         "\nPrinter1=raw-printer\n"
                         "Path2=" +
                         hot.string() +
                         "\nPrinter2=raw-printer\nSettle2=1\n"
                         "Path3=" +
                         hot.string() +
                         "\nPrinter3=raw-printer\nCopies3=0\n"
                         "Path4=" +
                         orphan.string() + "\nPrinter4=no-such-queue\nSettle4=1\n");
    const std::string settings = test::ReadFile(ini);

    const test::CliResult listed = Cli("watch --list");
    EXPECT_EQ(listed.exitCode, 0) << listed.err;
    EXPECT_EQ(std::count(listed.out.begin(), listed.out.end(), '\n'), 3) << listed.out;
    EXPECT_NE(listed.err.find("Hot folder 3"), std::string::npos) << listed.err;

    test::WriteBytes(hot / "goes.plt", PlotFor("goes.plt"));
    const test::CliResult once = Cli("watch --once");
    EXPECT_EQ(once.exitCode, 0) << once.out << once.err;
    EXPECT_NE(once.out.find(gone.string() + ": Cannot read folder"), std::string::npos) << once.out;
    EXPECT_NE(once.out.find(orphan.string() + ": printer no-such-queue is not there"),
              std::string::npos)
        << once.out;
    EXPECT_EQ(FilesIn(hot / "Printed"), Names{"goes.plt"});
    EXPECT_EQ(FilesIn(orphan), Names{"waits.plt"});
    EXPECT_EQ(test::ReadFile(ini), settings);
    ExpectEachOnce(Server::kRawQueue, {"goes.plt"});
}

// Printed/ cannot be made (here: a link to nowhere holds its name, as a full disk would refuse
// it): the printed file stays in Sending/ and the next start, knowing from the log that it
// printed, moves it without sending it again.
TEST_F(CliWatch, AFileThatCannotBeMovedAfterPrintingIsMovedNotSentAgainByTheNextStart) {
    fs::create_symlink(folder / "nowhere/at/all", hot / "Printed");
    test::WriteBytes(hot / "kept.plt", PlotFor("kept.plt"));
    const std::string command =
        "watch --folder '" + hot.string() + "' -p " + Server::kRawQueue + " --settle 1 --once";
    const test::CliResult first = Cli(command);
    EXPECT_NE(first.out.find("kept.plt printed, but"), std::string::npos) << first.out;
    EXPECT_EQ(FilesIn(hot / "Sending"), Names{"kept.plt"});
    fs::remove(hot / "Printed");
    const test::CliResult second = Cli(command);
    EXPECT_EQ(second.exitCode, 0) << second.out << second.err;
    EXPECT_EQ(FilesIn(hot / "Printed"), Names{"kept.plt"});
    EXPECT_TRUE(FilesIn(hot / "Sending").empty());
    ExpectEachOnce(Server::kRawQueue, {"kept.plt"});
}

}  // namespace
}  // namespace tavrin
