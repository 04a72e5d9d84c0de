#include "printsystem/CupsPrintSpooler.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <sstream>

#include "printsystem/CupsDeviceProbe.h"
#include "printsystem/CupsQueueList.h"
#include "printsystem/CupsQueueStatus.h"
#include "printsystem/NetworkPrinters.h"
#include "printsystem/PpdTechnology.h"
#include "support/DelayingProxy.h"
#include "support/SandboxPrintServer.h"

namespace tavrin {
namespace {

using Server = test::SandboxPrintServer;

class CupsPrintSpoolerTest : public ::testing::Test {
protected:
    Server server;
    CupsPrintSpooler spooler;
};

// Listing, ports and probes of real queues, empty and whole documents, the queue commands and a
// stopped server go through SendFileRaw's and tavrin-cli's tests.
TEST_F(CupsPrintSpoolerTest, UnknownQueuesAreRefusedNewOnesListedDroppedDocumentsNotPrinted) {
    auto unknown = spooler.Open("no-such-queue");
    EXPECT_FALSE(unknown->ok() || unknown->StartRawDocument("x")->ok() || spooler.Open("")->ok());
    EXPECT_NE(unknown->error(), "");
    EXPECT_EQ(unknown->PortName(), std::nullopt);
    const DeviceAnswer answer = CupsDeviceProbe().Probe("no-such-queue");
    EXPECT_EQ(answer.description + "|" + answer.technology.value_or("none"), "no-such-queue|none");
    // A queue added meanwhile is in the next list, in its place by name without regard to case.
    ASSERT_EQ(std::system("lpadmin -p Inkjet -v socket://127.0.0.1:9 -E 2>/dev/null"), 0);
    std::vector<std::string> names = Server::Queues();
    names.insert(names.begin() + 1, "Inkjet");
    EXPECT_EQ(spooler.PrinterNames(), names);
    EXPECT_EQ(spooler.Open(Server::kOceQueue)->StartRawDocument("half.plt")->Write("IN;SP1;", 7),
              7u);
    const auto jobs = server.AllJobs(Server::kOceQueue);
    EXPECT_TRUE(jobs.size() == 1 && jobs[0].state == QueueJobState::Canceled) << jobs.size();
    EXPECT_TRUE(server.ReceivedFiles(Server::kOceQueue).empty());
}

// One group per queue, sorted by name without regard to case; a group without a name is none.
TEST(CupsQueueList, ReadsEveryPrinterGroupOfTheResponseSortedByName) {
    ipp_t* response = ippNew();
    ippAddString(response, IPP_TAG_OPERATION, IPP_TAG_CHARSET, "attributes-charset", nullptr,
                 "utf-8");
    const auto add = [&](const char* name, int type, const char* device, const char* technology) {
        if (name)
            ippAddString(response, IPP_TAG_PRINTER, IPP_TAG_NAME, "printer-name", nullptr, name);
        ippAddInteger(response, IPP_TAG_PRINTER, IPP_TAG_ENUM, "printer-type", type);
        if (device)
            ippAddString(response, IPP_TAG_PRINTER, IPP_TAG_URI, "device-uri", nullptr, device);
        ippAddString(response, IPP_TAG_PRINTER, IPP_TAG_TEXT, "printer-info", nullptr, "info");
        ippAddString(response, IPP_TAG_PRINTER, IPP_TAG_KEYWORD, "technology-default", nullptr,
                     technology);
        ippAddSeparator(response);
    };
    add("zeta", 4, "socket://10.0.0.7:9100", "");
    add("Alpha", CUPS_PRINTER_CLASS, nullptr, "");
    add(nullptr, 0, "socket://10.0.0.9", "");
    add("beta", 0, "ipp://10.0.0.8/ipp/print", "HPGL/2");
    const std::vector<CupsQueueEntry> expected = {
        {"Alpha", CUPS_PRINTER_CLASS, {"", "", "info", std::nullopt}},
        {"beta", 0, {"ipp://10.0.0.8/ipp/print", "", "info", "HPGL/2"}},
        {"zeta", 4, {"socket://10.0.0.7:9100", "", "info", std::nullopt}}};
    EXPECT_EQ(QueuesOfResponse(response), expected);
    ippDelete(response);
}

// The answers' readers, given attributes of the wrong type or empty words.
TEST(CupsAnswers, WrongTypesReadAsEmptyAndEmptyOrNoneWordsAreLeftOut) {
    ipp_t* answer = ippNew();
    const char* reasons[] = {"", "none", "media-empty-error"};
    ippAddStrings(answer, IPP_TAG_PRINTER, IPP_TAG_KEYWORD, "printer-state-reasons", 3, nullptr,
                  reasons);
    ippAddInteger(answer, IPP_TAG_PRINTER, IPP_TAG_INTEGER, "printer-state-message", 7);
    ippAddInteger(answer, IPP_TAG_JOB, IPP_TAG_INTEGER, "job-id", 4);
    ippAddInteger(answer, IPP_TAG_JOB, IPP_TAG_INTEGER, "job-name", 12);  // no text
    ippAddStrings(answer, IPP_TAG_JOB, IPP_TAG_KEYWORD, "job-state-reasons", 3, nullptr, reasons);

    EXPECT_EQ(PrinterStatusOfResponse(answer), (PrinterStatus{false, {"media-empty-error"}, ""}));
    const std::vector<QueueJob> listed = QueueJobsOfResponse(answer);
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ((std::pair{listed[0].id, listed[0].documentName}), (std::pair{4, std::string()}));
    EXPECT_EQ(JobStatusesOfResponse(answer),
              (std::vector<JobStatus>{{4, QueueJobState::Pending, {"media-empty-error"}, ""}}));
    ippDelete(answer);
}

TEST(NetworkPrinterList, KeepsWhatHasNoQueueSortedByNameAndDropsWhatIsGone) {
    NetworkPrinterList list({"hpgl-plotter"});
    const auto report = [&](unsigned flags, const char* name, const char* option, const char* uri) {
        cups_dest_t dest{};
        dest.name = const_cast<char*>(name);
        dest.num_options = cupsAddOption(option, uri, 0, &dest.options);
        dest.num_options = cupsAddOption("printer-info", "info", dest.num_options, &dest.options);
        list.Report(flags, dest);
        cupsFreeOptions(dest.num_options, dest.options);
    };
    report(CUPS_DEST_FLAGS_NONE, "Zeta", "device-uri", "dnssd://Zeta._ipp._tcp.local/");
    report(CUPS_DEST_FLAGS_NONE, "HPGL-Plotter", "device-uri", "dnssd://HPGL-Plotter._ipp/");
    report(CUPS_DEST_FLAGS_NONE, "beta", "device-uri", "dnssd://beta._ipp._tcp.local/");
    report(CUPS_DEST_FLAGS_NONE, "alpha", "printer-uri-supported", "ipp://10.0.0.9/ipp/print");
    report(CUPS_DEST_FLAGS_REMOVED, "Beta", "device-uri", "");
    report(CUPS_DEST_FLAGS_NONE, "Alpha", "printer-uri-supported", "ipp://10.0.0.9/ipp/2");
    const std::vector<NetworkPrinter> expected = {
        {"Alpha", "ipp://10.0.0.9/ipp/2", "info"},
        {"Zeta", "dnssd://Zeta._ipp._tcp.local/", "info"}};
    EXPECT_EQ(list.Found(), expected);
}

TEST(CupsSilentServer, EveryRequestGivesUpWithinItsBound) {
    Server server;
    test::DelayingProxy silent(server.Socket(), std::chrono::milliseconds(0));
    silent.Hold();  // takes every request, answers none
    setenv("CUPS_SERVER", silent.Address().c_str(), 1);
    cupsSetServer(silent.Address().c_str());
    CupsPrintSpooler spooler(CupsTimeouts{1000, 1.0});

    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(spooler.PrinterNames().empty());
    EXPECT_NE(spooler.LastError().find("does not answer"), std::string::npos)
        << spooler.LastError();
    EXPECT_FALSE(spooler.Open("plotter")->ok());
    EXPECT_EQ(CupsDeviceProbe(CupsTimeouts{1000, 1.0}).Probe("plotter").technology, std::nullopt);
    // Three request objects, each allowed one second of silence plus libcups' own retries.
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(),
              15.0);
    cupsSetServer(nullptr);
    unsetenv("CUPS_SERVER");
}

TEST(PpdTechnology, AnswersFromTheModelAndFilterLinesOnly) {
    const std::string head = "*PPD-Adobe: \"4.3\"\n*ModelName: \"";
    const std::string raster = "*cupsFilter: \"application/vnd.cups-raster 0 ";
    const std::pair<const char*, std::string> rows[] = {
        {"PostScript", head + "Laser 9000\"\n*NickName: \"L\"\n"},
        {"HPGL/2", head + "DJ 500 HP-GL/2\"\n" + raster + "rastertohp\"\n"},
        {"HPGL/2",
         head + "P\"\n*cupsFilter2: \"application/vnd.hp-HPGL application/vnd.hp-HPGL 0 -\"\n"},
        {"none", head + "Inkjet\"\n" + raster + "rastertoescpx\"\n"},
        {"none", ""},
        {"none", "<html>Not Found</html>\n"},
        {"PostScript", "*PPD-Adobe: \"4.3\"\n*% converted from an HPGL/2 driver\n"},  // unrelated
    };
    for (const auto& [expected, text] : rows) {
        std::istringstream ppd(text);
        EXPECT_EQ(TechnologyFromPpd(ppd).value_or("none"), expected) << text;
    }
}

}  // namespace
}  // namespace tavrin
