// tavrin-cli send with the window's options against a private print server: the bytes and
// titles its queues' devices get.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "support/RunCli.h"
#include "support/SandboxPrintServer.h"
#include "support/ScratchFolder.h"
#include "support/TestPaths.h"

namespace tavrin {
namespace {

namespace fs = std::filesystem;
using Server = test::SandboxPrintServer;
using test::CliResult;
using test::ReadBytes;
using test::WriteBytes;
using Names = std::vector<std::string>;

struct Job {
    std::string title;
    std::string bytes;
};

std::string Sample(const std::string& relative) {
    return (test::SamplesDir() / relative).string();
}
std::string Quoted(const std::string& text) {
    return "'" + text + "'";
}

const std::string kPlotA = Sample("hp2xx/inter.hp");
const std::string kPlotB = Sample("hp2xx/dt.plt");
const std::string kPlotC = Sample("hpgl-rendering/test.plt");
const std::string kStandAlone = Sample("jem-green-HPGL2/XANADU-PLT-test2.plt");
const std::string kDriverPlot = Sample("jem-green-HPGL2/XANADU-PLT-test.plt");
const std::string kPage = Sample("cups/testfile.ps");

class CliSendRun : public ::testing::Test {
protected:
    static void SetUpTestSuite() { server_ = std::make_unique<Server>(); }
    static void TearDownTestSuite() { server_.reset(); }

    // Runs tavrin-cli send with its own home, configuration and cache folders; CUPS_SERVER
    // points at the sandbox server.
    CliResult Run(const std::string& arguments) {
        return test::RunCli(folder.path(), "send " + arguments);
    }

    std::size_t Count(const std::string& queue) { return server_->AllJobs(queue).size(); }

    // The job's name in the page log: "QUEUE USER ID [DATE] total N BILLING HOST NAME MEDIA
    // SIDES".
    static std::string LoggedName(int id) {
        std::istringstream log(ReadBytes(server_->Folder() / "log" / "page_log"));
        for (std::string line; std::getline(log, line);) {
            std::istringstream fields(line);
            std::vector<std::string> words;
            for (std::string word; fields >> word;)
                words.push_back(word);
            if (words.size() < 12 || words[2] != std::to_string(id))
                continue;
            std::string name = words[9];
            for (std::size_t i = 10; i + 2 < words.size(); ++i)
                name += " " + words[i];
            return name;
        }
        return {};
    }
    static bool AllNamed(const std::vector<Job>& jobs) {
        for (const Job& job : jobs) {
            if (job.title.empty())
                return false;
        }
        return true;
    }

    // The jobs `queue` received after the first `before`, once exactly `count` more are done.
    std::vector<Job> NewJobs(const std::string& queue, std::size_t before, std::size_t count) {
        const auto received = server_->WaitForJobs(queue, before + count);
        EXPECT_EQ(received.size(), before + count) << "more jobs than expected in " << queue;
        std::vector<Job> jobs;
        for (std::size_t i = before; i < received.size(); ++i)
            jobs.push_back({received[i].title, ReadBytes(received[i].file)});
        // Once a queue has kept a number of finished jobs the server stops telling their names;
        // its page log still holds them.
        for (int tries = 0; tries < 100 && !AllNamed(jobs); ++tries) {
            if (tries > 0)
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
            for (std::size_t i = 0; i < jobs.size(); ++i) {
                if (jobs[i].title.empty())
                    jobs[i].title = LoggedName(received[before + i].id);
            }
        }
        return jobs;
    }

    static Names TitlesOf(const std::vector<Job>& jobs) {
        Names titles;
        for (const Job& job : jobs)
            titles.push_back(job.title);
        return titles;
    }

    std::string JobList(const std::vector<std::pair<std::string, std::string>>& rows) {
        std::string text = "Filename;Copies\r\n";
        for (const auto& row : rows)
            text += row.first + ";" + row.second + "\r\n";
        const fs::path path = folder / "list.tjf";
        WriteBytes(path, text);
        return path.string();
    }

    void WriteIni(const std::string& text) {
        fs::create_directories(ini.parent_path());
        WriteBytes(ini, text);
    }

    static std::unique_ptr<Server> server_;
    test::ScratchFolder folder;
    fs::path ini = folder / "config/tavrin/tavrin.ini";
};

std::unique_ptr<Server> CliSendRun::server_;

TEST_F(CliSendRun, PerRowCopiesFromAJobListFile) {
    const std::size_t before = Count(Server::kRawQueue);
    const CliResult result = Run("-p raw-printer --list " +
                                 Quoted(JobList({{kPlotA, "2"}, {kPlotB, "1"}, {kPlotC, "3"}})));
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "6 of 6 jobs sent to raw-printer\n");

    const auto jobs = NewJobs(Server::kRawQueue, before, 6);
    EXPECT_EQ(TitlesOf(jobs),
              (Names{"inter.hp", "inter.hp", "dt.plt", "test.plt", "test.plt", "test.plt"}));
    EXPECT_EQ(jobs[0].bytes, ReadBytes(kPlotA));
    EXPECT_EQ(jobs[2].bytes, ReadBytes(kPlotB));
    EXPECT_EQ(jobs[5].bytes, ReadBytes(kPlotC));
}

TEST_F(CliSendRun, FilesAfterTheListGetTheGlobalCount) {
    const std::size_t before = Count(Server::kRawQueue);
    const CliResult result =
        Run("-p 3 -n 2 --list " + Quoted(JobList({{kPlotA, "1"}})) + " " + Quoted(kPlotB));
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(TitlesOf(NewJobs(Server::kRawQueue, before, 3)),
              (Names{"inter.hp", "dt.plt", "dt.plt"}));
}

TEST_F(CliSendRun, SetsAndReversedSets) {
    const std::string files = Quoted(kPlotA) + " " + Quoted(kPlotB) + " " + Quoted(kPlotC);
    std::size_t before = Count(Server::kRawQueue);
    ASSERT_EQ(Run("-p raw-printer --set -n 2 " + files).exitCode, 0);
    EXPECT_EQ(TitlesOf(NewJobs(Server::kRawQueue, before, 6)),
              (Names{"inter.hp", "dt.plt", "test.plt", "inter.hp", "dt.plt", "test.plt"}));

    before = Count(Server::kRawQueue);
    ASSERT_EQ(Run("-p raw-printer --set --reverse -n 2 " + files).exitCode, 0);
    const auto jobs = NewJobs(Server::kRawQueue, before, 6);
    EXPECT_EQ(TitlesOf(jobs),
              (Names{"test.plt", "dt.plt", "inter.hp", "test.plt", "dt.plt", "inter.hp"}));
    EXPECT_EQ(jobs[2].bytes, ReadBytes(kPlotA));
}

TEST_F(CliSendRun, PlotterMakesTheCopiesFromOneReplotJob) {
    const std::size_t before = Count(Server::kHpglQueue);
    const CliResult result = Run("-p hpgl-plotter -n 3 --device-copies " + Quoted(kStandAlone));
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const auto jobs = NewJobs(Server::kHpglQueue, before, 1);
    EXPECT_EQ(jobs[0].title, "temp.$$$");
    EXPECT_EQ(jobs[0].bytes, ReadBytes(kStandAlone) + "RP2;;");
}

TEST_F(CliSendRun, ReplotGoesAfterThePageInstructionOfTheTailAndQualityIsBlanked) {
    // The driver's file sets its quality 132754 bytes in, after a long run of NUL bytes: the
    // head window stored by the window reaches that far.
    const std::string settings = "[Data]\nTempFilesPath=" + folder.path().string() +
                                 "\n[SetUp]\nFromStart=140000\nFromEnd=30\n";
    WriteIni(settings);
    const std::string source = ReadBytes(kDriverPlot);
    const std::size_t page = source.rfind("PG;");
    ASSERT_EQ(source.size() - page, 21u);
    ASSERT_EQ(source.substr(132754, 4), "QL0P");

    const std::size_t before = Count(Server::kHpglQueue);
    const CliResult result =
        Run("-p hpgl-plotter -n 3 --device-copies --quality-on-plotter " + Quoted(kDriverPlot));
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const auto jobs = NewJobs(Server::kHpglQueue, before, 1);
    EXPECT_EQ(jobs[0].title, "temp.$$$");
    std::string expected = source;
    expected.replace(132754, 3, ";;;");
    expected.insert(page + 3, "RP2;;");
    EXPECT_EQ(jobs[0].bytes, expected);
    EXPECT_EQ(ReadBytes(ini), settings);
    EXPECT_TRUE(fs::exists(folder / "temp.$$$"));
}

TEST_F(CliSendRun, PlotterWithoutTheBoxesGetsTheFileOncePerCopy) {
    const std::size_t before = Count(Server::kHpglQueue);
    ASSERT_EQ(Run("-p hpgl-plotter -n 3 " + Quoted(kDriverPlot)).exitCode, 0);
    const auto jobs = NewJobs(Server::kHpglQueue, before, 3);
    EXPECT_EQ(TitlesOf(jobs), Names(3, "XANADU-PLT-test.plt"));
    for (const Job& job : jobs)
        EXPECT_EQ(job.bytes, ReadBytes(kDriverPlot));
}

TEST_F(CliSendRun, PostScriptPrinterMakesCollatedCopies) {
    const std::size_t before = Count(Server::kPostScriptQueue);
    const CliResult result = Run("-p ps-printer -n 3 --device-copies --collate " + Quoted(kPage));
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.err, "");
    const auto jobs = NewJobs(Server::kPostScriptQueue, before, 1);
    EXPECT_EQ(jobs[0].title, "temp.$$$");
    EXPECT_EQ(jobs[0].bytes,
              "<< /NumCopies 3 >> setpagedevice\r\n<< /Collate true >> setpagedevice\r\n" +
                  ReadBytes(kPage));
}

TEST_F(CliSendRun, FitToPageMakesOneJobWithThePageSize) {
    const std::size_t before = Count(Server::kPostScriptQueue);
    ASSERT_EQ(Run("-p ps-printer -n 3 --fit A3 " + Quoted(kPage)).exitCode, 0);
    const auto jobs = NewJobs(Server::kPostScriptQueue, before, 1);
    EXPECT_EQ(jobs[0].title, "temp.$$$");
    EXPECT_EQ(jobs[0].bytes,
              "<< /PageSize [ 841 1191 ] >> setpagedevice\r\n"
              "<< /Policies << /PageSize 3 >> >> setpagedevice\r\n" +
                  ReadBytes(kPage));
}

TEST_F(CliSendRun, OcePrinterGetsTheCopyRecord) {
    const std::size_t before = Count(Server::kOceQueue);
    ASSERT_EQ(Run("-p oce-9600 -n 12 --device-copies " + Quoted(kPlotA)).exitCode, 0);
    const auto jobs = NewJobs(Server::kOceQueue, before, 1);
    EXPECT_EQ(jobs[0].title, "temp.$$$");
    const std::string record =
        "BEGMF \"Oce RCF by Dorwen\";\r\n"
        "MFDESC 'Oce RCF, Version=2.5, Type=Header, Unit=Metric';\r\n"
        "APPLDATA 002 \"CO=12\";\r\nENDMF;\r\n";
    ASSERT_EQ(record.size(), 117u);
    EXPECT_EQ(jobs[0].bytes.substr(0, 117), record);
    EXPECT_EQ(jobs[0].bytes.substr(117), ReadBytes(kPlotA));
}

TEST_F(CliSendRun, OceSetSendsPlainCopiesUnderTheTemporaryName) {
    const std::size_t before = Count(Server::kOceQueue);
    const CliResult result = Run("-p oce-9600 --set -n 2 " + Quoted(kPlotA) + " " + Quoted(kPlotB));
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const auto jobs = NewJobs(Server::kOceQueue, before, 4);
    EXPECT_EQ(TitlesOf(jobs), Names(4, "temp.$$$"));
    EXPECT_EQ(jobs[0].bytes, ReadBytes(kPlotA));
    EXPECT_EQ(jobs[1].bytes, ReadBytes(kPlotB));
    EXPECT_EQ(jobs[3].bytes, ReadBytes(kPlotB));
}

TEST_F(CliSendRun, CountThatIsNoNumberStopsTheRunAndEarlierJobsStay) {
    const std::size_t before = Count(Server::kHpglQueue);
    const CliResult result =
        Run("-p hpgl-plotter --device-copies --list " +
            Quoted(JobList({{kStandAlone, "2"}, {kPlotB, "1.5"}, {kPlotC, "1"}})));
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.err, "'1.5' is not a valid integer value\n");
    const auto jobs = NewJobs(Server::kHpglQueue, before, 1);
    EXPECT_EQ(jobs[0].bytes, ReadBytes(kStandAlone) + "RP1;;");
}

TEST_F(CliSendRun, RefusedSendsAreListedAndTheRunGoesOn) {
    ASSERT_EQ(std::system("cupsreject raw-printer"), 0);
    const CliResult result = Run("-p raw-printer " + Quoted(kPlotA) + " " + Quoted(kPlotB));
    ASSERT_EQ(std::system("cupsaccept raw-printer"), 0);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.out, "0 of 2 jobs sent to raw-printer\n");
    // The files are named in their long, absolute form.
    const std::string a = fs::path(kPlotA).lexically_normal().string();
    const std::string b = fs::path(kPlotB).lexically_normal().string();
    EXPECT_EQ(result.err.rfind("Not sent to raw-printer:\n  " + a + ": ", 0), 0u) << result.err;
    EXPECT_NE(result.err.find("\n  " + b + ": "), std::string::npos) << result.err;
}

TEST_F(CliSendRun, BoxTheWindowDoesNotOfferIsLeftOutWithAWarning) {
    const std::size_t before = Count(Server::kPostScriptQueue);
    const CliResult result = Run("-p ps-printer --quality-on-plotter --collate " + Quoted(kPage));
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_NE(result.err.find("--quality-on-plotter does not apply to ps-printer"),
              std::string::npos);
    // The window offers "Collate copies" for a PostScript printer; alone it changes nothing.
    EXPECT_EQ(result.err.find("--collate"), std::string::npos);
    const auto jobs = NewJobs(Server::kPostScriptQueue, before, 1);
    EXPECT_EQ(jobs[0].title, "testfile.ps");
    EXPECT_EQ(jobs[0].bytes, ReadBytes(kPage));

    const std::size_t plots = Count(Server::kHpglQueue);
    const CliResult plotter = Run("-p hpgl-plotter --collate --fit A0 " + Quoted(kPlotA));
    EXPECT_EQ(plotter.exitCode, 0);
    EXPECT_NE(plotter.err.find("--collate does not apply to hpgl-plotter"), std::string::npos);
    EXPECT_NE(plotter.err.find("--fit does not apply to hpgl-plotter"), std::string::npos);
    EXPECT_EQ(NewJobs(Server::kHpglQueue, plots, 1)[0].bytes, ReadBytes(kPlotA));
}

TEST_F(CliSendRun, SetClearsTheDeviceCopiesAsTheWindowDoes) {
    const std::size_t before = Count(Server::kHpglQueue);
    const CliResult result =
        Run("-p hpgl-plotter --device-copies --set -n 2 " + Quoted(kStandAlone));
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_NE(result.err.find("--set sends one job per file"), std::string::npos);
    const auto jobs = NewJobs(Server::kHpglQueue, before, 2);
    EXPECT_EQ(TitlesOf(jobs), Names(2, "XANADU-PLT-test2.plt"));
    EXPECT_EQ(jobs[1].bytes, ReadBytes(kStandAlone));
}

TEST_F(CliSendRun, UnknownPrinterIsAnError) {
    const CliResult result = Run("-p no-such-queue " + Quoted(kPlotA));
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_NE(result.err.find("No printer named 'no-such-queue'"), std::string::npos);
    EXPECT_EQ(Run("-p 4 " + Quoted(kPlotA)).exitCode, 2);
}

TEST_F(CliSendRun, BadUsage) {
    for (const std::string arguments : {"", "-p raw-printer", "-n 0 x", "-n 100 x", "-n two x",
                                        "--fit A6 x", "--fit", "--bogus x", "--set=1 x", "-p"}) {
        const CliResult result = Run(arguments);
        EXPECT_EQ(result.exitCode, 64) << arguments;
        EXPECT_NE(result.err.find("usage: tavrin-cli send"), std::string::npos) << arguments;
    }
    const CliResult help = Run("--help");
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("--device-copies"), std::string::npos);
    EXPECT_FALSE(fs::exists(ini));
}

}  // namespace
}  // namespace tavrin
