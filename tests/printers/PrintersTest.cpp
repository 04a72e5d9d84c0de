// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <stdlib.h>
#include <time.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <tuple>

#include "joblist/GridModel.h"
#include "platform/PlainForm.h"
#include "printers/DeviceClass.h"
#include "printers/DeviceName.h"
#include "printers/PrinterAddress.h"
#include "printers/PrinterSelection.h"
#include "printers/ProbeDeviceClass.h"
#include "printers/QueueJobText.h"
#include "printers/QueueManagement.h"
#include "printers/StartupPrefetch.h"
#include "support/FakePrintSpooler.h"
#include "support/SpoolErrorText.h"

namespace tavrin {
namespace {

using test::SpoolErrorText;
using Commands = std::vector<std::pair<std::string, QueueCommand>>;
const std::string kCaptionAtStart = "     &OK, Print!!";

TEST(DeviceClass, TheProbesAnswerIsCutAndTheKindTestsTakeTheFirstMatch) {
    using K = DeviceKind;
    // The description, the technology, the class and its kind.
    const std::tuple<std::string, std::optional<std::string>, std::string, DeviceKind> rows[] = {
        {"Plotter", "hpgl/2", "HPGL/2", K::HpGl2},
        {"Plotter", "PostScript HPGL", "POSTSCRIPT HPGL", K::HpGl2},
        {"Laser", "PostScript", "POSTSCRIPT", K::PostScript},
        {"Laser", "PostScript 3", "POSTSCRIPT 3", K::Other},
        {"Laser", std::nullopt, "Unknown", K::Other},
        {"Oce 9600", std::nullopt, "Oce 9X00", K::Oce},
        {"oce 9600", std::nullopt, "Unknown", K::Other},
        {"OCE 9600", std::nullopt, "Unknown", K::Other},
        {"Oce 9600", "PostScript", "POSTSCRIPT", K::PostScript},
        {"Oce 9600", "oce 9x00", "OCE 9X00", K::Other},
        {"Plotter", "Raster \xe9t\xe9", "RASTER \xe9T\xe9", K::Other},
        {"Plotter", std::string("hpgl\0postscript", 15), "HPGL", K::HpGl2},  // at the first NUL
        {"Plotter", std::string(256, 'x') + "HPGL", std::string(256, 'X'), K::Other},  // at 256
    };
    test::FakeDeviceProbe probe;
    for (const auto& [description, technology, deviceClass, kind] : rows) {
        probe.answers["dev"] = DeviceAnswer{description, technology};
        EXPECT_EQ(ProbeDeviceClass(probe, "dev"), deviceClass) << description;
        EXPECT_EQ(ClassOf(deviceClass), kind) << deviceClass;
    }
    for (const char* other : {"postscript", "Oce 9X00 ", "hpgl", "Invalid or unknown", ""})
        EXPECT_EQ(ClassOf(other), K::Other) << other;
    probe.broken.insert("dev");
    EXPECT_THROW(ProbeDeviceClass(probe, "dev"), Error);
    // The device name is the entry cut before its first " on ".
    std::string names;
    for (const char* entry : {"Oce 9600 on LPT1:", "A on B on C", "plotter",
                              "Printer ON LPT1:", "Laser online", " on port"})
        names += DeviceNameOf(entry) + "|";
    EXPECT_EQ(names, "Oce 9600|A|plotter|Printer ON LPT1:|Laser online||");
}

TEST(QueueJobText, ALineHoldsTheFiveFieldsWhateverTheNameAndTimesAreLocal) {
    const auto zone = [](const char* tz) { tz ? setenv("TZ", tz, 1) : unsetenv("TZ"), tzset(); };
    zone("UTC");
    const QueueJobText text =
        TextOf({17, "XANADU-PLT-test.plt", 132, QueueJobState::Held, 1700000000});
    EXPECT_EQ(
        text.id + "|" + text.documentName + "|" + text.size + "|" + text.state + "|" + text.time,
        "17|XANADU-PLT-test.plt|132 KB|Held|2023-11-14 22:13:20");
    EXPECT_EQ(
        QueueJobLine({3, "two\tparts\nof a\rname.plt", 0, QueueJobState::Pending, 1700000000}),
        "3\ttwo parts of a name.plt\t0 KB\tWaiting\t2023-11-14 22:13:20");
    EXPECT_EQ(QueueJobLine({4, "a.plt", 1, QueueJobState::Processing, 0}),
              "4\ta.plt\t1 KB\tPrinting\t");
    EXPECT_EQ(TimeText(-5), "");
    zone("CET-1");
    EXPECT_EQ(TimeText(1700000000), "2023-11-14 23:13:20");
    zone(nullptr);
    std::string states;
    for (int state = 0; state <= static_cast<int>(QueueJobState::Completed); ++state)
        states += StateText(static_cast<QueueJobState>(state)) + "|";
    EXPECT_EQ(states, "Waiting|Held|Printing|Stopped|Cancelled|Aborted|Completed|");
}

// A spooler whose list takes a while; it counts listings and notes a request made while listing.
class SlowListSpooler : public test::FakePrintSpooler {
public:
    std::atomic<bool> listing{false};
    std::atomic<bool> overlapped{false};
    std::atomic<int> listings{0};
    bool breaksAtOpen = false;

    std::vector<std::string> PrinterNames() override {
        listing = true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        ++listings;
        listing = false;
        return FakePrintSpooler::PrinterNames();
    }
    std::unique_ptr<PrinterHandle> Open(const std::string& printerName) override {
        overlapped = overlapped || listing;
        if (breaksAtOpen)
            throw Error("the spooler broke");
        return FakePrintSpooler::Open(printerName);
    }
};

class PrintersTest : public ::testing::Test {
protected:
    PrintersTest() {
        spooler.printers = {"Plotter", "Laser", "Oce 9600 on LPT1:", "Fax"};
        spooler.ports = {{"Plotter", "socket://10.0.0.7:9100"},
                         {"Laser", "ipp://printhost/ipp"},
                         {"Oce 9600", "LPT1:"},
                         {"Fax", "FAX:"}};
        probe.answers["Plotter"] = {"Plotter", "hpgl/2"};
        probe.answers["Laser"] = {"Laser", "PostScript"};
        probe.answers["Oce 9600"] = {"Oce 9600 plot room", std::nullopt};
        // SmartReplots' handler as the job list has it: collation only with PostScript devices.
        form.smartReplots.onClick = [this] {
            ++smartReplotsClicks;
            if (!form.smartReplots.checked() ||
                ClassOf(selection().DeviceClass()) != DeviceKind::PostScript) {
                form.psCollate.setEnabled(false);
                form.psCollate.setChecked(false);
            }
        };
        form.onShowMessage = [this](const std::string& text) { messages.push_back(text); };
        form.resumePrinting1.setEnabled(false);  // as after start-up
        form.okPrint.setCaption("Busy!");
    }

    PrinterSelection& selection() {
        if (!selection_)
            selection_ = std::make_unique<PrinterSelection>(spooler, probe);
        return *selection_;
    }
    void Choose(int index) { selection().PrinterListChange(form, index); }
    // The group's and SmartReplots' captions, "vce" (visible, checked, enabled; "-" where not)
    // of groupBox3, smartReplots, removeQL, psCollate and fitToPage, and the printer panel.
    std::string Options() {
        std::string text = form.groupBox3.caption() + "|" + form.smartReplots.caption() + "|";
        for (Control* c : {&form.groupBox3, &form.smartReplots, &form.removeQL, &form.psCollate,
                           &form.fitToPage}) {
            text += std::string(c->visible() ? "v" : "-") + (c->checked() ? "c" : "-") +
                    (c->enabled() ? "e" : "-") + " ";
        }
        return text + form.statusBar1.panel(2);
    }
    // Accepted, refusal, pause and resume items enabled, print caption, handles left open.
    std::string After(const QueueCommandResult& result) const {
        return std::to_string(result.accepted) + " '" + result.refusal + "' " +
               std::to_string(form.pausePrinting1.enabled()) +
               std::to_string(form.resumePrinting1.enabled()) + " '" + form.okPrint.caption() +
               "' " + std::to_string(spooler.openHandles);
    }
    // The requests that reached the spooler and probe: listings, opens, probes, open handles.
    std::string Asked() const {
        return std::to_string(spooler.listings) + " " + std::to_string(spooler.opened) + " " +
               std::to_string(probe.probes) + " " + std::to_string(spooler.openHandles);
    }

    SlowListSpooler spooler;
    test::FakeDeviceProbe probe;
    GridModel grid;
    PlainForm form{grid};
    int smartReplotsClicks = 0;
    std::vector<std::string> messages;

private:
    std::unique_ptr<PrinterSelection> selection_;
};

TEST_F(PrintersTest, WithoutPrintersTheStartUpSaysSoAndClassifiesNothing) {
    spooler.printers.clear();
    EXPECT_FALSE(selection().SelectStartupPrinter(form, 2));
    EXPECT_EQ(messages, std::vector<std::string>{"No printer or plotter installed\rInstall a "
                                                 "driver before you use this program"});
    selection().ClassifyAtStartup(form);
    EXPECT_EQ(std::pair(selection().PrinterIndex(), probe.probes), std::pair(2, 0));
    EXPECT_EQ(Options(), "HP DesignJets only|Copies by plotter|v-e v-- v-- v-- v-e ");
}

// Before each choice every option is checked, hidden and disabled (collation enabled where the
// device must disable it), so that each shown, cleared or enabled option is the choice's doing.
// Oce comes after PostScript: leaving PostScript clears copies, whose handler disables collation.
TEST_F(PrintersTest, EachDeviceClassShowsItsOptions) {
    const std::tuple<int, std::string, std::string> rows[] = {
        {0, "HPGL/2",
         "HPGL/2 devices only|Copies by plotter|vc- v-e v-e --- -c- Port: socket://10.0.0.7:9100 "
         "1"},
        {3, "Unknown", "before|before|-c- --- --- --- --- Port: FAX: 1"},
        {1, "POSTSCRIPT",
         "PS devices only|Copies by printer|vc- vce -c- -ce vc- Port: ipp://printhost/ipp 0"},
        {2, "Oce 9X00", "Oce devices only|Copies by plotter|vc- v-e --- --- --- Port: LPT1: 1"},
    };
    for (const auto& [index, deviceClass, options] : rows) {
        SCOPED_TRACE(deviceClass);
        for (Control* c : {&form.groupBox3, &form.smartReplots, &form.removeQL, &form.psCollate,
                           &form.fitToPage}) {
            c->setCaption("before");
            c->setChecked(true);
            c->setVisible(false);
            c->setEnabled(c == &form.psCollate && deviceClass != "POSTSCRIPT");
        }
        smartReplotsClicks = 0;
        Choose(index);
        EXPECT_EQ(selection().DeviceClass(), deviceClass);
        EXPECT_EQ(Options() + " " + std::to_string(smartReplotsClicks), options);
    }
    EXPECT_EQ(selection().DeviceName(), "Oce 9600");
    Choose(-1);  // a change without a valid selection changes nothing
    Choose(4);
    EXPECT_EQ(std::to_string(selection().PrinterIndex()) + selection().DeviceClass(), "2Oce 9X00");
    for (const bool set : {true, false}) {  // as a set, PostScript leaves copies and collation off
        form.jobAsSet.setChecked(set);
        form.smartReplots.setChecked(set);
        Choose(1);
        EXPECT_EQ(std::pair(form.smartReplots.enabled(), form.psCollate.enabled()),
                  std::pair(!set, !set));
    }
}

TEST_F(PrintersTest, APrinterThatCannotBeOpenedOrProbedIsStillShown) {
    spooler.refuseOpen.insert("Plotter");
    Choose(0);
    EXPECT_EQ(
        selection().PortName() + "|" + selection().DeviceClass() + "|" + form.statusBar1.panel(2),
        "|HPGL/2|Port: ");
    probe.broken.insert("Laser");
    form.printertype1.setChecked(true);
    Choose(1);
    EXPECT_FALSE(form.groupBox3.visible());
    EXPECT_EQ(selection().DeviceClass() + "|" + form.statusBar1.panel(2),
              "Invalid or unknown|Invalid or unknown printertype selected");
    selection().Printertype1Click(form);
    EXPECT_EQ(form.statusBar1.panel(2), "Invalid or unknown driver");
    EXPECT_TRUE(messages.empty() && spooler.openHandles == 0);
}

// The catalogue is read once; a stored index out of range selects the first printer.
TEST_F(PrintersTest, TheStartUpSelectsTheStoredPrinterAndThePanelShowsTypeOrPort) {
    selection();
    spooler.printers.push_back("Late");
    EXPECT_EQ(selection().Printers(),
              (std::vector<std::string>{"Plotter", "Laser", "Oce 9600 on LPT1:", "Fax"}));
    for (const auto& [stored, selected] : {std::pair{7, 0}, {-1, 0}, {3, 3}, {4, 0}}) {
        EXPECT_TRUE(selection().SelectStartupPrinter(form, stored));
        EXPECT_EQ(selection().PrinterIndex(), selected) << stored;
    }
    selection().ClassifyAtStartup(form);
    EXPECT_EQ(form.statusBar1.panel(2), "Port: socket://10.0.0.7:9100");
    const auto marks = [this] {
        return std::to_string(form.printertype1.checked()) +
               std::to_string(form.portinStatusbar1.checked()) + " " + form.statusBar1.panel(2);
    };
    selection().Printertype1Click(form);
    EXPECT_EQ(marks(), "10 HPGL/2 printertype selected");
    selection().PortinStatusbar1Click(form);
    EXPECT_EQ(marks(), "01 Port: socket://10.0.0.7:9100");
    // The printer type command probes afresh, without changing the selection's class.
    probe.answers["Plotter"] = {"Plotter", "PostScript"};
    selection().Printertype1Click(form);
    EXPECT_EQ(form.statusBar1.panel(2), "POSTSCRIPT printertype selected");
    EXPECT_EQ(selection().DeviceClass(), "HPGL/2");
    for (int i = 0; i < 4; ++i)
        Choose(i);
    EXPECT_EQ(std::pair(spooler.opened, spooler.openHandles), std::pair(5, 0));
}

TEST_F(PrintersTest, TheStartUpRequestsTakeTheWorkersAnswersAndLaterOnesAskAfresh) {
    StartupPrefetch prefetch(spooler, probe, [] { return 2; });
    EXPECT_EQ(prefetch.Spooler().PrinterNames(), spooler.printers);
    auto handle = prefetch.Spooler().Open("Oce 9600");
    EXPECT_EQ(handle->PortName(), "LPT1:");
    EXPECT_EQ(prefetch.Probe().Probe("Oce 9600").description, "Oce 9600 plot room");
    EXPECT_EQ(Asked(), "1 1 1 1");  // each asked once, by the worker
    EXPECT_FALSE(spooler.overlapped);
    EXPECT_EQ(prefetch.Spooler().PrinterNames().size(), 4u);
    EXPECT_TRUE(prefetch.Spooler().Open("Oce 9600")->ok());
    prefetch.Probe().Probe("Oce 9600");
    EXPECT_EQ(Asked(), "2 2 2 1");
}

TEST_F(PrintersTest, AProbeOrOpenThatBrokeOnTheWorkerBreaksTheFirstRequestOnly) {
    probe.broken.insert("Plotter");
    {
        StartupPrefetch prefetch(spooler, probe, [] { return 0; });
        EXPECT_EQ(SpoolErrorText([&] { prefetch.Probe().Probe("Plotter"); }), "the driver failed");
        EXPECT_EQ(probe.probes, 1);
    }
    spooler.breaksAtOpen = true;
    StartupPrefetch prefetch(spooler, probe, [] { return 1; });
    EXPECT_EQ(prefetch.Spooler().PrinterNames(), spooler.printers);
    EXPECT_EQ(SpoolErrorText([&] { prefetch.Spooler().Open("Laser"); }), "the spooler broke");
    // The probe got ready beside it is still taken, and later opens ask the spooler again.
    EXPECT_EQ(prefetch.Probe().Probe("Laser").technology, "PostScript");
    EXPECT_EQ(probe.probes, 2);
    spooler.breaksAtOpen = false;
    EXPECT_TRUE(prefetch.Spooler().Open("Laser")->ok());
}

// The counts of Asked() add up over the prefetches one after the other.
TEST_F(PrintersTest, OnlyTheStoredPrinterIsPreparedAndWhatIsNotTakenIsClosed) {
    {
        StartupPrefetch prefetch(spooler, probe, [] { return 7; });  // out of range: the first
        prefetch.Spooler().PrinterNames();
        EXPECT_EQ(prefetch.Spooler().Open("Plotter")->PortName(), "socket://10.0.0.7:9100");
        EXPECT_EQ(Asked(), "1 1 1 0");
    }
    {
        StartupPrefetch prefetch(spooler, probe, [] { return 0; });
        prefetch.Spooler().PrinterNames();
        auto handle = prefetch.Spooler().Open("Fax");  // goes to the spooler
        EXPECT_TRUE(handle->ok());
        EXPECT_EQ(prefetch.Probe().Probe("Fax").technology, std::nullopt);
        EXPECT_EQ(Asked(), "2 3 3 1");  // the worker's handle is closed
    }
    {
        StartupPrefetch unused(spooler, probe, [] { return 0; });
    }  // waits for its worker
    EXPECT_EQ(Asked(), "3 4 4 0");
    // Unreadable settings leave the printer requests to the window.
    StartupPrefetch prefetch(spooler, probe, []() -> int { throw Error("Unable to read"); });
    EXPECT_EQ(prefetch.Spooler().PrinterNames(), spooler.printers);
    EXPECT_EQ(Asked(), "4 4 4 0");
    EXPECT_TRUE(prefetch.Spooler().Open("Plotter")->ok());
    EXPECT_EQ(Asked(), "4 5 4 0");
    // An unreachable server is reported as without prefetching.
    spooler.unreachable = "Cannot reach the print server /run/cups/cups.sock";
    StartupPrefetch cut(spooler, probe, [] { return 0; });
    EXPECT_TRUE(cut.Spooler().PrinterNames().empty());
    EXPECT_EQ(cut.Spooler().LastError(), spooler.unreachable);
    EXPECT_EQ(Asked(), "5 5 4 0");
}

// Resume goes to the printer selected now, not to the one paused; purge restores the print
// button's caption, but neither its enabled state nor the schedule, nor the menu items.
TEST_F(PrintersTest, EachQueueCommandGoesToTheNamedPrinterARefusalSaysWhatAndWhere) {
    EXPECT_EQ(After(Pauseprinting1Click(form, spooler, "Plotter")), "1 '' 01 'Busy!' 0");
    EXPECT_EQ(After(Resumeprinting1Click(form, spooler, "Laser")), "1 '' 10 'Busy!' 0");
    form.okPrint.setEnabled(false);
    form.timer1.setEnabled(true);
    EXPECT_EQ(After(ClearQueu1Click(form, spooler, "Plotter")),
              "1 '' 10 '" + kCaptionAtStart + "' 0");
    EXPECT_TRUE(!form.okPrint.enabled() && form.timer1.enabled());
    EXPECT_EQ(spooler.commands, (Commands{{"Plotter", QueueCommand::Pause},
                                          {"Laser", QueueCommand::Resume},
                                          {"Plotter", QueueCommand::Purge}}));

    // A refusal goes to the caller only (no exception) and the menu items still switch.
    const std::string unknown = ": The printer or class does not exist.' ";
    EXPECT_EQ(After(Pauseprinting1Click(form, spooler, "gone")),
              "0 'Cannot open printer gone" + unknown + "01 '" + kCaptionAtStart + "' 0");
    form.okPrint.setCaption("Busy!");  // restored also when refused
    EXPECT_EQ(After(ClearQueu1Click(form, spooler, "")),
              "0 'Cannot open printer " + unknown + "01 '" + kCaptionAtStart + "' 0");
    spooler.refuseCommands = true;
    for (const auto& [click, verb, items] : {std::tuple{&Resumeprinting1Click, "resume", "10"},
                                             {&Pauseprinting1Click, "pause", "01"},
                                             {&ClearQueu1Click, "purge", "01"}}) {
        EXPECT_EQ(After(click(form, spooler, "Plotter")),
                  "0 'The print spooler refused to " + std::string(verb) +
                      " the queue of printer Plotter' " + items + " '" + kCaptionAtStart + "' 0");
    }
}

// An address as "scheme host port resource"; "none" where it is no printer address.
TEST(PrinterAddress, ReadsIppIppsAndSocketAddressesWithTheirDefaultPortsAndRefusesTheRest) {
    const std::pair<const char*, const char*> rows[] = {
        {"socket://10.0.0.7", "socket 10.0.0.7 9100 /"},
        {"socket://plotter.local:9101/", "socket plotter.local 9101 /"},
        {"ipp://[fe80::1]:8631/ipp/print", "ipp fe80::1 8631 /ipp/print"},
        {"ipps://printer", "ipps printer 631 /"},
        {"socket://10.0.0.7/queue", "none"},
        {"socket://:9100", "none"},
        {"ipp://host:0/", "none"},
        {"ipp://host:65536/", "none"},
        {"ipp://host:/", "none"},
        {"ipp://ho st/", "none"},
        {"ipp://[::1/", "none"},
        {"lpd://host/queue", "none"},
    };
    const char* schemes[] = {"ipp", "ipps", "socket"};
    for (const auto& [text, expected] : rows) {
        const auto address = ParsePrinterAddress(text);
        EXPECT_EQ(address ? std::string(schemes[static_cast<int>(address->scheme)]) + " " +
                                address->host + " " + std::to_string(address->port) + " " +
                                address->resource
                          : "none",
                  expected)
            << text;
    }
}

}  // namespace
}  // namespace tavrin
