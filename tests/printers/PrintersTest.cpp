// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <stdlib.h>
#include <time.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <tuple>

#include "printers/DeviceClass.h"
#include "printers/DeviceName.h"
#include "printers/OptionRules.h"
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

// The boxes' steps, "|" between them: the box (G group, R copies by the device, Q quality, C
// collate, F fit, L the copies label), then "=" and the caption, or + or - and v, c, e for
// visible, checked, enabled.
std::string Text(const OptionSteps& steps) {
    std::string text;
    for (const OptionStep& step : steps) {
        text += (text.empty() ? "" : "|") + std::string(1, "GRQCFL"[static_cast<int>(step.box)]);
        text += step.change == OptionStep::Change::Caption
                    ? "=" + step.caption
                    : (step.on ? "+" : "-") + std::string(1, "?vce"[static_cast<int>(step.change)]);
    }
    return text;
}

// The order of the steps is part of each rule: a box's check changed runs that box's own rule.
TEST(OptionRules, EachRuleGivesItsStepsInOrder) {
    using K = DeviceKind;
    const std::string hpgl =
        "G=HPGL/2 devices only|G+v|R=Copies by plotter|R+v|R-c|R+e|Q+v|Q-c|Q+e|C-e|F-v";
    const std::string postScript = "G=PS devices only|G+v|R=Copies by printer|R+v|R+e";
    const std::pair<OptionSteps, std::string> rows[] = {
        {OptionsForDevice(K::HpGl2, true), hpgl},
        {OptionsForDevice(K::HpGl2, false), hpgl},
        // Collation only for copies the printer makes.
        {OptionsForDevice(K::PostScript, true), postScript + "|C+e|Q-v|F+v"},
        {OptionsForDevice(K::PostScript, false), postScript + "|Q-v|F+v"},
        {OptionsForDevice(K::Oce, true),
         "G=Oce devices only|G+v|R=Copies by plotter|R+v|R-c|R+e|C-e|Q-v|Q-c|F-v|F-c"},
        {OptionsForDevice(K::Other, true), "G-v|R-v|R-c|Q-v|Q-c|F-v|F-c"},
        {OptionsForSetMode(true, true), "C-e|C-c|R-e|R-c|L=Number of sets"},
        {OptionsForSetMode(true, false), "C-e|C-c|R-e|R-c|L=Number of sets"},
        {OptionsForSetMode(false, true), "C+e|R+e|L=Global # of copies"},
        {OptionsForSetMode(false, false), "R+e|L=Global # of copies"},
        {OptionsForDeviceCopies(true, true), "C+e"},
        {OptionsForDeviceCopies(true, false), "C-e|C-c"},
        {OptionsForDeviceCopies(false, true), "C-e|C-c"},
        {OptionsForDeviceCopies(false, false), "C-e|C-c"},
        {OptionsAfterPrinterChosen(true, true), "R-e|C-e"},
        {OptionsAfterPrinterChosen(true, false), "R-e|C-e"},
        {OptionsAfterPrinterChosen(false, true), "R+e|C+e"},
        {OptionsAfterPrinterChosen(false, false), ""},
    };
    for (std::size_t i = 0; i < std::size(rows); ++i)
        EXPECT_EQ(Text(rows[i].first), rows[i].second) << "row " << i;
}

// The group's and the device copies' captions, then "vce" (visible, checked, enabled; "-" where
// not) of the group, device copies, quality, collate and fit.
std::string Shown(const OptionBoxes& boxes) {
    using B = OptionBox;
    std::string text = boxes[B::Group].caption + "|" + boxes[B::DeviceCopies].caption + "|";
    for (const B box : {B::Group, B::DeviceCopies, B::QualityOnPlotter, B::Collate, B::FitToPage}) {
        const OptionBoxState& state = boxes[box];
        text += std::string(state.visible ? "v" : "-") + (state.checked ? "c" : "-") +
                (state.enabled ? "e" : "-") + " ";
    }
    return text;
}

// A window's boxes start as for a plotter, none checked; each change of set mode, of a printer or
// of a click cascades as the rules say. The clicks' answers: + changed, - the box was not there.
TEST(OptionBoxes, SetModeCopiesAndCollationFollowEachOtherAsAUserClicks) {
    using B = OptionBox;
    OptionBoxes boxes;
    EXPECT_EQ(Shown(boxes) + boxes[B::CopiesLabel].caption,
              "HP DesignJets only|Copies by plotter|v-e v-- v-- v-- v-e Global # of copies");
    std::string ticks;
    const auto tick = [&](B box, bool checked) { ticks += boxes.Tick(box, checked) ? "+" : "-"; };
    const std::pair<std::function<void()>, const char*> steps[] = {
        {[&] { boxes.SetSetMode(true); }, "--|--|Number of sets"},
        {[&] { boxes.SetSetMode(false); }, "-e|--|Global # of copies"},
        // Collation is for PostScript only.
        {[&] { tick(B::DeviceCopies, true), tick(B::Collate, true); },
         "+-ce|--|Global # of copies"},
        {[&] { tick(B::DeviceCopies, false), boxes.ChoosePrinter(DeviceKind::PostScript); },
         "+-e|-e|Global # of copies"},
        {[&] { tick(B::DeviceCopies, true), tick(B::Collate, true); },
         "++ce|ce|Global # of copies"},
        {[&] { boxes.SetSetMode(true), tick(B::DeviceCopies, true); }, "---|--|Number of sets"},
        {[&] { boxes.SetSetMode(false); }, "-e|-e|Global # of copies"},
        {[&] { tick(B::DeviceCopies, true), tick(B::Collate, true), tick(B::DeviceCopies, false); },
         "+++-e|--|Global # of copies"},
        // Hidden, the box takes no click.
        {[&] { boxes.ChoosePrinter(DeviceKind::Other), tick(B::DeviceCopies, true); },
         "--e|--|Global # of copies"},
    };
    for (const auto& [step, shown] : steps) {
        ticks.clear();
        step();
        const auto box = [&](B b) {
            return std::string(boxes[b].checked ? "c" : "-") + (boxes[b].enabled ? "e" : "-");
        };
        EXPECT_EQ(ticks + box(B::DeviceCopies) + "|" + box(B::Collate) + "|" +
                      boxes[B::CopiesLabel].caption,
                  shown);
        EXPECT_EQ(boxes.setMode(), boxes[B::CopiesLabel].caption == "Number of sets");
    }
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
    }

    PrinterSelection& selection() {
        if (!selection_)
            selection_ = std::make_unique<PrinterSelection>(spooler, probe);
        return *selection_;
    }
    // A choice in the printer box, as a window makes it: the printer, then its kind's boxes.
    bool Choose(int index) {
        if (!selection().Choose(index))
            return false;
        boxes.ChoosePrinter(ClassOf(selection().DeviceClass()));
        return true;
    }
    // The requests that reached the spooler and probe: listings, opens, probes, open handles.
    std::string Asked() const {
        return std::to_string(spooler.listings) + " " + std::to_string(spooler.opened) + " " +
               std::to_string(probe.probes) + " " + std::to_string(spooler.openHandles);
    }

    SlowListSpooler spooler;
    test::FakeDeviceProbe probe;
    OptionBoxes boxes;

private:
    std::unique_ptr<PrinterSelection> selection_;
};

TEST_F(PrintersTest, WithoutPrintersTheStartUpSaysSoAndClassifiesNothing) {
    spooler.printers.clear();
    EXPECT_FALSE(selection().SelectStartupPrinter(2));
    EXPECT_EQ(std::string(PrinterSelection::kNoPrinterInstalled),
              "No printer or plotter installed\rInstall a driver before you use this program");
    EXPECT_EQ(std::pair(selection().PrinterIndex(), probe.probes), std::pair(2, 0));
    EXPECT_FALSE(selection().Choose(0));
}

// Before each choice every box is checked, hidden and disabled (collation enabled where the
// device must disable it), so that each shown, cleared or enabled box is the choice's doing.
// Oce comes after PostScript: leaving PostScript clears copies, whose rule disables collation.
TEST_F(PrintersTest, EachDeviceClassShowsItsOptions) {
    using B = OptionBox;
    const std::tuple<int, std::string, std::string> rows[] = {
        {0, "HPGL/2",
         "HPGL/2 devices only|Copies by plotter|vc- v-e v-e --- -c- Port: socket://10.0.0.7:9100"},
        {3, "Unknown", "before|before|-c- --- --- --- --- Port: FAX:"},
        {1, "POSTSCRIPT",
         "PS devices only|Copies by printer|vc- vce -c- -ce vc- Port: ipp://printhost/ipp"},
        {2, "Oce 9X00", "Oce devices only|Copies by plotter|vc- v-e --- --- --- Port: LPT1:"},
    };
    for (const auto& [index, deviceClass, options] : rows) {
        SCOPED_TRACE(deviceClass);
        for (const B box :
             {B::Group, B::DeviceCopies, B::QualityOnPlotter, B::Collate, B::FitToPage}) {
            boxes.Apply({{box, OptionStep::Change::Caption, false, "before"},
                         {box, OptionStep::Change::Checked, true, ""},
                         {box, OptionStep::Change::Visible, false, ""},
                         {box, OptionStep::Change::Enabled,
                          box == B::Collate && deviceClass != "POSTSCRIPT", ""}});
        }
        EXPECT_TRUE(Choose(index));
        EXPECT_EQ(selection().DeviceClass(), deviceClass);
        EXPECT_EQ(Shown(boxes) + selection().PrinterPanelText(false), options);
    }
    EXPECT_EQ(selection().DeviceName(), "Oce 9600");
    // A choice without a valid printer changes nothing.
    EXPECT_FALSE(Choose(-1) || Choose(4));
    EXPECT_EQ(std::to_string(selection().PrinterIndex()) + selection().DeviceClass(), "2Oce 9X00");
    for (const bool set : {true, false}) {  // as a set, PostScript leaves copies and collation off
        boxes.SetSetMode(set);
        boxes.Tick(B::DeviceCopies, set);
        Choose(1);
        EXPECT_EQ(std::pair(boxes[B::DeviceCopies].enabled, boxes[B::Collate].enabled),
                  std::pair(!set, !set));
    }
}

TEST_F(PrintersTest, APrinterThatCannotBeOpenedOrProbedIsStillShown) {
    spooler.refuseOpen.insert("Plotter");
    Choose(0);
    EXPECT_EQ(selection().PortName() + "|" + selection().DeviceClass() + "|" +
                  selection().PrinterPanelText(false),
              "|HPGL/2|Port: ");
    probe.broken.insert("Laser");
    Choose(1);
    EXPECT_FALSE(boxes[OptionBox::Group].visible);
    EXPECT_EQ(selection().DeviceClass() + "|" + selection().PrinterPanelText(true),
              "Invalid or unknown|Invalid or unknown printertype selected");
    EXPECT_EQ(selection().ProbedTypeText(), "Invalid or unknown driver");
    EXPECT_EQ(spooler.openHandles, 0);
}

// The catalogue is read once; a stored index out of range selects the first printer.
TEST_F(PrintersTest, TheStartUpSelectsTheStoredPrinterAndThePanelShowsTypeOrPort) {
    selection();
    spooler.printers.push_back("Late");
    EXPECT_EQ(selection().Printers(),
              (std::vector<std::string>{"Plotter", "Laser", "Oce 9600 on LPT1:", "Fax"}));
    for (const auto& [stored, selected] : {std::pair{7, 0}, {-1, 0}, {3, 3}, {4, 0}}) {
        EXPECT_TRUE(selection().SelectStartupPrinter(stored));
        EXPECT_EQ(selection().PrinterIndex(), selected) << stored;
    }
    selection().RefreshPortAndClass();
    EXPECT_EQ(selection().PrinterPanelText(false), "Port: socket://10.0.0.7:9100");
    EXPECT_EQ(selection().PrinterPanelText(true), "HPGL/2 printertype selected");
    // The printer type command probes afresh, without changing the selection's class.
    probe.answers["Plotter"] = {"Plotter", "PostScript"};
    EXPECT_EQ(selection().ProbedTypeText(), "POSTSCRIPT printertype selected");
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

// Each command goes to the printer it names; a refusal is answered, never raised, and says what
// was refused and where.
TEST_F(PrintersTest, EachQueueCommandGoesToTheNamedPrinterARefusalSaysWhatAndWhere) {
    const auto send = [&](const std::string& printer, QueueCommand command) {
        const QueueCommandResult result = SendQueueCommand(spooler, printer, command);
        return std::to_string(result.accepted) + " '" + result.refusal + "' " +
               std::to_string(spooler.openHandles);
    };
    EXPECT_EQ(send("Plotter", QueueCommand::Pause), "1 '' 0");
    EXPECT_EQ(send("Laser", QueueCommand::Resume), "1 '' 0");
    EXPECT_EQ(send("Plotter", QueueCommand::Purge), "1 '' 0");
    EXPECT_EQ(spooler.commands, (Commands{{"Plotter", QueueCommand::Pause},
                                          {"Laser", QueueCommand::Resume},
                                          {"Plotter", QueueCommand::Purge}}));

    const std::string unknown = ": The printer or class does not exist.' 0";
    EXPECT_EQ(send("gone", QueueCommand::Pause), "0 'Cannot open printer gone" + unknown);
    EXPECT_EQ(send("", QueueCommand::Purge), "0 'Cannot open printer " + unknown);
    spooler.refuseCommands = true;
    for (const auto& [command, verb] : {std::pair{QueueCommand::Resume, "resume"},
                                        {QueueCommand::Pause, "pause"},
                                        {QueueCommand::Purge, "purge"}}) {
        EXPECT_EQ(send("Plotter", command), "0 'The print spooler refused to " + std::string(verb) +
                                                " the queue of printer Plotter' 0");
    }
    EXPECT_EQ(spooler.commands.size(), 3u);
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
