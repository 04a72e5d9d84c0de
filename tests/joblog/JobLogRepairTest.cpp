// SPDX-License-Identifier: GPL-3.0-or-later
// What the job log does with a file that is no job log, a folder it cannot write, and a log
// removed under it.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <unistd.h>

#include <regex>

#include "joblog/JobLog.h"
#include "platform/Error.h"
#include "support/JobSamples.h"
#include "support/TempFolder.h"

namespace tavrin {
namespace {

namespace fs = std::filesystem;

// Another program's SQLite database, made with SQLite itself.
void MakeDatabase(const fs::path& file, const char* sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
}

std::vector<fs::path> FolderContents(const fs::path& folder) {
    std::vector<fs::path> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(JobLogRepair, WhatIsNoJobLogIsMovedAsideWholeAndANewLogStarts) {
    std::string text;
    while (text.size() < 4096)
        text += "Plot room bookings, week 49: Monday 9-12 Ada, 13-17 Grace.\n";
    struct Row {
        const char* what;
        std::function<void(const fs::path&)> make;
    };
    const Row rows[] = {
        {"4 KB of text", [&](const fs::path& file) { test::WriteBytes(file, text); }},
        {"a few bytes", [](const fs::path& file) { test::WriteBytes(file, "x\n"); }},
        {"a header and nothing of a database",
         [&](const fs::path& file) {
             test::WriteBytes(file, std::string("SQLite format 3", 16) + text);
         }},
        {"another program's database with its own id and a table jobs",
         [](const fs::path& file) {
             MakeDatabase(file,
                          "PRAGMA application_id = 305419896;"
                          "CREATE TABLE jobs (name TEXT); INSERT INTO jobs VALUES ('keep');");
         }},
        {"a database without an id",
         [](const fs::path& file) {
             MakeDatabase(file, "CREATE TABLE songs (title TEXT); INSERT INTO songs VALUES ('a');");
         }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        test::TempFolder folder;
        const fs::path file = folder / "joblog.sqlite";
        row.make(file);
        const std::string bytes = test::ReadFile(file);

        std::optional<fs::path> moved;
        {
            JobLog log(file);
            moved = log.MovedAside();
            log.Add(test::SampleJob("hpgl", "HP-GL/2", 1000, std::nullopt, 1));
        }
        ASSERT_TRUE(moved);
        EXPECT_EQ(moved->parent_path(), folder.path());
        EXPECT_TRUE(std::regex_match(moved->filename().string(),
                                     std::regex(R"(joblog\.sqlite\.corrupt-\d{8}-\d{6})")))
            << *moved;
        EXPECT_EQ(test::ReadFile(*moved), bytes);
        EXPECT_EQ(FolderContents(folder.path()),
                  (std::vector<fs::path>{"joblog.sqlite", moved->filename()}));
        // The new log is a job log: opened again, nothing moves, and its row is there.
        JobLog again(file);
        EXPECT_EQ(again.MovedAside(), std::nullopt);
        EXPECT_EQ(again.Jobs({}).size(), 1u);
    }
}

TEST(JobLogRepair, ASecondDamagedLogInTheSameSecondKeepsTheFirstOneMovedAside) {
    test::TempFolder folder;
    const fs::path file = folder / "joblog.sqlite";
    test::WriteBytes(file, "first\n");
    const fs::path first = *JobLog(file).MovedAside();
    test::WriteBytes(file, "second\n");
    const fs::path second = *JobLog(file).MovedAside();
    EXPECT_NE(first, second);
    EXPECT_EQ(test::ReadFile(first), "first\n");
    EXPECT_EQ(test::ReadFile(second), "second\n");
}

TEST(JobLogRepair, AFolderThatCannotBeWrittenGivesAClearErrorAndStaysAsItWas) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only folders, so this runs as another user only";
    struct Row {
        const char* what;
        std::optional<std::string> existing;  // what is in the read-only folder: "" a job log
        const char* name;                     // the log's path below that folder
        std::string reason;
    };
    const Row rows[] = {
        {"no log yet", std::nullopt, "joblog.sqlite", "cannot create it: Permission denied"},
        {"a file that is no log", "garbage\n", "joblog.sqlite",
         "it is not a job log, and it cannot be moved aside: Permission denied"},
        {"a job log", "", "joblog.sqlite", "attempt to write a readonly database"},
        {"a folder to make", std::nullopt, "tavrin/joblog.sqlite",
         "cannot make its folder: Permission denied"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        test::TempFolder folder;
        const fs::path locked = folder / "locked";
        fs::create_directory(locked);
        if (row.existing && row.existing->empty())
            JobLog(locked / row.name).Add(test::SampleJob("hpgl", "HP-GL/2", 1, std::nullopt, 1));
        else if (row.existing)
            test::WriteBytes(locked / row.name, *row.existing);
        const std::string bytes = row.existing ? test::ReadFile(locked / row.name) : "";
        fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec);
        const fs::path file = locked / row.name;
        try {
            JobLog log(file);
            ADD_FAILURE() << "no error";
        } catch (const Error& e) {
            EXPECT_EQ(e.what(), "Cannot open the job log " + file.string() + ": " + row.reason);
        }
        fs::permissions(locked, fs::perms::owner_all);
        EXPECT_EQ(FolderContents(locked),
                  row.existing ? std::vector<fs::path>{row.name} : std::vector<fs::path>{});
        EXPECT_EQ(row.existing ? test::ReadFile(file) : "", bytes);
    }
}

TEST(JobLogRepair, ALogRemovedWhileOpenIsStartedAgainRatherThanWrittenIntoNothing) {
    test::TempFolder folder;
    const fs::path file = folder / "joblog.sqlite";
    JobLog log(file);
    log.Add(test::SampleJob("hpgl", "HP-GL/2", 1000, std::nullopt, 1, "/before.plt"));
    for (const char* suffix : {"", "-wal", "-shm"})
        fs::remove(file.string() + suffix);
    log.Add(test::SampleJob("hpgl", "HP-GL/2", 2000, std::nullopt, 1, "/after.plt"));
    const std::vector<JobRecord> rows = JobLog(file).Jobs({});
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].filePath, "/after.plt");
}

TEST(JobLogRepair, AJobLogIsOpenedAsItIsInWriteAheadMode) {
    test::TempFolder folder;
    const fs::path file = folder / "joblog.sqlite";
    JobLog(file).Add(test::SampleJob("hpgl", "HP-GL/2", 1000, std::nullopt, 1));
    JobLog log(file);
    EXPECT_EQ(log.MovedAside(), std::nullopt);
    EXPECT_EQ(log.Jobs({}).size(), 1u);
    // Readers and the writer do not wait for each other only in WAL mode.
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
    sqlite3_stmt* mode = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db, "PRAGMA journal_mode", -1, &mode, nullptr), SQLITE_OK);
    ASSERT_EQ(sqlite3_step(mode), SQLITE_ROW);
    EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(mode, 0)), "wal");
    sqlite3_finalize(mode);
    sqlite3_close(db);
}

}  // namespace
}  // namespace tavrin
