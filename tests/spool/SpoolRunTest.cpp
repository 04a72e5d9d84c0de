// SPDX-License-Identifier: GPL-3.0-or-later
// The spool run: what each row becomes, the order of the jobs, what the run does to the list,
// copy counts, files and sends that fail, and a print server that goes away mid-run.
#include "spool/SpoolRun.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "joblist/GridModel.h"
#include "platform/CupsDeviceProbe.h"
#include "platform/CupsPrintSpooler.h"
#include "platform/PlainForm.h"
#include "spool/Clock.h"
#include "spool/Session.h"
#include "support/FakePrintSpooler.h"
#include "support/SandboxPrintServer.h"
#include "support/SpoolErrorText.h"
#include "support/TempFolder.h"
#include "support/TestPaths.h"

namespace tavrin::test {
namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

// A spooler in memory and a probe answering from a table: 0 "plotter" is HP-GL/2, 1 "laser"
// PostScript, 2 "oce" an Oce (by its description), 3 "raw" a device without a technology.
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

// The sandbox print server and the real spooler and probe over it.
struct SandboxDevices {
    SandboxPrintServer server;
    CupsPrintSpooler spooler{CupsTimeouts{2000, 10.0}};
    CupsDeviceProbe probe{CupsTimeouts{2000, 10.0}};
};

// A whole engine over plain controls and an in-memory grid, its devices made before it.
template <class Devices>
class EngineTest : public ::testing::Test, protected Devices {
protected:
    enum Printer { kPlotter, kLaser, kOce, kRaw };

    EngineTest() {
        LayOutJobListGrid(grid);
        form.onShowMessage = [this](const std::string& text) { messages.push_back(text); };
        form.onProcessMessages = [this] {
            ++messageRounds;
            if (betweenFiles)
                betweenFiles();
        };
        WirePlainForm(form, session);
        fs::create_directory(folder / "tmp");
        Settings settings;
        settings.TempFilesPath = (folder / "tmp").string();
        settings.PrinterIndex = kRaw;
        session.FormCreate(settings);
    }

    std::string File(const std::string& name, const std::string& bytes = "") {
        WriteBytes(folder / name, bytes.empty() ? "data of " + name : bytes);
        return (folder / name).string();
    }
    static std::string Sample(const std::string& relative) {
        return (SamplesDir() / relative).string();
    }
    std::string TempFile() const { return (folder / "tmp" / "temp.$$$").string(); }
    void Select(int printer) { session.PrinterListChange(printer); }

    // A list of the given files, each with its own copy count text.
    void List(const std::vector<std::pair<std::string, std::string>>& rows) {
        Names names;
        for (const auto& row : rows)
            names.push_back(row.first);
        session.AddFiles(names);
        for (std::size_t i = 0; i < rows.size(); ++i)
            grid.setCell(1, static_cast<int>(i) + 1, rows[i].second);
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

    void ExpectIdle(const std::string& run) const {
        EXPECT_EQ(form.okPrint.caption(), "&OK, Print!!");
        EXPECT_TRUE(form.okPrint.enabled());
        EXPECT_EQ(form.statusBar1.panel(3), run);
    }

    ScratchFolder folder;
    GridModel grid;
    PlainForm form{grid};
    LocalClock clock;
    Session session{form, this->spooler, this->probe, clock,
                    SettingsLocation{folder / "tavrin.ini", folder.path().string(),
                                     (folder / "cache").string()}};
    std::vector<std::string> messages;
    int messageRounds = 0;
    std::function<void()> betweenFiles;
    const std::string a = File("A"), b = File("B"), c = File("C");
};

// Every printer handle and job the engine opens on the fake is closed again.
class SpoolRunTest : public EngineTest<FakeDevices> {
protected:
    void TearDown() override { EXPECT_EQ(spooler.liveJobs + spooler.openHandles, 0); }
};

const std::string kUel = "\x1b%-12345X";
const std::string kTemp = "temp.$$$";
const std::string kPlot = "XANADU-PLT-test2.plt";  // ends "PG;"
const std::string kFitA3 =
    "<< /PageSize [ 841 1191 ] >> setpagedevice\r\n"
    "<< /Policies << /PageSize 3 >> >> setpagedevice\r\n";

TEST_F(SpoolRunTest, EachRowIsSentAsItsPrinterClassAndBoxesSay) {
    struct Row {
        const char* name;
        int printer;
        std::string boxes;  // R copies by plotter/printer, Q quality, C collate, F fit, S set
        std::string file, copies;
        Names documents;
        std::string bytes;  // of every job
    };
    const std::string plot = Sample("jem-green-HPGL2/" + kPlot), p = ReadBytes(plot);
    const std::string noPage = Sample("hp2xx/acad.hp");  // only "PG1;"
    const std::string page = Sample("cups/testfile.ps"), ps = ReadBytes(page);
    const std::string oce = Sample("hp2xx/inter.hp"), o = ReadBytes(oce);
    const std::string qBytes = "\033EIN;QL100;SP1;PA0,0;PD100,100;PU;PG;" + kUel;
    const std::string q = File("q.plt", qBytes);
    const std::string blanked = "\033EIN;;;;;;;SP1;PA0,0;PD100,100;PU;PG;";
    const std::string collated =
        "<< /NumCopies 3 >> setpagedevice\r\n<< /Collate true >> setpagedevice\r\n";
    const std::string record =
        "BEGMF \"Oce RCF by Dorwen\";\r\nMFDESC 'Oce RCF, Version=2.5, "
        "Type=Header, Unit=Metric';\r\nAPPLDATA 002 \"CO=12\";\r\nENDMF;\r\n";
    const Row rows[] = {
        {"Replot", kPlotter, "R", plot, "3", {kTemp}, p + "RP2;;"},
        {"ReplotQuality", kPlotter, "RQ", q, "3", {kTemp}, blanked + "RP2;;" + kUel},
        {"ReplotNoPage", kPlotter, "R", noPage, "3", Names(3, kTemp), ReadBytes(noPage)},
        {"ReplotOneCopy", kPlotter, "R", plot, "1", {kTemp}, p},
        {"ReplotNoCopy", kPlotter, "R", plot, "0", {kTemp}, p},
        {"Quality", kPlotter, "Q", q, "3", Names(3, kTemp), blanked + kUel},
        {"Plotter", kPlotter, "", plot, "3", Names(3, kPlot), p},
        {"PlotterNoCopy", kPlotter, "", plot, "-2", {}, ""},
        {"PsCopies", kLaser, "RC", page, "3", {kTemp}, collated + ps},
        {"PsNoCopy", kLaser, "R", page, "-2", {kTemp}, ps},
        {"PsFit", kLaser, "F", page, "1.5", {kTemp}, kFitA3 + ps},  // the count is not read
        {"Ps", kLaser, "", page, "3", Names(3, "testfile.ps"), ps},
        {"PsPlainNoCopy", kLaser, "", page, "0", {}, ""},
        {"OceRecord", kOce, "R", oce, "12", {kTemp}, record + o},
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
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        spooler.jobs.clear();
        fs::remove(TempFile());
        Select(row.printer);
        for (std::size_t i = 0; i < std::size(boxes); ++i)
            boxes[i]->setChecked(row.boxes.find("SRQCF"[i]) != std::string::npos);
        List({{row.file, row.copies}});
        session.OKPrintClick();

        EXPECT_EQ(Documents(), row.documents);
        for (const auto& job : spooler.jobs)
            EXPECT_TRUE(job.bytes == row.bytes);
        EXPECT_EQ(fs::exists(TempFile()), !row.documents.empty() && row.documents[0] == kTemp);
        ExpectIdle("Done");
    }
}

TEST_F(SpoolRunTest, PerRowModeSendsEachRowItsOwnNumberOfTimesWhileTheButtonIsBusy) {
    // Without a first file the button does nothing; a run over no file is done at once.
    session.OKPrintClick();
    EXPECT_EQ(form.okPrint.caption(), "     &OK, Print!!");
    EXPECT_EQ(form.statusBar1.panel(3), "");
    session.SpoolRun();
    EXPECT_EQ(form.statusBar1.panel(1), "Files in joblist: 0");
    ExpectIdle("Done");

    List({{a, "2"}, {b, "1"}, {c, "3"}});
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
    EXPECT_FALSE(form.timer1.enabled());
    EXPECT_EQ(session.jobList().FileCount(), 3);
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
    List({{a, "5"}, {b, "x"}});  // the copies column is ignored in set mode
    form.jobAsSet.setChecked(true);
    form.clearAfterSpooling1.setChecked(true);  // which set mode ignores too
    form.reverseSet1.setChecked(false);
    form.spinEdit1.setValue(2);
    betweenFiles = [&] {
        if (messageRounds == 1) {
            form.addMode.setChecked(true);
            session.AddFiles({c});
        }
    };
    session.OKPrintClick();
    EXPECT_EQ(Documents(), (Names{"A", "B", "A", "B", "C"}));
    EXPECT_EQ(messageRounds, 5);  // once after each file

    spooler.jobs.clear();
    form.reverseSet1.setChecked(true);
    session.OKPrintClick();
    EXPECT_EQ(Documents(), (Names{"C", "B", "A", "C", "B", "A"}));
    EXPECT_EQ(session.jobList().FileCount(), 3);
    EXPECT_EQ(grid.cell(0, 1), a);
    EXPECT_EQ(form.statusBar1.panel(3), "Done");
}

TEST_F(SpoolRunTest, ClearingAfterSpoolingEmptiesTheListRowByRowAndRowsAddedMeanwhileWait) {
    List({{a, "2"}, {b, "1"}});
    form.clearAfterSpooling1.setChecked(true);
    Names firstRows;
    betweenFiles = [&] {
        firstRows.push_back(grid.cell(0, 1));
        if (messageRounds == 1) {
            form.addMode.setChecked(true);
            session.AddFiles({c});
        }
    };
    // The run takes its number of rows at its start: the added file waits for the next run.
    session.OKPrintClick();
    EXPECT_EQ(Documents(), (Names{"A", "A", "B"}));
    EXPECT_EQ(session.jobList().FileCount(), 1);
    EXPECT_EQ(grid.cell(0, 1), c);
    session.OKPrintClick();

    EXPECT_EQ(Documents(), (Names{"A", "A", "B", "C"}));
    EXPECT_EQ(firstRows, (Names{b, c, ""}));
    EXPECT_EQ(session.jobList().FileCount(), 0);
    EXPECT_EQ(grid.rowCount(), 30);
    EXPECT_EQ(grid.colWidth(0), 445);
    for (int row = 1; row < 30; ++row)
        EXPECT_EQ(grid.cell(0, row), "") << row;
    EXPECT_EQ(form.statusBar1.panel(1), "Files in joblist: 0");
    ExpectIdle("Done");
}

TEST_F(SpoolRunTest, OptionsPrinterAndClassAreReadAtEachRowAndTheTemporaryFolderAtEachRun) {
    const std::string plot = Sample("jem-green-HPGL2/" + kPlot);
    const fs::path other = folder / "other";
    fs::create_directory(other);
    Select(kPlotter);
    List({{plot, "2"}, {plot, "2"}, {plot, "1"}, {plot, "2"}});
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
    EXPECT_EQ(spooler.jobs[1].printer, "plotter");
    EXPECT_EQ(spooler.jobs[2].bytes, ReadBytes(plot) + "RP1;;");
    EXPECT_EQ(spooler.jobs[3].printer, "laser");
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
    const std::string plot = Sample("jem-green-HPGL2/" + kPlot);
    List({{plot, "2"}, {plot, "1.5"}, {plot, "4"}});

    EXPECT_EQ(RunError(), "'1.5' is not a valid integer value");
    EXPECT_EQ(Documents(), Names{kTemp});
    ExpectIdle("");
    EXPECT_FALSE(session.runner().LastRun().finished);
    // The rows not sent stay, and are counted.
    EXPECT_EQ(session.jobList().FileCount(), 2);
    EXPECT_EQ(grid.cell(1, 1), "1.5");
    EXPECT_EQ(form.statusBar1.panel(1), "Files in joblist: 2");

    // The button works again: with the count mended the rest of the list goes.
    grid.setCell(1, 1, "1");
    session.OKPrintClick();
    EXPECT_EQ(spooler.jobs.size(), 3u);
    EXPECT_EQ(form.statusBar1.panel(3), "Done");

    // A count is a signed decimal integer; anything else is refused with its text.
    const std::string texts[] = {"3", "0", "-2", "+7", "007", "2147483647", "-2147483648"};
    const int values[] = {3, 0, -2, 7, 7, 2147483647, -2147483647 - 1};
    for (std::size_t i = 0; i < std::size(texts); ++i)
        EXPECT_EQ(ParseCopyCount(texts[i]), values[i]) << texts[i];
    for (const std::string text : {"", "1.5", " 3", "3 ", "x", "-", "+", "+-3", "--3", "0x10",
                                   "$10", "1e3", "2147483648", "-2147483649", "3;"}) {
        EXPECT_EQ(SpoolErrorText([&] { ParseCopyCount(text); }),
                  "'" + text + "' is not a valid integer value");
    }
}

TEST_F(SpoolRunTest, FilesTheRunCannotReadOrWriteAndAFailingProbeStopTheRunWithTheirText) {
    const std::string missing = (folder / "gone.plt").string();
    List({{a, "1"}, {missing, "1"}, {c, "1"}});
    EXPECT_EQ(RunError(), "Cannot open file " + missing);
    EXPECT_EQ(Documents(), Names{"A"});
    ExpectIdle("");

    Select(kOce);
    form.smartReplots.setChecked(true);
    session.settings().TempFilesPath = (folder / "no such folder").string();
    EXPECT_EQ(RunError(), "Cannot create file " + (folder / "no such folder" / kTemp).string());
    EXPECT_EQ(Documents(), Names{"A"});
    ExpectIdle("");

    Select(kPlotter);
    form.smartReplots.setChecked(false);
    betweenFiles = [&] { probe.broken.insert("plotter"); };
    List({{a, "1"}, {b, "1"}});
    EXPECT_EQ(RunError(), "the driver failed");
    EXPECT_EQ(Documents(), (Names{"A", "A"}));
    ExpectIdle("");
    EXPECT_EQ(grid.cell(0, 2), b);
}

TEST_F(SpoolRunTest, RefusedSendsAreReportedAndTheRunGoesOn) {
    List({{a, "2"}, {b, "1"}, {c, "1"}});
    betweenFiles = [&] { spooler.refuseStart = messageRounds == 1; };  // only the second row
    session.OKPrintClick();

    EXPECT_EQ(Documents(), (Names{"A", "A", "C"}));
    ExpectIdle("Failed");
    EXPECT_EQ(messages, Names{"Not sent to raw:\nB"});
    const SpoolRunReport& report = session.runner().LastRun();
    EXPECT_EQ(report.sends, 4);
    EXPECT_EQ(report.accepted, 3);
    ASSERT_EQ(report.refused.size(), 1u);
    EXPECT_EQ(report.refused[0].file, b);
    EXPECT_EQ(report.refused[0].reason, "start refused");
    EXPECT_TRUE(report.finished);

    // Each refused copy of a plot without a place for the replot is named, by its own name.
    messages.clear();
    Select(kPlotter);
    form.smartReplots.setChecked(true);
    List({{Sample("hp2xx/acad.hp"), "2"}});
    spooler.refuseFinish = true;
    session.OKPrintClick();
    EXPECT_EQ(messages, Names{"Not sent to plotter:\nacad.hp\nacad.hp"});

    // Up to twenty names per printer.
    std::vector<RefusedSend> refused;
    std::string twenty = "Not sent to raw:";
    for (int i = 1; i <= 25; ++i) {
        refused.push_back({"raw", "/x/n", "n" + std::to_string(i), "r"});
        twenty += i <= 20 ? "\nn" + std::to_string(i) : "";
        if (i == 20) {
            EXPECT_EQ(RefusedSendsMessage(refused), twenty);
        }
    }
    EXPECT_EQ(RefusedSendsMessage(refused), twenty + "\nand 5 more");
    refused.insert(refused.begin() + 1, {"laser", "/x/b", "b", "r"});
    EXPECT_EQ(RefusedSendsMessage(refused), twenty + "\nand 5 more\n\nNot sent to laser:\nb");
    EXPECT_EQ(RefusedSendsMessage({}), "");
}

// A session's first start, its controls and its close, then the next start, over a settings
// folder of their own. The window's tests drive the same session through the real controls.
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
        EXPECT_EQ(g.column(0).titleCaption + "|" + g.column(1).titleCaption, "Filename|Copies");
        EXPECT_FALSE(f.psCollate.enabled());
        EXPECT_FALSE(s.settings().TempFilesPath.empty());
        s.FormShow(first ? Names{a, b} : Names{});
        EXPECT_EQ(s.jobList().FileCount(), first ? 2 : 0);
        for (const Control* hidden :
             std::initializer_list<const Control*>{&f.label2, &f.label4, &f.uur, &f.minuut})
            EXPECT_FALSE(hidden->visible());
        EXPECT_FALSE(f.resumePrinting1.enabled());
        if (!first) {
            EXPECT_EQ(s.printers().DeviceClass(), "POSTSCRIPT");
            EXPECT_EQ(f.fitToPage.caption(), "Fit to page: A0");
            EXPECT_EQ(f.statusBar1.panel(0), "Mode: add files to joblist");
            // The menu toggles come back as stored, and chosen again are as before.
            EXPECT_TRUE(f.clearAfterSpooling1.checked() && !f.reverseSet1.checked());
            s.Clearafterspooling1Click();
            s.Reverseset1Click();
            EXPECT_TRUE(!f.clearAfterSpooling1.checked() && f.reverseSet1.checked());
            break;
        }
        // The handlers WirePlainForm joins to the plain controls, one effect each.
        f.spinEdit1.setValue(7);
        EXPECT_EQ(g.cell(0, 2) + "|" + g.cell(1, 2), b + "|7");
        f.addMode.setChecked(true);
        EXPECT_FALSE(f.repMode.checked());
        EXPECT_EQ(f.statusBar1.panel(0), "Mode: add files to joblist");
        f.repMode.setChecked(true);
        EXPECT_FALSE(f.addMode.checked());
        EXPECT_EQ(f.statusBar1.panel(0), "Mode: start a new joblist");
        s.PrinterListChange(kLaser);
        f.smartReplots.setChecked(true);
        EXPECT_TRUE(f.psCollate.enabled());
        f.jobAsSet.setChecked(true);
        EXPECT_EQ(f.label3.caption(), "Number of sets");
        f.schedule.setChecked(true);
        EXPECT_TRUE(f.timer1.enabled());
        f.uur.setValue(31);
        f.minuut.setValue(75);
        EXPECT_EQ(std::pair(f.uur.value(), f.minuut.value()), std::pair(0, 59));
        s.PageSizeClick(PageSize::A0);
        f.addMode.setChecked(true);
        s.Clearafterspooling1Click();
        s.Reverseset1Click();
        s.FormClose();
    }
}

// The spool run over the real CUPS spooler when its queue or its server goes away mid-run: the
// remaining sends are refused, the run ends normally and says what was not sent.
struct Loss {
    const char* name;
    const char* queue;
    bool replots;  // "Copies by plotter", with 2 copies of the first row
    void (*lose)(SandboxPrintServer& server);
};

class SpoolRunServerLoss : public EngineTest<SandboxDevices>,
                           public ::testing::WithParamInterface<Loss> {};

TEST_P(SpoolRunServerLoss, RemainingRowsAreRefusedAndNamed) {
    const Loss& loss = GetParam();
    const auto& names = session.printers().Printers();
    Select(static_cast<int>(std::find(names.begin(), names.end(), loss.queue) - names.begin()));
    form.smartReplots.setChecked(loss.replots);
    const std::string plot = Sample("hp2xx/inter.hp");
    List({{plot, loss.replots ? "2" : "1"},
          {Sample("hp2xx/dt.plt"), "1"},
          {Sample("hp2xx/pages.hp"), "1"}});
    betweenFiles = [&] {
        if (messageRounds == 1) {
            server.WaitForJobs(loss.queue, 1);
            loss.lose(server);
        }
    };
    EXPECT_NO_THROW(session.OKPrintClick());

    ExpectIdle("Failed");
    EXPECT_EQ(messages, Names{"Not sent to " + std::string(loss.queue) + ":\ndt.plt\npages.hp"});
    EXPECT_EQ(session.runner().LastRun().accepted, 1);
    const auto received = server.ReceivedFiles(loss.queue);
    ASSERT_EQ(received.size(), 1u);
    std::string expected = ReadBytes(plot);
    if (loss.replots)
        expected.insert(expected.size() - 3, "RP1;;");  // after the tail's "PG;", before "SP;"
    EXPECT_EQ(ReadBytes(received[0]), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Losses, SpoolRunServerLoss,
    ::testing::Values(Loss{"QueueRemoved", SandboxPrintServer::kHpglQueue, true,
                           [](SandboxPrintServer&) {
                               ASSERT_EQ(std::system("lpadmin -x hpgl-plotter"), 0);
                           }},
                      Loss{"ServerStopped", SandboxPrintServer::kRawQueue, false,
                           [](SandboxPrintServer& server) { server.Stop(); }}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tavrin::test
