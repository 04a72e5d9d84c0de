// tavrin-cli against a private print server: the bytes and titles its queues' devices get from
// send with the window's options, the queue commands, and what it says when either fails.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <regex>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "spool/OceHeader.h"
#include "spool/PostScriptHeader.h"
#include "support/HpglRewriteReference.h"
#include "support/IppEvePrinter.h"
#include "support/PlainSpoolOptions.h"
#include "support/SandboxPrintServer.h"
#include "support/TempFolder.h"

namespace tavrin {
namespace {

namespace fs = std::filesystem;
using Server = test::SandboxPrintServer;
using test::CliResult;
using test::ReadFile;
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
const std::string kSmall = kSamples + "hp2xx/286x192.5_qh.hpg";

class CliSend : public ::testing::Test {
protected:
    // CUPS_SERVER points this process, and so tavrin-cli, at the sandbox server.
    CliResult Cli(const std::string& arguments) { return test::RunCli(folder.path(), arguments); }
    CliResult Run(const std::string& arguments) { return Cli("send " + arguments); }

    // The jobs `queue` received after the first `before`, once exactly `count` more are done.
    std::vector<Job> Jobs(const std::string& queue, std::size_t count, std::size_t before = 0) {
        auto received = server.WaitForJobs(queue, before + count);
        EXPECT_EQ(received.size(), before + count) << "more jobs than expected in " << queue;
        received.erase(received.begin(), received.begin() + static_cast<long>(before));
        return received;
    }
    // Their titles, where each job named after a sample file must hold that file's bytes.
    Names Titles(const std::string& queue, std::size_t count, std::size_t before = 0) {
        Names titles;
        for (const Job& job : Jobs(queue, count, before)) {
            titles.push_back(job.title);
            for (const std::string& file : {kPlotA, kPlotB, kPlotC, kStandAlone, kPage, kSmall})
                EXPECT_TRUE(fs::path(file).filename() != job.title ||
                            ReadFile(job.file) == ReadFile(file))
                    << job.title;
        }
        return titles;
    }
    std::string JobList(const std::vector<std::pair<std::string, std::string>>& rows) {
        std::string text = "Filename;Copies\r\n";
        for (const auto& [file, copies] : rows)
            text += file + ";" + copies + "\r\n";
        test::WriteBytes(folder / "list.tjf", text);
        return (folder / "list.tjf").string();
    }
    void WriteIni(const std::string& text) {
        fs::create_directories(ini.parent_path());
        test::WriteBytes(ini, text);
    }

    Server server;
    test::TempFolder folder;
    fs::path ini = folder / "config/tavrin/tavrin.ini";
};
using CliQueue = CliSend;

TEST_F(CliSend, ListRowsWithTheirCopiesThenFilesWithTheGlobalCountThenSetsAndReversedSets) {
    const std::string list = JobList({{kPlotA, "2"}, {kPlotB, "1"}, {kPlotC, "3"}});
    const CliResult result = Run("-p 3 -n 2 --list" + Quoted(list) + Quoted(kPlotB));
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "8 of 8 jobs sent to raw-printer\n");
    const std::string files = Quoted(kPlotA) + Quoted(kPlotB) + Quoted(kPlotC);
    ASSERT_EQ(Run("-p raw-printer --set -n 2" + files).exitCode, 0);
    ASSERT_EQ(Run("-p raw-printer --set --reverse -n 2" + files).exitCode, 0);

    const std::string a = "inter.hp", b = "dt.plt", c = "test.plt";
    EXPECT_EQ(Titles(Server::kRawQueue, 20),
              (Names{a, a, b, c, c, c, b, b, a, b, c, a, b, c, c, b, a, c, b, a}));
}

// The device makes the copies from the rewrite or header the engine makes of the options. The
// plot sets its quality 132754 bytes in, after a long run of NUL bytes and a PJL header: the
// head window is counted from where the HP-GL/2 data begins, and the run leaves the file as it
// was.
TEST_F(CliSend, EachDeviceClassGetsOneJobRewrittenAsTheOptionsSay) {
    const std::string plot = kSamples + "jem-green-HPGL2/XANADU-PLT-test.plt";
    const std::string settings = "[Data]\nTempFilesPath=" + folder.path().string() +
                                 "\n[SetUp]\nFromStart=600\nFromEnd=30\n";
    WriteIni(settings);
    test::PlainSpoolOptions options;
    options.smartReplots = options.psCollate = options.fitToPage = true;
    options.pageSize = PageSize::A3;
    const std::tuple<std::string, const char*, std::string> rows[] = {
        {"-p hpgl-plotter -n 3 --device-copies --quality-on-plotter" + Quoted(plot),
         Server::kHpglQueue,
         test::RewriteInMemory({ReadFile(plot), 2, true, true, 600, 30, 132739}).bytes},
        {"-p ps-printer -n 3 --device-copies --collate --fit A3" + Quoted(kPage),
         Server::kPostScriptQueue, PostScriptHeader(3, options) + ReadFile(kPage)},
        {"-p oce-9600 -n 12 --device-copies" + Quoted(kPlotA), Server::kOceQueue,
         OceHeader(12, options) + ReadFile(kPlotA)}};
    ASSERT_EQ(ReadFile(plot).substr(132754, 3), "QL0");
    EXPECT_EQ(std::get<2>(rows[0]).substr(132754, 3), ";;;");
    for (const auto& [arguments, queue, bytes] : rows) {
        const CliResult result = Run(arguments);
        EXPECT_EQ(std::tie(result.exitCode, result.err), std::tuple(0, "")) << arguments;
        const Job job = Jobs(queue, 1).at(0);
        EXPECT_EQ(job.title, "temp.$$$");
        EXPECT_TRUE(ReadFile(job.file) == bytes) << arguments;
    }
    EXPECT_EQ(ReadFile(ini), settings);
    EXPECT_TRUE(fs::exists(folder / "temp.$$$"));
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
        EXPECT_EQ(std::tie(result.exitCode, result.err), std::make_tuple(0, warnings));
    }
    EXPECT_EQ(Titles(Server::kPostScriptQueue, 1), Names{"testfile.ps"});
    EXPECT_EQ(Titles(Server::kHpglQueue, 3),
              (Names{"inter.hp", "XANADU-PLT-test2.plt", "XANADU-PLT-test2.plt"}));
}

TEST_F(CliSend, UnknownPrinterCountThatIsNoNumberOrMissingFileStopsTheRunAndEarlierJobsStay) {
    CliResult result = Run("-p no-such-queue" + Quoted(kPlotA));
    EXPECT_EQ(std::tie(result.exitCode, result.err),
              std::tuple(2, "No printer named 'no-such-queue' (tavrin-cli printers lists them)\n"));
    EXPECT_EQ(Run("-p 4" + Quoted(kPlotA)).exitCode, 2);
    for (const auto& queue : Server::Queues())
        EXPECT_TRUE(server.AllJobs(queue).empty()) << queue;

    result = Run("-p hpgl-plotter --device-copies --list" +
                 Quoted(JobList({{kStandAlone, "2"}, {kPlotB, "1.5"}, {kPlotC, "1"}})));
    EXPECT_EQ(std::tie(result.exitCode, result.err),
              std::tuple(2, "'1.5' is not a valid integer value\n"));
    EXPECT_EQ(ReadFile(Jobs(Server::kHpglQueue, 1)[0].file), ReadFile(kStandAlone) + "RP1;;");

    const std::string missing = (folder / "missing.plt").string();
    result = Run("-p raw-printer" + Quoted(kPlotB) + Quoted(missing) + Quoted(kPlotC));
    EXPECT_EQ(std::tie(result.exitCode, result.err),
              std::tuple(2, "Cannot open file " + missing + "\n"));
    EXPECT_EQ(Titles(Server::kRawQueue, 1), Names{"dt.plt"});
}

TEST_F(CliSend, RefusedSendsAreListedAndTheRunGoesOn) {
    // The print server refuses an empty file. Files are named in their long, absolute form.
    test::WriteBytes(folder / "empty.plt", "");
    const std::string empty = (folder.path() / "." / "empty.plt").string();
    const CliResult result = Run("-p raw-printer" + Quoted(empty) + Quoted(kPlotA));
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.out, "1 of 2 jobs sent to raw-printer\n");
    const std::string listed = "Not sent to raw-printer:\n  " + (folder / "empty.plt").string();
    EXPECT_EQ(result.err.rfind(listed + ": ", 0), 0u) << result.err;
    EXPECT_EQ(result.err.find(kPlotA), std::string::npos) << result.err;
    EXPECT_EQ(Titles(Server::kRawQueue, 1), Names{"inter.hp"});
}

TEST_F(CliSend, NamesThatAreNoFilesAreRefusedAtOnceAndTheRunGoesOn) {
    // A named pipe nobody writes to, a device that never ends, a folder: none is read.
    const std::string fifo = (folder / "fifo.plt").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string zero = "/dev/zero", here = folder.path().string();
    for (const std::string& options : {std::string(), std::string(" --set -n 2")}) {
        SCOPED_TRACE(options);
        const std::size_t before = server.AllJobs(Server::kRawQueue).size();
        const CliResult result = Run("-p raw-printer" + options + Quoted(fifo) + Quoted(kPlotA) +
                                     Quoted(zero) + Quoted(here) + Quoted(kPlotB));
        EXPECT_EQ(result.exitCode, 1);
        std::string refused = "Not sent to raw-printer:\n";
        const int sets = options.empty() ? 1 : 2;
        for (int set = 0; set < sets; ++set)
            for (const std::string& name : {fifo, zero, here})
                refused += "  " + name + ": Cannot open file " + name + "\n";
        EXPECT_EQ(result.err, refused);
        const int sent = 2 * sets;
        EXPECT_EQ(result.out, std::to_string(sent) + " of " + std::to_string(5 * sets) +
                                  " jobs sent to raw-printer\n");
        // Nothing but the plots was queued.
        Names expected;
        for (int set = 0; set < sets; ++set)
            expected.insert(expected.end(), {"inter.hp", "dt.plt"});
        EXPECT_EQ(Titles(Server::kRawQueue, static_cast<std::size_t>(sent), before), expected);
        EXPECT_EQ(server.AllJobs(Server::kRawQueue).size(), before + expected.size());
    }
}

// Without -p a send goes to the printer the window would select from its INI file, which it
// only reads.
TEST_F(CliSend, StoredPrinterIsTheDefault) {
    const std::string stored = "[Printers]\nPrinter#=";
    const std::tuple<std::string, std::string, const char*> rows[] = {
        {stored + "3\n", "", Server::kRawQueue},
        {stored + "9\n", "", Server::kHpglQueue},  // out of range
        {"", "", Server::kHpglQueue},              // no file
        {stored + "3\n", "-p ps-printer --force", Server::kPostScriptQueue}};
    for (const auto& [text, printer, queue] : rows) {
        SCOPED_TRACE(text + printer);
        fs::remove_all(ini.parent_path());
        if (!text.empty())
            WriteIni(text);
        const std::size_t before = server.ReceivedFiles(queue).size();
        EXPECT_EQ(Run(printer + Quoted(kSmall)).exitCode, 0);
        EXPECT_EQ(Titles(queue, 1, before), Names{"286x192.5_qh.hpg"});
        EXPECT_EQ(fs::exists(ini) ? ReadFile(ini) : "", text);
        EXPECT_EQ(fs::exists(ini.parent_path()), !text.empty());
    }
}

TEST_F(CliQueue, PrintersListsIndexNamePortAndClassInCatalogueOrder) {
    const CliResult run = Cli("printers");
    EXPECT_EQ(run.exitCode, 0) << run.err;
    const std::string port = "\tsocket://127\\.0\\.0\\.1:[0-9]+\t";
    EXPECT_TRUE(
        std::regex_match(run.out, std::regex("0\thpgl-plotter" + port + "HPGL/2\n1\toce-9600" +
                                             port + "Oce 9X00\n2\tps-printer" + port +
                                             "POSTSCRIPT\n3\traw-printer" + port + "Unknown\n")))
        << run.out;
    // A browse lists the printers the network shows after the queues, with no index and by the
    // address of their DNS-SD service: the one started here once DNS-SD announces it, beside any
    // other on the machine or the network.
    test::IppEvePrinter printer("application/pdf");
    const std::regex announced("\n-\t[^\t]+\tipps?://" + printer.Name() +
                               "\\._ipps?\\._tcp\\.local/\tno queue on the print server\n");
    CliResult discover;
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    do {
        discover = Cli("printers --discover=1");
    } while (!std::regex_search(discover.out, announced) &&
             std::chrono::steady_clock::now() < giveUp);
    EXPECT_EQ(discover.exitCode, 0) << discover.err;
    EXPECT_TRUE(std::regex_search(discover.out, announced)) << discover.out;
    ASSERT_EQ(discover.out.substr(0, run.out.size()), run.out);
    std::istringstream found(discover.out.substr(run.out.size()));
    for (std::string entry; std::getline(found, entry);) {
        EXPECT_TRUE(std::regex_match(
            entry, std::regex("-\t[^\t]+\t[a-z]+://[^\t]+\tno queue on the print server")))
            << entry;
    }
}

// Each queue command acts on the queue named now (by index 2, ps-printer: the sandbox lists its
// queues by name): a paused queue lists and holds its jobs, and a purged job never arrives.
TEST_F(CliQueue, JobsListsThePausedJobsResumeDeliversThemAndPurgeDropsThem) {
    const fs::path odd = folder / "plot f\xC3\xBCr \xC3\x84nne; 2.hp";  // a name shown as it is
    fs::copy_file(kPlotA, odd);
    ASSERT_EQ(Cli("pause -p hpgl-plotter").exitCode + Cli("pause -p 2").exitCode, 0);
    ASSERT_EQ(Run("-p hpgl-plotter --force" + Quoted(odd) + Quoted(kPage)).exitCode, 0);
    ASSERT_EQ(Run("-p ps-printer --force" + Quoted(kPlotB)).exitCode, 0);
    // ID, name, size (inter.hp has 70977 bytes), state and "YYYY-MM-DD HH:MM:SS".
    const CliResult jobs = Cli("jobs -p hpgl-plotter");
    EXPECT_EQ(jobs.exitCode, 0) << jobs.err;
    const std::string time = "\t[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}\n";
    std::smatch ids;
    ASSERT_TRUE(
        std::regex_match(jobs.out, ids,
                         std::regex("([0-9]+)\t" + odd.filename().string() + "\t70 KB\tWaiting" +
                                    time + "([0-9]+)\ttestfile.ps\t[0-9]+ KB\tWaiting" + time)))
        << jobs.out;
    EXPECT_LT(std::stoi(ids[1]), std::stoi(ids[2]));
    const CliResult purge = Cli("purge -p 2");
    EXPECT_EQ(std::tie(purge.exitCode, purge.out, purge.err), std::tuple(0, "", ""));
    EXPECT_EQ(Cli("jobs -p ps-printer").out, "");
    ASSERT_EQ(Run("-p ps-printer --force" + Quoted(kPlotC)).exitCode, 0);

    ASSERT_EQ(Cli("resume -p hpgl-plotter").exitCode, 0);
    EXPECT_EQ(Titles(Server::kHpglQueue, 2), (Names{odd.filename().string(), "testfile.ps"}));
    EXPECT_EQ(Cli("jobs -p hpgl-plotter").out, "");
    // The server may have started the other queue's job meanwhile: neither the purge nor the
    // plotter's resume let it go.
    EXPECT_TRUE(std::regex_match(Cli("jobs -p 2").out, std::regex("[0-9]+\ttest.plt\t.*\n")));
    EXPECT_TRUE(server.ReceivedFiles(Server::kPostScriptQueue).empty());
    ASSERT_EQ(Cli("resume -p ps-printer").exitCode, 0);
    EXPECT_EQ(Titles(Server::kPostScriptQueue, 1), Names{"test.plt"});
}

TEST_F(CliQueue, AnUnknownPrinterOrAStoppedServerExitsWithTwoAndSaysWhy) {
    for (const char* command : {"pause", "resume", "purge", "jobs"}) {
        const CliResult result = Cli(std::string(command) + " -p no-such-queue");
        EXPECT_EQ(std::tie(result.exitCode, result.out), std::tuple(2, "")) << command;
        EXPECT_EQ(result.err.rfind("Cannot open printer no-such-queue: ", 0), 0u) << result.err;
    }
    server.Stop();
    const std::pair<std::string, std::string> rows[] = {
        {"pause -p hpgl-plotter",
         "Cannot open printer hpgl-plotter: Cannot reach the print server"},
        {"printers", "Cannot reach the print server"},
        {"send -p raw-printer" + Quoted(kPlotA), "Cannot reach the print server"}};
    for (const auto& [arguments, reason] : rows) {
        const CliResult result = Cli(arguments);
        EXPECT_EQ(result.exitCode, 2) << arguments;
        EXPECT_NE(result.err.find(reason), std::string::npos) << result.err;
    }
    EXPECT_TRUE(server.ReceivedFiles(Server::kRawQueue).empty());
}

}  // namespace
}  // namespace tavrin
