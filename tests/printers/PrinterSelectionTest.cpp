#include "printers/PrinterSelection.h"

#include <gtest/gtest.h>

#include "joblist/GridModel.h"
#include "platform/CupsDeviceProbe.h"
#include "platform/CupsPrintSpooler.h"
#include "platform/PlainForm.h"
#include "printers/DeviceClass.h"
#include "support/FakeDeviceProbe.h"
#include "support/FakePrintSpooler.h"
#include "support/SandboxPrintServer.h"

namespace tavrin {
namespace {

class PrinterSelectionTest : public ::testing::Test {
protected:
    PrinterSelectionTest() {
        spooler.printers = {"Plotter", "Laser", "Oce 9600 on LPT1:", "Fax"};
        spooler.ports = {{"Plotter", "socket://10.0.0.7:9100"},
                         {"Laser", "ipp://printhost/ipp"},
                         {"Oce 9600", "LPT1:"},
                         {"Fax", "FAX:"}};
        probe.answers["Plotter"] = {"Plotter", "hpgl/2"};
        probe.answers["Laser"] = {"Laser", "PostScript"};
        // SmartReplots' click handler as the job list has it: without a PostScript device (or
        // when unchecked) collation is off and cannot be chosen.
        form.smartReplots.onClick = [this] {
            ++smartReplotsClicks;
            if (!form.smartReplots.checked() ||
                ClassOf(selection().DeviceClass()) != DeviceKind::PostScript) {
                form.psCollate.setEnabled(false);
                form.psCollate.setChecked(false);
            }
        };
    }

    PrinterSelection& selection() {
        if (!selection_)
            selection_ = std::make_unique<PrinterSelection>(spooler, probe);
        return *selection_;
    }

    void Choose(int index) { selection().PrinterListChange(form, index); }

    test::FakePrintSpooler spooler;
    test::FakeDeviceProbe probe;
    GridModel grid;
    PlainForm form{grid};
    int smartReplotsClicks = 0;
    std::vector<std::string> messages;

private:
    std::unique_ptr<PrinterSelection> selection_;
};

TEST_F(PrinterSelectionTest, TheCatalogueIsReadOnceAndKept) {
    selection();
    spooler.printers.push_back("Late");
    EXPECT_EQ(selection().Printers().size(), 4u);
    EXPECT_EQ(selection().Printers()[2], "Oce 9600 on LPT1:");
}

TEST_F(PrinterSelectionTest, AStoredIndexOutOfRangeSelectsTheFirstPrinter) {
    EXPECT_TRUE(selection().SelectStartupPrinter(form, 7));
    EXPECT_EQ(selection().PrinterIndex(), 0);
    EXPECT_TRUE(selection().SelectStartupPrinter(form, -1));
    EXPECT_EQ(selection().PrinterIndex(), 0);
    EXPECT_TRUE(selection().SelectStartupPrinter(form, 3));
    EXPECT_EQ(selection().PrinterIndex(), 3);
}

TEST_F(PrinterSelectionTest, WithoutPrintersTheStartUpSaysSoAndClassifiesNothing) {
    spooler.printers.clear();
    form.onShowMessage = [this](const std::string& text) { messages.push_back(text); };
    EXPECT_FALSE(selection().SelectStartupPrinter(form, 2));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0],
              "No printer or plotter installed\rInstall a driver before you use this program");
    EXPECT_EQ(selection().PrinterIndex(), 2);
    selection().ClassifyAtStartup(form);
    EXPECT_EQ(form.statusBar1.panel(2), "");
    EXPECT_EQ(probe.probes, 0);
    EXPECT_EQ(form.groupBox3.caption(), "HP DesignJets only");
}

TEST_F(PrinterSelectionTest, AnHpgl2PlotterShowsThePlotterOptions) {
    form.smartReplots.setChecked(true);
    form.removeQL.setChecked(true);
    form.fitToPage.setChecked(true);
    form.psCollate.setEnabled(true);
    Choose(0);
    EXPECT_EQ(selection().DeviceClass(), "HPGL/2");
    EXPECT_EQ(selection().PortName(), "socket://10.0.0.7:9100");
    EXPECT_EQ(form.groupBox3.caption(), "HPGL/2 devices only");
    EXPECT_TRUE(form.groupBox3.visible());
    EXPECT_EQ(form.smartReplots.caption(), "Copies by plotter");
    EXPECT_TRUE(form.smartReplots.visible());
    EXPECT_FALSE(form.smartReplots.checked());
    EXPECT_TRUE(form.smartReplots.enabled());
    EXPECT_TRUE(form.removeQL.visible());
    EXPECT_FALSE(form.removeQL.checked());
    EXPECT_TRUE(form.removeQL.enabled());
    EXPECT_FALSE(form.psCollate.enabled());
    EXPECT_FALSE(form.fitToPage.visible());
    EXPECT_TRUE(form.fitToPage.checked());  // hidden, not cleared
    EXPECT_EQ(form.statusBar1.panel(2), "Port: socket://10.0.0.7:9100");
}

TEST_F(PrinterSelectionTest, APostScriptPrinterKeepsCopiesByPrinterAndOffersCollation) {
    form.smartReplots.setChecked(true);
    form.removeQL.setChecked(true);
    Choose(1);
    EXPECT_EQ(selection().DeviceClass(), "POSTSCRIPT");
    EXPECT_EQ(form.groupBox3.caption(), "PS devices only");
    EXPECT_EQ(form.smartReplots.caption(), "Copies by printer");
    EXPECT_TRUE(form.smartReplots.checked());
    EXPECT_TRUE(form.smartReplots.enabled());
    EXPECT_TRUE(form.psCollate.enabled());
    EXPECT_FALSE(form.removeQL.visible());
    EXPECT_TRUE(form.removeQL.checked());  // hidden, not cleared
    EXPECT_TRUE(form.fitToPage.visible());
}

TEST_F(PrinterSelectionTest, LeavingPostScriptClearsCopiesAndItsHandlerDisablesCollation) {
    Choose(1);
    form.smartReplots.setChecked(true);
    form.psCollate.setEnabled(true);
    form.psCollate.setChecked(true);
    smartReplotsClicks = 0;
    Choose(2);
    EXPECT_EQ(selection().DeviceClass(), "Oce 9X00");
    EXPECT_EQ(selection().DeviceName(), "Oce 9600");
    EXPECT_EQ(selection().PortName(), "LPT1:");
    EXPECT_EQ(smartReplotsClicks, 1);
    EXPECT_FALSE(form.smartReplots.checked());
    EXPECT_FALSE(form.psCollate.checked());
    EXPECT_FALSE(form.psCollate.enabled());
    EXPECT_EQ(form.groupBox3.caption(), "Oce devices only");
    EXPECT_EQ(form.smartReplots.caption(), "Copies by plotter");
    EXPECT_FALSE(form.removeQL.visible());
    EXPECT_FALSE(form.fitToPage.visible());
}

TEST_F(PrinterSelectionTest, AnyOtherDeviceHidesTheOptionGroup) {
    form.smartReplots.setChecked(true);
    form.removeQL.setChecked(true);
    form.fitToPage.setChecked(true);
    form.groupBox3.setCaption("PS devices only");
    Choose(3);
    EXPECT_EQ(selection().DeviceClass(), "Unknown");
    EXPECT_FALSE(form.groupBox3.visible());
    EXPECT_EQ(form.groupBox3.caption(), "PS devices only");
    EXPECT_FALSE(form.smartReplots.visible());
    EXPECT_FALSE(form.smartReplots.checked());
    EXPECT_FALSE(form.removeQL.visible());
    EXPECT_FALSE(form.removeQL.checked());
    EXPECT_FALSE(form.fitToPage.visible());
    EXPECT_FALSE(form.fitToPage.checked());
}

TEST_F(PrinterSelectionTest, WithTheListAsASetPostScriptLeavesCopiesAndCollationDisabled) {
    form.jobAsSet.setChecked(true);
    form.smartReplots.setChecked(true);
    Choose(1);
    EXPECT_FALSE(form.smartReplots.enabled());
    EXPECT_FALSE(form.psCollate.enabled());
    form.jobAsSet.setChecked(false);
    form.smartReplots.setChecked(false);
    Choose(1);
    EXPECT_TRUE(form.smartReplots.enabled());
    EXPECT_TRUE(form.psCollate.enabled());
}

TEST_F(PrinterSelectionTest, AChangeWithoutAValidSelectionChangesNothing) {
    Choose(1);
    Choose(-1);
    Choose(4);
    EXPECT_EQ(selection().PrinterIndex(), 1);
    EXPECT_EQ(selection().DeviceClass(), "POSTSCRIPT");
}

TEST_F(PrinterSelectionTest, APrinterThatCannotBeOpenedHasNoPortAndIsStillClassified) {
    spooler.refuseOpen.insert("Plotter");
    Choose(0);
    EXPECT_EQ(selection().PortName(), "");
    EXPECT_EQ(selection().DeviceClass(), "HPGL/2");
    EXPECT_EQ(form.statusBar1.panel(2), "Port: ");
    EXPECT_EQ(spooler.openHandles, 0);
}

TEST_F(PrinterSelectionTest, AFailingProbeClassifiesAsInvalidWithoutAMessage) {
    probe.broken.insert("Laser");
    form.onShowMessage = [this](const std::string& text) { messages.push_back(text); };
    form.printertype1.setChecked(true);
    Choose(1);
    EXPECT_EQ(selection().DeviceClass(), "Invalid or unknown");
    EXPECT_FALSE(form.groupBox3.visible());
    EXPECT_EQ(form.statusBar1.panel(2), "Invalid or unknown printertype selected");
    selection().Printertype1Click(form);
    EXPECT_EQ(form.statusBar1.panel(2), "Invalid or unknown driver");
    EXPECT_TRUE(messages.empty());
}

TEST_F(PrinterSelectionTest, ThePrinterPanelShowsTypeOrPortAsTheMenuSays) {
    selection().SelectStartupPrinter(form, 0);
    selection().ClassifyAtStartup(form);
    EXPECT_EQ(form.statusBar1.panel(2), "Port: socket://10.0.0.7:9100");
    selection().Printertype1Click(form);
    EXPECT_TRUE(form.printertype1.checked());
    EXPECT_FALSE(form.portinStatusbar1.checked());
    EXPECT_EQ(form.statusBar1.panel(2), "HPGL/2 printertype selected");
    selection().PortinStatusbar1Click(form);
    EXPECT_FALSE(form.printertype1.checked());
    EXPECT_TRUE(form.portinStatusbar1.checked());
    EXPECT_EQ(form.statusBar1.panel(2), "Port: socket://10.0.0.7:9100");
}

TEST_F(PrinterSelectionTest, ThePrinterTypeCommandProbesAfresh) {
    selection().SelectStartupPrinter(form, 0);
    selection().ClassifyAtStartup(form);
    probe.answers["Plotter"] = {"Plotter", "PostScript"};
    selection().Printertype1Click(form);
    EXPECT_EQ(form.statusBar1.panel(2), "POSTSCRIPT printertype selected");
    EXPECT_EQ(selection().DeviceClass(), "HPGL/2");
}

TEST_F(PrinterSelectionTest, EveryHandleOpenedIsClosed) {
    for (int i = 0; i < 4; ++i)
        Choose(i);
    EXPECT_EQ(spooler.opened, 4);
    EXPECT_EQ(spooler.openHandles, 0);
}

TEST(PrinterSelectionOnCups, TheSandboxQueuesGetTheirClassesAndPorts) {
    test::SandboxPrintServer server;
    CupsPrintSpooler spooler;
    CupsDeviceProbe probe;
    PrinterSelection selection(spooler, probe);
    ASSERT_EQ(selection.Printers(), test::SandboxPrintServer::Queues());
    const std::vector<std::string> classes = {"HPGL/2", "Oce 9X00", "POSTSCRIPT", "Unknown"};
    for (int i = 0; i < 4; ++i) {
        selection.SetPrinterIndex(i);
        selection.RefreshPortAndClass();
        EXPECT_EQ(selection.DeviceClass(), classes[static_cast<std::size_t>(i)]);
        EXPECT_EQ(selection.PortName().rfind("socket://127.0.0.1:", 0), 0u);
    }
}

}  // namespace
}  // namespace tavrin
