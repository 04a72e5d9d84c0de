// SPDX-License-Identifier: GPL-3.0-or-later
#include "spool/SpoolRun.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "RewriterTestSupport.h"
#include "printsystem/CupsDeviceProbe.h"
#include "printsystem/CupsPrintSpooler.h"
#include "settings/Settings.h"
#include "spool/SpoolChoices.h"
#include "support/FakePrintSpooler.h"
#include "support/SandboxPrintServer.h"
#include "support/SpoolErrorText.h"
#include "support/WaitUntil.h"

namespace tavrin::test {
namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

// A job the print server refuses to start because it holds as many as it takes.
class FullJob : public PrintJob {
public:
    bool ok() const override { return false; }
    std::string error() const override { return "the print server is full"; }
    std::size_t Write(const char*, std::size_t) override { return 0; }
    bool Finish() override { return false; }
    void Cancel() override {}
    int id() const override { return 0; }
    bool refusedAsFull() const override { return true; }
};

// An opened printer of the fake that refuses jobs as full while the spooler says so.
class FullingHandle : public PrinterHandle {
public:
    FullingHandle(std::unique_ptr<PrinterHandle> handle, std::atomic<int>& full)
        : handle_(std::move(handle)), full_(full) {}
    bool ok() const override { return handle_->ok(); }
    std::string error() const override { return handle_->error(); }
    std::optional<std::string> PortName() override { return handle_->PortName(); }
    std::unique_ptr<PrintJob> StartRawDocument(const std::string& documentName) override {
        if (full_ > 0 && --full_ >= 0)
            return std::make_unique<FullJob>();
        return handle_->StartRawDocument(documentName);
    }
    bool Send(QueueCommand command) override { return handle_->Send(command); }
    std::optional<std::vector<QueueJob>> Jobs(JobsWanted wanted) override {
        return handle_->Jobs(wanted);
    }
    std::optional<QueueStatus> Status(int firstJobId) override {
        return handle_->Status(firstJobId);
    }

private:
    std::unique_ptr<PrinterHandle> handle_;
    std::atomic<int>& full_;
};

// The fake spooler, full for the next `full` starts of a job (a large number: for good).
class FullingSpooler : public FakePrintSpooler {
public:
    std::atomic<int> full{0};
    std::unique_ptr<PrinterHandle> Open(const std::string& printerName) override {
        return std::make_unique<FullingHandle>(FakePrintSpooler::Open(printerName), full);
    }
};

// An in-memory spooler and a probe: HP-GL/2 plotter, PostScript laser, Oce by description, raw.
struct FakeDevices {
    FakeDevices() {
        spooler.printers = {"plotter", "laser", "oce", "raw"};
        probe.answers = {{"plotter", {"HP DesignJet 650C", "HPGL/2"}},
                         {"laser", {"LaserWriter", "PostScript"}},
                         {"oce", {"Oce 9600 plot room", std::nullopt}}};
    }
    FullingSpooler spooler;
    FakeDeviceProbe probe;
};

struct SandboxDevices {
    SandboxPrintServer server;
    CupsPrintSpooler spooler{CupsTimeouts{2000, 10.0}};
    CupsDeviceProbe probe{CupsTimeouts{2000, 10.0}};
};

// What a user does while a run goes on. betweenFiles(n) comes as the (n + 1)th file begins,
// after the nth file's sends, where changes to the options and the printer apply; afterSend(n)
// comes after the nth send, where a change to the list applies to the next row.
struct UserHooks {
    std::function<void(int)> betweenFiles = [](int) {};
    std::function<void(int)> afterSend = [](int) {};
    std::function<void()> listChanged = [] {};
    std::function<bool(int)> keepWaiting = [](int) { return true; };
};

// What the run tells, one line each.
struct Recorder : RunObserver {
    explicit Recorder(UserHooks hooks = {}) : user(std::move(hooks)) {}

    void FileStarted(int index, const std::string& file) override {
        Log("start " + std::to_string(index) + " " + DocumentNameOf(file));
        if (++started > 1)
            user.betweenFiles(started - 1);
    }
    void Sent(const TrackedJob& job) override {
        Log("sent " + job.documentName);
        user.afterSend(++sends);
    }
    void Refused(const RefusedSend& send) override {
        Log("refused " + send.documentName);
        user.afterSend(++sends);
    }
    void WaitingForRoom(const std::string& printer, bool waiting) override {
        Log((waiting ? "waiting " : "room ") + printer);
        waitingNow = waiting;
    }
    bool KeepWaitingForRoom(const std::string&, int secondsWaited) override {
        return user.keepWaiting(secondsWaited);
    }
    void ListChanged() override {
        Log("list");
        user.listChanged();
    }
    void Done(const SpoolRunReport& report, const std::string& error) override {
        Log("done " + error);
        ++dones;
        told = report;
    }
    void Log(const std::string& line) {
        std::lock_guard lock(mutex);
        log.push_back(line);
    }

    UserHooks user;
    std::mutex mutex;
    Names log;
    int started = 0, sends = 0, dones = 0;
    std::atomic<bool> waitingNow{false};
    SpoolRunReport told;
};

// A spool run over a shared job list with the options a window would set, its devices made
// before it.
template <class Devices>
struct RunTest : public ::testing::Test, protected Devices {
    RunTest() {
        fs::create_directory(folder / "tmp");
        const Settings defaults;
        Choose([&](SpoolChoices& c) {
            c.tempFilesPath = (folder / "tmp").string();
            c.fromStart = defaults.FromStart;
            c.fromEnd = defaults.FromEnd;
            c.printerName = "raw";
        });
    }

    static std::string Sample(const std::string& path) { return (SamplesDir() / path).string(); }
    std::string File(const std::string& name, const std::string& bytes = "") {
        WriteBytes(folder / name, bytes.empty() ? "data of " + name : bytes);
        return (folder / name).string();
    }
    // A change of the boxes, the menu or the printer, as a window passes it on.
    void Choose(const std::function<void(SpoolChoices&)>& change) {
        SpoolChoices choices = options.Get();
        change(choices);
        options.Set(choices);
    }
    void Printer(const std::string& name) {
        Choose([&](SpoolChoices& c) { c.printerName = name; });
    }
    void List(const Names& files, const Names& copies) {
        JobList list;
        list.AddFiles(files, ListMode::New, 1);
        for (std::size_t i = 0; i < copies.size(); ++i)
            list.SetCopies(static_cast<int>(i), copies[i]);
        jobs.Set(list);
    }
    // Adds `file` to the list in Add mode, as a user does while the run goes on.
    void AddLater(const std::string& file) {
        jobs.Change([&](JobList& list) { list.AddFiles({file}, ListMode::Add, 1); });
    }
    std::string FirstFile() const {
        return jobs.Read([](const JobList& l) { return l.Rows().empty() ? "" : l.Rows()[0].file; });
    }
    int FileCount() const {
        return jobs.Read([](const JobList& l) { return l.FileCount(); });
    }
    void Run(std::stop_token stop = {}) {
        observer = std::make_unique<Recorder>(user);
        runner.Run(jobs, *observer, std::move(stop));
    }
    std::string RunError() {
        return SpoolErrorText([this] { Run(); });
    }
    Names Documents() const {
        Names names;
        for (const auto& job : this->spooler.jobs)
            names.push_back(job.documentName);
        return names;
    }
    // How the run ended, as its observer was told once: "finished", "stopped" or the error.
    std::string End() const {
        EXPECT_EQ(observer->dones, 1);
        const std::string& last = observer->log.back();
        EXPECT_EQ(last.substr(0, 5), "done ");
        const SpoolRunReport& r = runner.LastRun();
        EXPECT_EQ(
            std::tuple(r.finished, r.stopped, r.sends()),
            std::tuple(observer->told.finished, observer->told.stopped, observer->told.sends()));
        return last.size() > 5 ? last.substr(5) : r.finished ? "finished" : "stopped";
    }

    TempFolder folder;
    ChosenSpoolOptions options;
    SharedJobList jobs;
    SpoolRunner runner{this->spooler, this->probe, options};
    UserHooks user;  // for the next run; `observer` is the last run's

    std::unique_ptr<Recorder> observer;
    const std::string a = File("A"), b = File("B"), c = File("C");
};

using namespace rewrite_test;
const std::string kTemp = "temp.$$$", kPlot = "XANADU-PLT-test2.plt";  // the plot ends "PG;"

// Every printer handle and job the run opens on the fake is closed again.
struct SpoolRunTest : public RunTest<FakeDevices> {
    void TearDown() override { EXPECT_EQ(spooler.liveJobs + spooler.openHandles, 0); }
    const std::string plot = Sample("jem-green-HPGL2/" + kPlot);
};
const std::string kFitA3 = Size("841 1191");

TEST_F(SpoolRunTest, EachRowIsSentAsItsPrinterClassAndBoxesSay) {
    // Boxes: S set, R copies by plotter/printer, Q quality, C collate, F fit; bytes of every job.
    using Row = std::tuple<const char*, const char*, std::string, std::string, std::string, Names,
                           std::string>;
    const std::string p = ReadFile(plot);
    const std::string noPage = Sample("hp2xx/acad.hp");  // only "PG1;"
    const std::string page = Sample("cups/testfile.ps"), ps = ReadFile(page);
    const std::string oce = Sample("hp2xx/inter.hp"), o = ReadFile(oce);
    const std::string qBytes = "\033EIN;QL100;SP1;PA0,0;PD100,100;PU;PG;" + kUel;
    const std::string q = File("q.plt", qBytes);
    const std::string blanked = "\033EIN;;;;;;;SP1;PA0,0;PD100,100;PU;PG;";
    const Row rows[] = {
        {"Replot", "plotter", "R", plot, "3", {kTemp}, p + "RP2;;"},
        {"ReplotQuality", "plotter", "RQ", q, "3", {kTemp}, blanked + "RP2;;" + kUel},
        {"ReplotNoPage", "plotter", "R", noPage, "2", Names(2, kTemp), ReadFile(noPage)},
        {"ReplotOneCopy", "plotter", "R", plot, "1", {kTemp}, p},
        {"ReplotNoCopy", "plotter", "R", plot, "0", {kTemp}, p},
        {"Quality", "plotter", "Q", q, "3", Names(3, kTemp), blanked + kUel},
        {"Plotter", "plotter", "", plot, "3", Names(3, kPlot), p},
        {"PlotterNoCopy", "plotter", "", plot, "-2", {}, ""},
        {"PsCopies", "laser", "RC", page, "3", {kTemp}, Copies(3) + kCollate + ps},
        {"PsNoCopy", "laser", "R", page, "-2", {kTemp}, ps},
        {"PsFit", "laser", "F", page, "1.5", {kTemp}, kFitA3 + ps},  // the count is not read
        {"Ps", "laser", "", page, "3", Names(3, "testfile.ps"), ps},
        {"PsPlainNoCopy", "laser", "", page, "0", {}, ""},
        {"OceRecord", "oce", "R", oce, "12", {kTemp}, Record("12") + o},
        {"OceNoCopy", "oce", "R", oce, "0", {kTemp}, o},
        {"Oce", "oce", "", oce, "2", Names(2, "inter.hp"), o},
        {"OcePlainNoCopy", "oce", "", oce, "-2", {}, ""},
        // The boxes are hidden for such a device; checked all the same, they change nothing.
        {"Other", "raw", "RQF", plot, "2", Names(2, kPlot), p},
        {"OtherNoCopy", "raw", "", plot, "0", {}, ""},
        // In set mode only quality, fit and the Oce class go through the temporary file.
        {"SetPlotter", "plotter", "S", q, "x", {"q.plt"}, qBytes},
        {"SetQuality", "plotter", "SQ", q, "x", {kTemp}, blanked + kUel},
        {"SetPs", "laser", "S", q, "x", {"q.plt"}, qBytes},
        {"SetPsFit", "laser", "SF", q, "x", {kTemp}, kFitA3 + qBytes},
        {"SetOce", "oce", "S", q, "x", {kTemp}, qBytes},
        {"SetOther", "raw", "SQF", q, "x", {"q.plt"}, qBytes},
    };
    Choose([](SpoolChoices& c) { c.pageSize = PageSize::A3; });
    const fs::path temp = folder / "tmp" / kTemp;
    for (const auto& [name, printer, checked, file, copies, documents, bytes] : rows) {
        SCOPED_TRACE(name);
        spooler.jobs.clear();
        fs::remove(temp);
        Choose([&, checked = std::string(checked)](SpoolChoices& c) {
            const auto has = [&](char box) { return checked.find(box) != std::string::npos; };
            c.printerName = printer;
            std::tie(c.jobAsSet, c.deviceCopies, c.qualityOnPlotter, c.collate, c.fitToPage) =
                std::tuple(has('S'), has('R'), has('Q'), has('C'), has('F'));
        });
        List({file}, {copies});
        Run();
        EXPECT_EQ(Documents(), documents);
        for (const auto& job : spooler.jobs)
            EXPECT_TRUE(job.bytes == bytes);
        EXPECT_EQ(fs::exists(temp), !documents.empty() && documents[0] == kTemp);
        EXPECT_EQ(End(), "finished");
    }
}

// For two rows, the second refused: each file begun, each send, the end; with clearing, each row
// taken off the list, and the blank list at the end.
TEST_F(SpoolRunTest, TheObserverHearsOfEachFileSendAndChangeOfTheListInOrder) {
    user.betweenFiles = [&](int) { spooler.refuseStart = true; };
    for (const bool clear : {false, true}) {
        SCOPED_TRACE(clear ? "clearing" : "keeping");
        spooler.refuseStart = false;
        Choose([&](SpoolChoices& c) { c.clearAfterSpooling = clear; });
        List({a, b}, {"1", "1"});
        Run();
        const Names told = clear ? Names{"start 0 A", "sent A", "list", "start 0 B",
                                         "refused B", "list",   "list", "done "}
                                 : Names{"start 0 A", "sent A", "start 1 B", "refused B", "done "};
        EXPECT_EQ(observer->log, told);
        EXPECT_EQ(std::pair(FileCount(), jobs.Get().BlankRows()),
                  clear ? std::pair(0, JobList::kBlankRowsWhenEmpty) : std::pair(2, 0));
        const SpoolRunReport& report = observer->told;
        EXPECT_EQ(
            std::tuple(report.finished, report.accepted(), report.refused.size(), report.sends()),
            std::tuple(true, 1, 1u, 2));
    }
}

TEST_F(SpoolRunTest, PerRowModeSendsEachRowItsOwnNumberOfTimes) {
    // A run over no file is done at once and leaves the blank list as it is.
    Run();
    EXPECT_EQ(std::tuple(observer->log, Documents(), jobs.Get()),
              std::tuple(Names{"done "}, Names{}, JobList()));

    List({a, b, c}, {"2", "1", "3"});
    Run();
    EXPECT_EQ(Documents(), (Names{"A", "A", "B", "C", "C", "C"}));
    EXPECT_EQ(observer->started, 3);
    EXPECT_EQ(FileCount(), 3);
    EXPECT_EQ(End(), "finished");

    // A row removed while the run goes on is not sent.
    spooler.jobs.clear();
    user.afterSend = [&](int sends) {
        if (sends == 2)
            jobs.Change([](JobList& list) { list.Remove(0, ListMode::Add); });
    };
    Run();
    EXPECT_EQ(Documents(), (Names{"A", "A", "C", "C", "C"}));
}

TEST_F(SpoolRunTest, SetModeSendsTheListAsItIsAtEachSetAsOftenAsTheCountSays) {
    List({a, b}, {"5", "x"});  // the copies column is ignored in set mode
    Choose([](SpoolChoices& c) {
        c.jobAsSet = true;
        c.clearAfterSpooling = true;  // which set mode ignores too
        c.reverseSet = false;
        c.globalCopies = 2;
    });
    user.betweenFiles = [&](int files) {
        if (files == 1)
            AddLater(c);
    };
    Run();
    EXPECT_EQ(Documents(), (Names{"A", "B", "A", "B", "C"}));
    EXPECT_EQ(observer->started, 5);

    spooler.jobs.clear();
    user.betweenFiles = [](int) {};
    Choose([](SpoolChoices& c) { c.reverseSet = true; });
    Run();
    EXPECT_EQ(Documents(), (Names{"C", "B", "A", "C", "B", "A"}));
    EXPECT_EQ(std::tuple(FileCount(), FirstFile(), End()), std::tuple(3, a, "finished"));
}

TEST_F(SpoolRunTest, ClearingAfterSpoolingEmptiesTheListRowByRowAndRowsAddedMeanwhileWait) {
    List({a, b}, {"2", "1"});
    Choose([](SpoolChoices& c) { c.clearAfterSpooling = true; });
    Names firstRows;
    user.listChanged = [&] {
        firstRows.push_back(FirstFile());
        if (firstRows.size() == 1)
            AddLater(c);
    };
    // The run takes its number of rows at its start: the added file waits for the next run.
    Run();
    EXPECT_EQ(Documents(), (Names{"A", "A", "B"}));
    EXPECT_EQ(std::pair(FileCount(), FirstFile()), std::pair(1, c));
    Run();
    EXPECT_EQ(Documents(), (Names{"A", "A", "B", "C"}));
    // One change per row taken off, and one more as the emptied list shows its blank rows.
    EXPECT_EQ(firstRows, (Names{b, c, "", ""}));
    EXPECT_EQ(std::pair(FileCount(), jobs.Get().BlankRows()),
              std::pair(0, JobList::kBlankRowsWhenEmpty));
    EXPECT_EQ(End(), "finished");
}

TEST_F(SpoolRunTest, OptionsPrinterAndClassAreReadAtEachRowAndTheTemporaryFolderAtEachRun) {
    const fs::path other = folder / "other";
    fs::create_directory(other);
    Printer("plotter");
    List({plot, plot, plot, plot}, {"2", "2", "1", "2"});
    user.betweenFiles = [&](int files) {
        if (files == 1) {
            Choose([&](SpoolChoices& c) {
                c.deviceCopies = true;
                c.tempFilesPath = other.string();
            });
        }
        if (files == 2)
            Printer("laser");
        if (files == 3)  // the driver changes: sent as to a plain device
            probe.answers["laser"] = {"laser", std::nullopt};
    };
    Run();
    ASSERT_EQ(Documents(), (Names{kPlot, kPlot, kTemp, kTemp, kPlot, kPlot}));
    EXPECT_EQ(spooler.jobs[1].printer + "|" + spooler.jobs[3].printer, "plotter|laser");
    EXPECT_EQ(spooler.jobs[2].bytes, ReadFile(plot) + "RP1;;");
    // Every row of a run goes through the folder of the run's start.
    EXPECT_FALSE(fs::exists(other / kTemp));
    probe.answers["laser"] = {"LaserWriter", "PostScript"};
    Run();
    EXPECT_EQ(runner.TempFileName(), (other / kTemp).string());
    EXPECT_TRUE(fs::exists(other / kTemp));
}

TEST_F(SpoolRunTest, CountThatIsNoNumberStopsTheRunAndKeepsWhatWasSentAndTheRestOfTheList) {
    Printer("plotter");
    Choose([](SpoolChoices& c) { c.deviceCopies = c.clearAfterSpooling = true; });
    List({plot, plot, plot}, {"2", "1.5", "4"});

    const std::string error = "'1.5' is not a valid integer value";
    EXPECT_EQ(RunError(), error);
    EXPECT_EQ(End(), error);  // the observer hears it before it is thrown
    EXPECT_EQ(Documents(), Names{kTemp});
    EXPECT_FALSE(runner.LastRun().finished || runner.LastRun().stopped);
    // The rows not sent stay.
    EXPECT_EQ(std::pair(FileCount(), jobs.Get().Rows()[0].copies),
              std::pair(2, std::string("1.5")));

    // With the count mended the rest of the list goes.
    jobs.Change([](JobList& list) { list.SetCopies(0, "1"); });
    Run();
    EXPECT_EQ(std::pair(spooler.jobs.size(), End()), std::pair(3ul, std::string("finished")));

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

TEST_F(SpoolRunTest, FilesTheRunCannotReadAndAFailingProbeStopTheRunWithTheirText) {
    const std::string missing = (folder / "gone.plt").string();
    List({a, missing, c}, {"1", "1", "1"});
    EXPECT_EQ(RunError(), "Cannot open file " + missing);
    EXPECT_EQ(std::pair(Documents(), End()), std::pair(Names{"A"}, "Cannot open file " + missing));

    Printer("plotter");
    user.betweenFiles = [&](int) { probe.broken.insert("plotter"); };
    List({a, b}, {"1", "1"});
    EXPECT_EQ(RunError(), "the driver failed");
    EXPECT_EQ(Documents(), (Names{"A", "A"}));
    EXPECT_EQ(std::tuple(FileCount(), jobs.Get().Rows()[1].file), std::tuple(2, b));
}

// Reading a named pipe or a device could wait or run for ever; a folder is no print file.
TEST_F(SpoolRunTest, ANameThatIsThereButIsNoFileIsRefusedAtOnceAndTheRunGoesOn) {
    const std::string device = "/dev/null", box = (folder / "tmp").string();
    for (const bool set : {false, true}) {
        SCOPED_TRACE(set ? "set" : "rows");
        spooler.jobs.clear();
        Choose([&](SpoolChoices& c) { c.jobAsSet = set; });
        List({device, a, box}, {"1", "1", "1"});
        Run();
        EXPECT_EQ(std::pair(Documents(), End()), std::pair(Names{"A"}, std::string("finished")));
        EXPECT_EQ(RefusedSendsMessage(runner.LastRun().refused), "Not sent to raw:\nnull\ntmp");
        EXPECT_EQ(runner.LastRun().refused[1].reason, "Cannot open file " + box);
    }
}

TEST_F(SpoolRunTest, RefusedSendsAreReportedAndTheRunGoesOn) {
    List({a, b, c}, {"2", "1", "1"});
    user.betweenFiles = [&](int files) { spooler.refuseStart = files == 1; };
    Run();
    EXPECT_EQ(Documents(), (Names{"A", "A", "C"}));
    const SpoolRunReport& report = runner.LastRun();
    EXPECT_EQ(RefusedSendsMessage(report.refused), "Not sent to raw:\nB");
    EXPECT_EQ(std::tuple(report.sends(), report.accepted(), report.refused.size(), End()),
              std::tuple(4, 3, 1u, "finished"));
    EXPECT_EQ(report.refused[0].file + "|" + report.refused[0].reason, b + "|start refused");

    // Each refused copy of a plot without a place for the replot is named, by its own name.
    Printer("plotter");
    Choose([](SpoolChoices& c) { c.deviceCopies = true; });
    List({Sample("hp2xx/acad.hp")}, {"2"});
    spooler.refuseFinish = true;
    Run();
    EXPECT_EQ(RefusedSendsMessage(runner.LastRun().refused),
              "Not sent to plotter:\nacad.hp\nacad.hp");

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

// The run tries again every kRoomRetrySeconds while its observer wants it to, and says when the
// wait begins and ends.
TEST_F(SpoolRunTest, AFullPrintServerIsWaitedForUntilItHasRoomOrTheObserverGivesUp) {
    List({a, b}, {"1", "1"});
    spooler.full = 1;
    Run();
    EXPECT_EQ(observer->log, (Names{"start 0 A", "waiting raw", "room raw", "sent A", "start 1 B",
                                    "sent B", "done "}));

    spooler.jobs.clear();
    spooler.full = 1;
    user.keepWaiting = [](int) { return false; };
    Run();
    EXPECT_EQ(observer->log, (Names{"start 0 A", "waiting raw", "room raw", "refused A",
                                    "start 1 B", "sent B", "done "}));
    EXPECT_EQ(runner.LastRun().refused[0].reason, "the print server is full");
}

// A stop asked for while a file goes out ends the run before the next one, in either mode; the
// rows not sent stay in the list.
TEST_F(SpoolRunTest, AStopEndsTheRunBetweenTwoFiles) {
    Choose([](SpoolChoices& c) { c.clearAfterSpooling = true; });
    for (const bool set : {false, true}) {
        SCOPED_TRACE(set ? "set" : "rows");
        spooler.jobs.clear();
        Choose([&](SpoolChoices& c) { c.jobAsSet = set; });
        List({a, b, c}, {"1", "1", "1"});
        std::stop_source stop;
        user.afterSend = [&](int) { stop.request_stop(); };
        Run(stop.get_token());
        EXPECT_EQ(std::tuple(Documents(), End(), runner.LastRun().stopped),
                  std::tuple(Names{"A"}, "stopped", true));
        EXPECT_EQ(std::pair(FileCount(), FirstFile()), set ? std::pair(3, a) : std::pair(2, b));
    }
}

// A run on a thread of its own, waiting for room, is stopped from another: the wait ends at once,
// the file waited for counts as refused and the run goes no further; also when it was the last.
TEST_F(SpoolRunTest, AStopEndsAWaitForRoomOnTheRunsOwnThread) {
    for (const Names& files : {Names{a, b}, Names{a}}) {
        SCOPED_TRACE(files.size());
        List(files, Names(files.size(), "1"));
        spooler.full = 1 << 30;
        observer = std::make_unique<Recorder>();
        std::jthread run([this](std::stop_token stop) { runner.Run(jobs, *observer, stop); });
        ASSERT_TRUE(
            WaitUntil([&] { return observer->waitingNow.load(); }, std::chrono::seconds(20)));
        run.request_stop();
        run.join();
        EXPECT_EQ(observer->log,
                  (Names{"start 0 A", "waiting raw", "room raw", "refused A", "done "}));
        EXPECT_EQ(std::tuple(Documents(), runner.LastRun().stopped, runner.LastRun().finished,
                             FileCount()),
                  std::tuple(Names{}, true, false, static_cast<int>(files.size())));
    }
}

// At the real server, the plotter's queue (two copies of the first row) or the server under a
// raw queue gone mid-run: the rest is refused and named, nothing raised.
struct SpoolRunServerLoss : RunTest<SandboxDevices>, ::testing::WithParamInterface<bool> {};

TEST_P(SpoolRunServerLoss, RemainingRowsAreRefusedAndNamed) {
    const bool queueRemoved = GetParam();
    const std::string queue =
        queueRemoved ? SandboxPrintServer::kHpglQueue : SandboxPrintServer::kRawQueue;
    Printer(queue);
    Choose([&](SpoolChoices& c) { c.deviceCopies = queueRemoved; });
    List({Sample("hp2xx/inter.hp"), Sample("hp2xx/dt.plt"), Sample("hp2xx/pages.hp")},
         {queueRemoved ? "2" : "1", "1", "1"});
    user.betweenFiles = [&](int files) {
        if (files == 1) {
            server.WaitForJobs(queue, 1);
            if (queueRemoved)
                ASSERT_EQ(std::system("lpadmin -x hpgl-plotter"), 0);
            else
                server.Stop();
        }
    };
    EXPECT_NO_THROW(Run());

    EXPECT_EQ(End(), "finished");
    EXPECT_EQ(RefusedSendsMessage(runner.LastRun().refused),
              "Not sent to " + queue + ":\ndt.plt\npages.hp");
    EXPECT_EQ(std::pair(runner.LastRun().accepted(), server.ReceivedFiles(queue).size()),
              std::pair(1, 1ul));
}

INSTANTIATE_TEST_SUITE_P(Losses, SpoolRunServerLoss, ::testing::Bool(), [](const auto& info) {
    return std::string(info.param ? "QueueRemoved" : "ServerStopped");
});

}  // namespace
}  // namespace tavrin::test
