#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>

#include "support/RunCli.h"
#include "support/ScratchFolder.h"
#include "support/TestPaths.h"

namespace tavrin {
namespace {

namespace fs = std::filesystem;

// tavrin-cli send without -p goes to the printer the window would select from its INI file.
// The print server is the sandbox one with the queues hpgl-plotter, oce-9600, ps-printer and
// raw-printer, in that order.
class CliSendStoredPrinter : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        server_ = new test::ScratchFolder;
        fs::permissions(server_->path(), fs::perms::owner_all | fs::perms::group_read |
                                             fs::perms::group_exec | fs::perms::others_read |
                                             fs::perms::others_exec);
        const std::string start = (test::SourceDir() / "tools/sandbox-print-server").string() +
                                  " start '" + server_->path().string() + "' >/dev/null";
        serverRunning_ = std::system(start.c_str()) == 0;
    }
    static void TearDownTestSuite() {
        const std::string stop = (test::SourceDir() / "tools/sandbox-print-server").string() +
                                 " stop '" + server_->path().string() + "' >/dev/null";
        if (serverRunning_)
            std::system(stop.c_str());
        delete server_;
        server_ = nullptr;
    }

    void SetUp() override {
        ASSERT_TRUE(serverRunning_) << "the sandbox print server did not start";
    }

    int Send(const std::string& arguments) {
        const std::string command =
            test::CliCommand(folder.path(), "send " + arguments,
                             "CUPS_SERVER='" + (server_->path() / "cups.sock").string() + "'") +
            " >/dev/null 2>&1";
        const int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    static std::size_t JobCount(const std::string& queue) {
        const fs::path folder = server_->path() / "jobs" / queue;
        std::size_t count = 0;
        std::error_code error;
        for (const auto& entry : fs::directory_iterator(folder, error)) {
            if (entry.path().extension() == ".job")
                ++count;
        }
        return count;
    }

    // Waits for the queue's next job to be received in full and returns its bytes.
    static std::string NextJob(const std::string& queue, std::size_t before) {
        char name[16];
        std::snprintf(name, sizeof name, "%04zu.job", before + 1);
        const fs::path job = server_->path() / "jobs" / queue / name;
        for (int tries = 0; tries < 600 && !fs::exists(job); ++tries) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return test::ReadBytes(job);
    }

    void WriteIni(const std::string& text) {
        fs::create_directories(ini.parent_path());
        test::WriteBytes(ini, text);
    }

    static test::ScratchFolder* server_;
    static bool serverRunning_;
    test::ScratchFolder folder;
    fs::path ini = folder / "config/tavrin/tavrin.ini";
    fs::path sample = test::SamplesDir() / "hp2xx/286x192.5_qh.hpg";
};

test::ScratchFolder* CliSendStoredPrinter::server_ = nullptr;
bool CliSendStoredPrinter::serverRunning_ = false;

TEST_F(CliSendStoredPrinter, StoredIndexPicksTheQueue) {
    WriteIni("[Printers]\nPrinter#=3\n");
    const std::size_t before = JobCount("raw-printer");
    EXPECT_EQ(Send("'" + sample.string() + "'"), 0);
    EXPECT_EQ(NextJob("raw-printer", before), test::ReadBytes(sample));
    EXPECT_EQ(test::ReadBytes(ini), "[Printers]\nPrinter#=3\n");
}

TEST_F(CliSendStoredPrinter, OutOfRangeIndexPicksTheFirstQueue) {
    WriteIni("[Printers]\nPrinter#=9\n");
    const std::size_t before = JobCount("hpgl-plotter");
    EXPECT_EQ(Send("'" + sample.string() + "'"), 0);
    EXPECT_EQ(NextJob("hpgl-plotter", before), test::ReadBytes(sample));
}

TEST_F(CliSendStoredPrinter, WithoutAnIniFileTheFirstQueueAndNoFileIsMade) {
    const std::size_t before = JobCount("hpgl-plotter");
    EXPECT_EQ(Send("'" + sample.string() + "'"), 0);
    EXPECT_EQ(NextJob("hpgl-plotter", before), test::ReadBytes(sample));
    EXPECT_FALSE(fs::exists(ini.parent_path()));
}

TEST_F(CliSendStoredPrinter, PrinterOnTheCommandLineWins) {
    WriteIni("[Printers]\nPrinter#=3\n");
    const std::size_t before = JobCount("ps-printer");
    EXPECT_EQ(Send("-p ps-printer '" + sample.string() + "'"), 0);
    EXPECT_EQ(NextJob("ps-printer", before), test::ReadBytes(sample));
}

}  // namespace
}  // namespace tavrin
