// tavrin-cli send with the window's options against a private print server: the bytes and
// titles its queues' devices get, and what it says when a send fails.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "support/SandboxPrintServer.h"
#include "support/TempFolder.h"
#include "support/TestPaths.h"

namespace tavrin {
namespace {

namespace fs = std::filesystem;
using Server = test::SandboxPrintServer;
using test::CliResult;
using test::ReadBytes;
using Names = std::vector<std::string>;
using Job = test::ReceivedJob;

std::string Quoted(const std::string& text) {
    return " '" + text + "'";
}

const std::string kSamples = test::SamplesDir().string() + "/";
const std::string kPlotA = kSamples + "hp2xx/inter.hp";
const std::string kPlotB = kSamples + "hp2xx/dt.plt";
const std::string kPlotC = kSamples + "hpgl-rendering/test.plt";
const std::string kStandAlone = kSamples + "jem-green-HPGL2/XANADU-PLT-test2.plt";
const std::string kPage = kSamples + "cups/testfile.ps";

class CliSend : public ::testing::Test {
protected:
    CliResult Run(const std::string& arguments) {
        return test::RunCli(folder.path(), "send " + arguments);
    }

    // The jobs `queue` received after the first `before`, once exactly `count` more are done.
    std::vector<Job> Jobs(const std::string& queue, std::size_t count, std::size_t before = 0) {
        auto received = server.WaitForJobs(queue, before + count);
        EXPECT_EQ(received.size(), before + count) << "more jobs than expected in " << queue;
        received.erase(received.begin(), received.begin() + static_cast<long>(before));
        return received;
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
        test::WriteBytes(folder / "list.tjf", text);
        return (folder / "list.tjf").string();
    }
    void WriteIni(const std::string& text) {
        fs::create_directories(ini.parent_path());
        test::WriteBytes(ini, text);
    }

    Server server;
    test::ScratchFolder folder;
    fs::path ini = folder / "config/tavrin/tavrin.ini";
};

TEST_F(CliSend, ListRowsWithTheirCopiesThenFilesWithTheGlobalCount) {
    const std::string list = JobList({{kPlotA, "2"}, {kPlotB, "1"}, {kPlotC, "3"}});
    const CliResult result = Run("-p 3 -n 2 --list" + Quoted(list) + Quoted(kPlotB));
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "8 of 8 jobs sent to raw-printer\n");

    const auto jobs = Jobs(Server::kRawQueue, 8);
    EXPECT_EQ(TitlesOf(jobs), (Names{"inter.hp", "inter.hp", "dt.plt", "test.plt", "test.plt",
                                     "test.plt", "dt.plt", "dt.plt"}));
    EXPECT_EQ(ReadBytes(jobs[0].file), ReadBytes(kPlotA));
    EXPECT_EQ(ReadBytes(jobs[2].file), ReadBytes(kPlotB));
    EXPECT_EQ(ReadBytes(jobs[5].file), ReadBytes(kPlotC));
}

TEST_F(CliSend, SetsAndReversedSets) {
    const std::string files = Quoted(kPlotA) + Quoted(kPlotB) + Quoted(kPlotC);
    ASSERT_EQ(Run("-p raw-printer --set -n 2" + files).exitCode, 0);
    ASSERT_EQ(Run("-p raw-printer --set --reverse -n 2" + files).exitCode, 0);
    const auto jobs = Jobs(Server::kRawQueue, 12);
    EXPECT_EQ(TitlesOf(jobs),
              (Names{"inter.hp", "dt.plt", "test.plt", "inter.hp", "dt.plt", "test.plt", "test.plt",
                     "dt.plt", "inter.hp", "test.plt", "dt.plt", "inter.hp"}));
    EXPECT_EQ(ReadBytes(jobs[8].file), ReadBytes(kPlotA));
}

TEST_F(CliSend, PlotterGetsOneReplotJobWithItsQualityBlankedInTheWindowsHeadAndTail) {
    // The driver's file sets its quality 132754 bytes in, after a long run of NUL bytes: the
    // head window stored by the window reaches that far.
    const std::string plot = kSamples + "jem-green-HPGL2/XANADU-PLT-test.plt";
    const std::string settings = "[Data]\nTempFilesPath=" + folder.path().string() +
                                 "\n[SetUp]\nFromStart=140000\nFromEnd=30\n";
    WriteIni(settings);
    std::string expected = ReadBytes(plot);
    ASSERT_EQ(expected.substr(132754, 4), "QL0P");
    expected.replace(132754, 3, ";;;");
    expected.insert(expected.size() - 18, "RP2;;");  // after the "PG;" before the job trailer

    const CliResult result =
        Run("-p hpgl-plotter -n 3 --device-copies --quality-on-plotter" + Quoted(plot));
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const auto jobs = Jobs(Server::kHpglQueue, 1);
    EXPECT_EQ(jobs[0].title, "temp.$$$");
    EXPECT_TRUE(ReadBytes(jobs[0].file) == expected);
    EXPECT_EQ(ReadBytes(ini), settings);
    EXPECT_TRUE(fs::exists(folder / "temp.$$$"));
}

TEST_F(CliSend, PostScriptAndOceDevicesMakeTheCopiesFromTheirHeaders) {
    CliResult result = Run("-p ps-printer -n 3 --device-copies --collate --fit A3" + Quoted(kPage));
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.err, "");
    result = Run("-p oce-9600 -n 12 --device-copies" + Quoted(kPlotA));
    ASSERT_EQ(result.exitCode, 0) << result.err;

    const Job page = Jobs(Server::kPostScriptQueue, 1)[0];
    EXPECT_EQ(page.title, "temp.$$$");
    EXPECT_EQ(ReadBytes(page.file),
              "<< /NumCopies 3 >> setpagedevice\r\n<< /Collate true >> setpagedevice\r\n"
              "<< /PageSize [ 841 1191 ] >> setpagedevice\r\n"
              "<< /Policies << /PageSize 3 >> >> setpagedevice\r\n" +
                  ReadBytes(kPage));
    const Job plot = Jobs(Server::kOceQueue, 1)[0];
    EXPECT_EQ(plot.title, "temp.$$$");
    EXPECT_EQ(ReadBytes(plot.file),
              "BEGMF \"Oce RCF by Dorwen\";\r\n"
              "MFDESC 'Oce RCF, Version=2.5, Type=Header, Unit=Metric';\r\n"
              "APPLDATA 002 \"CO=12\";\r\nENDMF;\r\n" +
                  ReadBytes(kPlotA));
}

TEST_F(CliSend, BoxTheWindowDoesNotOfferIsLeftOutWithAWarning) {
    const std::string w = "tavrin-cli: warning: ";
    const std::pair<std::string, std::string> rows[] = {
        // The window offers "Collate copies" for a PostScript printer; alone it changes nothing.
        {"-p ps-printer --quality-on-plotter --collate" + Quoted(kPage),
         w + "--quality-on-plotter does not apply to ps-printer; sent without it\n"},
        {"-p hpgl-plotter --collate --fit A0" + Quoted(kPlotA),
         w + "--collate does not apply to hpgl-plotter; sent without it\n" + w +
             "--fit does not apply to hpgl-plotter; sent without it\n"},
        {"-p hpgl-plotter --device-copies --set -n 2" + Quoted(kStandAlone),
         w + "--set sends one job per file: --device-copies and --collate do not apply\n"}};
    for (const auto& [arguments, warnings] : rows) {
        const CliResult result = Run(arguments);
        EXPECT_EQ(result.exitCode, 0);
        EXPECT_EQ(result.err, warnings);
    }
    const auto page = Jobs(Server::kPostScriptQueue, 1)[0];
    EXPECT_EQ(page.title, "testfile.ps");
    EXPECT_EQ(ReadBytes(page.file), ReadBytes(kPage));
    const auto plots = Jobs(Server::kHpglQueue, 3);
    EXPECT_EQ(TitlesOf(plots), (Names{"inter.hp", "XANADU-PLT-test2.plt", "XANADU-PLT-test2.plt"}));
    EXPECT_EQ(ReadBytes(plots[0].file), ReadBytes(kPlotA));
    EXPECT_EQ(ReadBytes(plots[2].file), ReadBytes(kStandAlone));
}

TEST_F(CliSend, UnknownPrinterCountThatIsNoNumberOrMissingFileStopsTheRunAndEarlierJobsStay) {
    CliResult result = Run("-p no-such-queue" + Quoted(kPlotA));
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.err, "No printer named 'no-such-queue' (tavrin-cli printers lists them)\n");
    EXPECT_EQ(Run("-p 4" + Quoted(kPlotA)).exitCode, 2);
    for (const auto& queue : Server::Queues())
        EXPECT_TRUE(server.AllJobs(queue).empty()) << queue;

    result = Run("-p hpgl-plotter --device-copies --list" +
                 Quoted(JobList({{kStandAlone, "2"}, {kPlotB, "1.5"}, {kPlotC, "1"}})));
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.err, "'1.5' is not a valid integer value\n");
    EXPECT_EQ(ReadBytes(Jobs(Server::kHpglQueue, 1)[0].file), ReadBytes(kStandAlone) + "RP1;;");

    const std::string missing = (folder / "missing.plt").string();
    result = Run("-p raw-printer" + Quoted(kPlotB) + Quoted(missing) + Quoted(kPlotC));
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.err, "Cannot open file " + missing + "\n");
    EXPECT_EQ(TitlesOf(Jobs(Server::kRawQueue, 1)), Names{"dt.plt"});
}

TEST_F(CliSend, RefusedSendsAreListedAndTheRunGoesOn) {
    ASSERT_EQ(std::system("cupsreject raw-printer"), 0);
    const CliResult result = Run("-p raw-printer" + Quoted(kPlotA) + Quoted(kPlotB));
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.out, "0 of 2 jobs sent to raw-printer\n");
    // The files are named in their long, absolute form.
    const std::string a = fs::path(kPlotA).lexically_normal().string();
    const std::string b = fs::path(kPlotB).lexically_normal().string();
    EXPECT_EQ(result.err.rfind("Not sent to raw-printer:\n  " + a + ": ", 0), 0u) << result.err;
    EXPECT_NE(result.err.find("\n  " + b + ": "), std::string::npos) << result.err;
}

// Without -p a send goes to the printer the window would select from its INI file, which it
// only reads.
TEST_F(CliSend, StoredPrinterIsTheDefault) {
    const std::string stored = "[Printers]\nPrinter#=";
    const std::tuple<std::string, std::string, const char*> rows[] = {
        {stored + "3\n", "", Server::kRawQueue},
        {stored + "9\n", "", Server::kHpglQueue},  // out of range
        {"", "", Server::kHpglQueue},              // no file
        {stored + "3\n", "-p ps-printer", Server::kPostScriptQueue}};
    const std::string plot = kSamples + "hp2xx/286x192.5_qh.hpg";
    for (const auto& [text, printer, queue] : rows) {
        SCOPED_TRACE(text + printer);
        fs::remove_all(ini.parent_path());
        if (!text.empty())
            WriteIni(text);
        const std::size_t before = server.ReceivedFiles(queue).size();
        EXPECT_EQ(Run(printer + Quoted(plot)).exitCode, 0);
        EXPECT_EQ(ReadBytes(Jobs(queue, 1, before)[0].file), ReadBytes(plot));
        EXPECT_EQ(fs::exists(ini) ? ReadBytes(ini) : "", text);
        EXPECT_EQ(fs::exists(ini.parent_path()), !text.empty());
    }
}

}  // namespace
}  // namespace tavrin
