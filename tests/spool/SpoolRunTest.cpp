// SPDX-License-Identifier: GPL-3.0-or-later
#include "spool/SpoolRun.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <vector>

#include "RewriterTestSupport.h"
#include "joblist/GridModel.h"
#include "platform/CupsDeviceProbe.h"
#include "platform/CupsPrintSpooler.h"
#include "platform/PlainForm.h"
#include "spool/Clock.h"
#include "spool/Session.h"
#include "support/FakePrintSpooler.h"
#include "support/SandboxPrintServer.h"
#include "support/SpoolErrorText.h"

namespace tavrin::test {
namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

// An in-memory spooler and a probe: HP-GL/2 plotter, PostScript laser, Oce by description, raw.
struct FakeDevices {
    FakeDevices() {
        spooler.printers = {"plotter", "laser", "oce", "raw"};
        probe.answers = {{"plotter", {"HP DesignJet 650C", "HPGL/2"}},
                         {"laser", {"LaserWriter", "PostScript"}},
                         {"oce", {"Oce 9600 plot room", std::nullopt}}};
    }
    FakePrintSpooler spooler;
    FakeDeviceProbe probe;
};

struct SandboxDevices {
    SandboxPrintServer server;
    CupsPrintSpooler spooler{CupsTimeouts{2000, 10.0}};
    CupsDeviceProbe probe{CupsTimeouts{2000, 10.0}};
};

// A whole engine over plain controls and an in-memory grid, its devices made before it.
template <class Devices>
struct EngineTest : public ::testing::Test, protected Devices {
    enum Printer { kPlotter, kLaser, kOce, kRaw };

    EngineTest() {
        LayOutJobListGrid(grid);
        form.onShowMessage = [this](const std::string& text) { messages.push_back(text); };
        form.onProcessMessages = [this] {
            ++messageRounds;
            betweenFiles();
        };
        WirePlainForm(form, session);
        fs::create_directory(folder / "tmp");
        Settings settings;
        settings.TempFilesPath = (folder / "tmp").string();
        settings.PrinterIndex = kRaw;
        session.FormCreate(settings);
    }

    static std::string Sample(const std::string& path) { return (SamplesDir() / path).string(); }
    std::string File(const std::string& name, const std::string& bytes = "") {
        WriteBytes(folder / name, bytes.empty() ? "data of " + name : bytes);
        return (folder / name).string();
    }
    void Select(int printer) { session.PrinterListChange(printer); }
    void List(const Names& files, const Names& copies) {
        session.AddFiles(files);
        for (std::size_t i = 0; i < copies.size(); ++i)
            grid.setCell(1, static_cast<int>(i) + 1, copies[i]);
    }
    // Adds `file` to the list when the run lets the window handle messages the `round`th time.
    void AddAtRound(int round, const std::string& file) {
        if (messageRounds == round) {
            form.addMode.setChecked(true);
            session.AddFiles({file});
        }
    }
    Names Documents() const {
        Names names;
        for (const auto& job : this->spooler.jobs)
            names.push_back(job.documentName);
        return names;
    }
    std::string RunError() {
        return SpoolErrorText([this] { session.OKPrintClick(); });
    }
    // The button as a finished run leaves it, and the run's panel.
    void ExpectIdle(const std::string& run) const {
        EXPECT_EQ(form.okPrint.caption() + (form.okPrint.enabled() ? "|on|" : "|off|") +
                      form.statusBar1.panel(3),
                  "&OK, Print!!|on|" + run);
    }

    TempFolder folder;
    GridModel grid;
    PlainForm form{grid};
    LocalClock clock;
    Session session{form, this->spooler, this->probe, clock,
                    SettingsLocation{folder / "tavrin.ini", folder.path().string(),
                                     (folder / "cache").string()}};
    std::vector<std::string> messages;
    int messageRounds = 0;
    std::function<void()> betweenFiles = [] {};
    const std::string a = File("A"), b = File("B"), c = File("C");
};

using namespace rewrite_test;
const std::string kTemp = "temp.$$$", kPlot = "XANADU-PLT-test2.plt";  // the plot ends "PG;"

// Every printer handle and job the engine opens on the fake is closed again.
struct SpoolRunTest : public EngineTest<FakeDevices> {
    void TearDown() override { EXPECT_EQ(spooler.liveJobs + spooler.openHandles, 0); }
    const std::string plot = Sample("jem-green-HPGL2/" + kPlot);
};
const std::string kFitA3 = Size("841 1191");

TEST_F(SpoolRunTest, EachRowIsSentAsItsPrinterClassAndBoxesSay) {
    // Boxes: S set, R copies by plotter/printer, Q quality, C collate, F fit; bytes of every job.
    using Row =
        std::tuple<const char*, int, std::string, std::string, std::string, Names, std::string>;
    const std::string p = ReadFile(plot);
    const std::string noPage = Sample("hp2xx/acad.hp");  // only "PG1;"
    const std::string page = Sample("cups/testfile.ps"), ps = ReadFile(page);
    const std::string oce = Sample("hp2xx/inter.hp"), o = ReadFile(oce);
    const std::string qBytes = "\033EIN;QL100;SP1;PA0,0;PD100,100;PU;PG;" + kUel;
    const std::string q = File("q.plt", qBytes);
    const std::string blanked = "\033EIN;;;;;;;SP1;PA0,0;PD100,100;PU;PG;";
    const Row rows[] = {
        {"Replot", kPlotter, "R", plot, "3", {kTemp}, p + "RP2;;"},
        {"ReplotQuality", kPlotter, "RQ", q, "3", {kTemp}, blanked + "RP2;;" + kUel},
        {"ReplotNoPage", kPlotter, "R", noPage, "2", Names(2, kTemp), ReadFile(noPage)},
        {"ReplotOneCopy", kPlotter, "R", plot, "1", {kTemp}, p},
        {"ReplotNoCopy", kPlotter, "R", plot, "0", {kTemp}, p},
        {"Quality", kPlotter, "Q", q, "3", Names(3, kTemp), blanked + kUel},
        {"Plotter", kPlotter, "", plot, "3", Names(3, kPlot), p},
        {"PlotterNoCopy", kPlotter, "", plot, "-2", {}, ""},
        {"PsCopies", kLaser, "RC", page, "3", {kTemp}, Copies(3) + kCollate + ps},
        {"PsNoCopy", kLaser, "R", page, "-2", {kTemp}, ps},
        {"PsFit", kLaser, "F", page, "1.5", {kTemp}, kFitA3 + ps},  // the count is not read
        {"Ps", kLaser, "", page, "3", Names(3, "testfile.ps"), ps},
        {"PsPlainNoCopy", kLaser, "", page, "0", {}, ""},
        {"OceRecord", kOce, "R", oce, "12", {kTemp}, Record("12") + o},
        {"OceNoCopy", kOce, "R", oce, "0", {kTemp}, o},
        {"Oce", kOce, "", oce, "2", Names(2, "inter.hp"), o},
        {"OcePlainNoCopy", kOce, "", oce, "-2", {}, ""},
        // The boxes are hidden for such a device; checked all the same, they change nothing.
        {"Other", kRaw, "RQF", plot, "2", Names(2, kPlot), p},
        {"OtherNoCopy", kRaw, "", plot, "0", {}, ""},
        // In set mode only quality, fit and the Oce class go through the temporary file.
        {"SetPlotter", kPlotter, "S", q, "x", {"q.plt"}, qBytes},
        {"SetQuality", kPlotter, "SQ", q, "x", {kTemp}, blanked + kUel},
        {"SetPs", kLaser, "S", q, "x", {"q.plt"}, qBytes},
        {"SetPsFit", kLaser, "SF", q, "x", {kTemp}, kFitA3 + qBytes},
        {"SetOce", kOce, "S", q, "x", {kTemp}, qBytes},
        {"SetOther", kRaw, "SQF", q, "x", {"q.plt"}, qBytes},
    };
    PlainControl* const boxes[] = {&form.jobAsSet, &form.smartReplots, &form.removeQL,
                                   &form.psCollate, &form.fitToPage};
    session.PageSizeClick(PageSize::A3);
    const fs::path temp = folder / "tmp" / kTemp;
    for (const auto& [name, printer, checked, file, copies, documents, bytes] : rows) {
        SCOPED_TRACE(name);
        spooler.jobs.clear();
        fs::remove(temp);
        Select(printer);
        for (std::size_t i = 0; i < std::size(boxes); ++i)
            boxes[i]->setChecked(checked.find("SRQCF"[i]) != std::string::npos);
        List({file}, {copies});
        session.OKPrintClick();
        EXPECT_EQ(Documents(), documents);
        for (const auto& job : spooler.jobs)
            EXPECT_TRUE(job.bytes == bytes);
        EXPECT_EQ(fs::exists(temp), !documents.empty() && documents[0] == kTemp);
        ExpectIdle("Done");
    }
}

TEST_F(SpoolRunTest, PerRowModeSendsEachRowItsOwnNumberOfTimesWhileTheButtonIsBusy) {
    // Without a first file the button does nothing; a run over no file is done at once.
    session.OKPrintClick();
    EXPECT_EQ(form.okPrint.caption() + "|" + form.statusBar1.panel(3), "     &OK, Print!!|");
    session.SpoolRun();
    EXPECT_EQ(form.statusBar1.panel(1), "Files in joblist: 0");
    ExpectIdle("Done");

    List({a, b, c}, {"2", "1", "3"});
    form.timer1.setEnabled(true);
    std::vector<std::pair<std::string, bool>> seen;
    betweenFiles = [&] {
        seen.emplace_back(form.okPrint.caption(), form.okPrint.enabled());
        session.SpoolRun();  // no second run starts inside a run
        session.OKPrintClick();
    };
    session.OKPrintClick();
    EXPECT_EQ(Documents(), (Names{"A", "A", "B", "C", "C", "C"}));
    EXPECT_EQ(seen, decltype(seen)(3, {"Busy!", false}));  // once after each row
    EXPECT_EQ(std::pair(form.timer1.enabled(), session.jobList().FileCount()), std::pair(false, 3));
    ExpectIdle("Done");

    // A row removed while the run goes on is not sent.
    spooler.jobs.clear();
    betweenFiles = [&] {
        if (messageRounds == 4) {
            grid.setCurrentRow(1);
            session.RemoveClick();
        }
    };
    session.OKPrintClick();
    EXPECT_EQ(Documents(), (Names{"A", "A", "C", "C", "C"}));
}

TEST_F(SpoolRunTest, SetModeSendsTheListAsItIsAtEachSetAsOftenAsTheSpinEditSays) {
    List({a, b}, {"5", "x"});  // the copies column is ignored in set mode
    form.jobAsSet.setChecked(true);
    form.clearAfterSpooling1.setChecked(true);  // which set mode ignores too
    form.reverseSet1.setChecked(false);
    form.spinEdit1.setValue(2);
    betweenFiles = [&] { AddAtRound(1, c); };
    session.OKPrintClick();
    EXPECT_EQ(Documents(), (Names{"A", "B", "A", "B", "C"}));
    EXPECT_EQ(messageRounds, 5);  // once after each file

    spooler.jobs.clear();
    form.reverseSet1.setChecked(true);
    session.OKPrintClick();
    EXPECT_EQ(Documents(), (Names{"C", "B", "A", "C", "B", "A"}));
    EXPECT_EQ(std::tuple(session.jobList().FileCount(), grid.cell(0, 1), form.statusBar1.panel(3)),
              std::tuple(3, a, "Done"));
}

TEST_F(SpoolRunTest, ClearingAfterSpoolingEmptiesTheListRowByRowAndRowsAddedMeanwhileWait) {
    List({a, b}, {"2", "1"});
    form.clearAfterSpooling1.setChecked(true);
    Names firstRows;
    betweenFiles = [&] {
        firstRows.push_back(grid.cell(0, 1));
        AddAtRound(1, c);
    };
    // The run takes its number of rows at its start: the added file waits for the next run.
    session.OKPrintClick();
    EXPECT_EQ(Documents(), (Names{"A", "A", "B"}));
    EXPECT_EQ(std::pair(session.jobList().FileCount(), grid.cell(0, 1)), std::pair(1, c));
    session.OKPrintClick();
    EXPECT_EQ(Documents(), (Names{"A", "A", "B", "C"}));
    EXPECT_EQ(firstRows, (Names{b, c, ""}));
    EXPECT_EQ(std::tuple(session.jobList().FileCount(), form.statusBar1.panel(1)),
              std::tuple(0, "Files in joblist: 0"));
    ExpectIdle("Done");
}

TEST_F(SpoolRunTest, OptionsPrinterAndClassAreReadAtEachRowAndTheTemporaryFolderAtEachRun) {
    const fs::path other = folder / "other";
    fs::create_directory(other);
    Select(kPlotter);
    List({plot, plot, plot, plot}, {"2", "2", "1", "2"});
    betweenFiles = [&] {
        if (messageRounds == 1) {
            form.smartReplots.setChecked(true);
            session.settings().TempFilesPath = other.string();
        }
        if (messageRounds == 2)
            Select(kLaser);
        if (messageRounds == 3)  // the driver changes: sent as to a plain device
            probe.answers["laser"] = {"laser", std::nullopt};
    };
    session.OKPrintClick();
    ASSERT_EQ(Documents(), (Names{kPlot, kPlot, kTemp, kTemp, kPlot, kPlot}));
    EXPECT_EQ(spooler.jobs[1].printer + "|" + spooler.jobs[3].printer, "plotter|laser");
    EXPECT_EQ(spooler.jobs[2].bytes, ReadFile(plot) + "RP1;;");
    // Every row of a run goes through the folder of the run's start.
    EXPECT_FALSE(fs::exists(other / kTemp));
    probe.answers["laser"] = {"LaserWriter", "PostScript"};
    session.OKPrintClick();
    EXPECT_EQ(session.runner().TempFileName(), (other / kTemp).string());
    EXPECT_TRUE(fs::exists(other / kTemp));
}

TEST_F(SpoolRunTest, CountThatIsNoNumberStopsTheRunAndKeepsWhatWasSentAndTheRestOfTheList) {
    Select(kPlotter);
    form.smartReplots.setChecked(true);
    form.clearAfterSpooling1.setChecked(true);
    List({plot, plot, plot}, {"2", "1.5", "4"});

    EXPECT_EQ(RunError(), "'1.5' is not a valid integer value");
    EXPECT_EQ(Documents(), Names{kTemp});
    ExpectIdle("");
    EXPECT_FALSE(session.runner().LastRun().finished);
    // The rows not sent stay, and are counted.
    EXPECT_EQ(std::tuple(session.jobList().FileCount(), grid.cell(1, 1), form.statusBar1.panel(1)),
              std::tuple(2, "1.5", "Files in joblist: 2"));

    // The button works again: with the count mended the rest of the list goes.
    grid.setCell(1, 1, "1");
    session.OKPrintClick();
    EXPECT_EQ(std::pair(spooler.jobs.size(), form.statusBar1.panel(3)),
              std::pair(3ul, std::string("Done")));

    // A count is a signed decimal integer; anything else is refused with its text.
    std::string counts;
    for (const char* text : {"3", "0", "-2", "+7", "007", "2147483647", "-2147483648"})
        counts += std::to_string(ParseCopyCount(text)) + ' ';
    EXPECT_EQ(counts, "3 0 -2 7 7 2147483647 -2147483648 ");
    for (const std::string text : {"", "1.5", " 3", "3 ", "x", "-", "+", "+-3", "--3", "0x10",
                                   "$10", "1e3", "2147483648", "-2147483649", "3;"}) {
        EXPECT_EQ(SpoolErrorText([&] { ParseCopyCount(text); }),
                  "'" + text + "' is not a valid integer value");
    }
}

TEST_F(SpoolRunTest, FilesTheRunCannotReadOrWriteAndAFailingProbeStopTheRunWithTheirText) {
    const std::string missing = (folder / "gone.plt").string();
    List({a, missing, c}, {"1", "1", "1"});
    EXPECT_EQ(RunError(), "Cannot open file " + missing);
    EXPECT_EQ(Documents(), Names{"A"});
    ExpectIdle("");

    Select(kPlotter);
    betweenFiles = [&] { probe.broken.insert("plotter"); };
    List({a, b}, {"1", "1"});
    EXPECT_EQ(RunError(), "the driver failed");
    EXPECT_EQ(Documents(), (Names{"A", "A"}));
    ExpectIdle("");
    EXPECT_EQ(grid.cell(0, 2), b);
}

TEST_F(SpoolRunTest, RefusedSendsAreReportedAndTheRunGoesOn) {
    List({a, b, c}, {"2", "1", "1"});
    betweenFiles = [&] { spooler.refuseStart = messageRounds == 1; };  // only the second row
    session.OKPrintClick();
    EXPECT_EQ(Documents(), (Names{"A", "A", "C"}));
    ExpectIdle("Failed");
    EXPECT_EQ(messages, Names{"Not sent to raw:\nB"});
    const SpoolRunReport& report = session.runner().LastRun();
    EXPECT_EQ(std::tuple(report.sends(), report.accepted(), report.refused.size(), report.finished),
              std::tuple(4, 3, 1u, true));
    EXPECT_EQ(report.refused[0].file + "|" + report.refused[0].reason, b + "|start refused");

    // Each refused copy of a plot without a place for the replot is named, by its own name.
    Select(kPlotter);
    form.smartReplots.setChecked(true);
    List({Sample("hp2xx/acad.hp")}, {"2"});
    spooler.refuseFinish = true;
    session.OKPrintClick();
    EXPECT_EQ(messages, (Names{"Not sent to raw:\nB", "Not sent to plotter:\nacad.hp\nacad.hp"}));

    // Up to twenty names per printer.
    std::vector<RefusedSend> refused;
    std::string twenty = "Not sent to raw:";
    for (int i = 1; i <= 25; ++i) {
        refused.push_back({"raw", "/x/n", "n" + std::to_string(i), "r"});
        twenty += i <= 20 ? "\nn" + std::to_string(i) : "";
    }
    EXPECT_EQ(RefusedSendsMessage({refused.begin(), refused.begin() + 20}), twenty);
    refused.insert(refused.begin() + 1, {"laser", "/x/b", "b", "r"});
    EXPECT_EQ(RefusedSendsMessage(refused), twenty + "\nand 5 more\n\nNot sent to laser:\nb");
    EXPECT_EQ(RefusedSendsMessage({}), "");
}

TEST_F(SpoolRunTest, SessionStartsRunsItsControlsClosesAndStartsAgain) {
    const SettingsLocation at{folder / "config" / "tavrin.ini", folder.path().string(),
                              (folder / "cache").string()};
    for (const bool first : {true, false}) {
        SCOPED_TRACE(first ? "first start" : "next start");
        GridModel g;
        LayOutJobListGrid(g);
        PlainForm f{g};
        Session s{f, spooler, probe, clock, at};
        WirePlainForm(f, s);
        EXPECT_EQ(s.FormCreate(), first);
        s.FormShow(first ? Names{a, b} : Names{});
        EXPECT_EQ(g.column(0).titleCaption + "|" + g.column(1).titleCaption, "Filename|Copies");
        EXPECT_EQ(s.jobList().FileCount(), first ? 2 : 0);
        EXPECT_FALSE(f.psCollate.enabled() || s.settings().TempFilesPath.empty() ||
                     f.label2.visible() || f.label4.visible() || f.uur.visible() ||
                     f.minuut.visible() || f.resumePrinting1.enabled());
        const auto mode = [&] {
            return std::to_string(f.addMode.checked()) + std::to_string(f.repMode.checked()) +
                   f.statusBar1.panel(0);
        };
        if (!first) {
            EXPECT_EQ(s.printers().DeviceClass() + "|" + f.fitToPage.caption() + "|" + mode(),
                      "POSTSCRIPT|Fit to page: A0|10Mode: add files to joblist");
            break;
        }
        // The handlers WirePlainForm joins to the plain controls, one effect each.
        f.spinEdit1.setValue(7);
        EXPECT_EQ(g.cell(0, 2) + "|" + g.cell(1, 2), b + "|7");
        f.addMode.setChecked(true);
        EXPECT_EQ(mode(), "10Mode: add files to joblist");
        f.repMode.setChecked(true);
        EXPECT_EQ(mode(), "01Mode: start a new joblist");
        s.PrinterListChange(kLaser);
        f.smartReplots.setChecked(true);
        EXPECT_TRUE(f.psCollate.enabled());
        f.jobAsSet.setChecked(true);
        f.schedule.setChecked(true);
        f.uur.setValue(31);
        f.minuut.setValue(75);
        EXPECT_EQ(
            std::tuple(f.label3.caption(), f.timer1.enabled(), f.uur.value(), f.minuut.value()),
            std::tuple("Number of sets", true, 0, 59));
        s.PageSizeClick(PageSize::A0);
        f.addMode.setChecked(true);
        s.FormClose();
    }
}

// At the real server, the plotter's queue (two copies of the first row) or the server under a
// raw queue gone mid-run: the rest is refused and named, nothing raised.
struct SpoolRunServerLoss : EngineTest<SandboxDevices>, ::testing::WithParamInterface<bool> {};

TEST_P(SpoolRunServerLoss, RemainingRowsAreRefusedAndNamed) {
    const bool queueRemoved = GetParam();
    const std::string queue =
        queueRemoved ? SandboxPrintServer::kHpglQueue : SandboxPrintServer::kRawQueue;
    const auto& names = session.printers().Printers();
    Select(static_cast<int>(std::find(names.begin(), names.end(), queue) - names.begin()));
    form.smartReplots.setChecked(queueRemoved);
    List({Sample("hp2xx/inter.hp"), Sample("hp2xx/dt.plt"), Sample("hp2xx/pages.hp")},
         {queueRemoved ? "2" : "1", "1", "1"});
    betweenFiles = [&] {
        if (messageRounds == 1) {
            server.WaitForJobs(queue, 1);
            if (queueRemoved)
                ASSERT_EQ(std::system("lpadmin -x hpgl-plotter"), 0);
            else
                server.Stop();
        }
    };
    EXPECT_NO_THROW(session.OKPrintClick());

    ExpectIdle("Failed");
    EXPECT_EQ(messages, Names{"Not sent to " + queue + ":\ndt.plt\npages.hp"});
    EXPECT_EQ(std::pair(session.runner().LastRun().accepted(), server.ReceivedFiles(queue).size()),
              std::pair(1, 1ul));
}

INSTANTIATE_TEST_SUITE_P(Losses, SpoolRunServerLoss, ::testing::Bool(), [](const auto& info) {
    return std::string(info.param ? "QueueRemoved" : "ServerStopped");
});

}  // namespace
}  // namespace tavrin::test
