// The engine session: start-up, show, close, and the handlers it joins to the controls.
#include "SpoolRunFixture.h"
#include "settings/SettingsStore.h"

namespace tavrin::test {
namespace {

using Names = std::vector<std::string>;

class SessionTest : public SpoolRunTest {
protected:
    SettingsLocation Location() const {
        return {folder / "config" / "tavrin.ini", folder.path().string(),
                (folder / "cache").string()};
    }
};

// A second window's engine, over fresh controls.
struct FreshSession {
    FreshSession(FakePrintSpooler& spooler, FakeDeviceProbe& probe,
                 const SettingsLocation& location)
        : session(form, spooler, probe, clock, location) {
        LayOutJobListGrid(grid);
        form.onShowMessage = [this](const std::string& text) { messages.push_back(text); };
        WirePlainForm(form, session);
    }

    GridModel grid;
    PlainForm form{grid};
    StoppedClock clock;
    Session session;
    Names messages;
};

using SessionStartTest = SessionTest;

TEST_F(SessionStartTest, FirstStartWritesTheSettingsAndSetsUpTheWindow) {
    FreshSession first(spooler, probe, Location());
    EXPECT_TRUE(first.session.FormCreate());
    EXPECT_TRUE(fs::exists(Location().IniFileName));

    const Grid& g = first.grid;
    EXPECT_EQ(g.column(0).titleCaption, "Filename");
    EXPECT_EQ(g.column(1).titleCaption, "Copies");
    EXPECT_EQ(first.form.statusBar1.panel(0), "Mode: start a new joblist");
    EXPECT_EQ(first.form.statusBar1.panel(1), "Files in joblist: 0");
    EXPECT_FALSE(first.form.statusBar1.panel(2).empty());
    EXPECT_FALSE(first.form.psCollate.enabled());
    EXPECT_EQ(first.form.fitToPage.caption(), "Fit to page: A4");
    EXPECT_FALSE(first.session.settings().TempFilesPath.empty());
    EXPECT_EQ(first.session.printers().PrinterIndex(), 0);
}

TEST_F(SessionStartTest, CloseStoresWhatTheNextStartRestores) {
    {
        FreshSession first(spooler, probe, Location());
        first.session.FormCreate();
        first.session.PrinterListChange(kLaser);
        first.session.PageSizeClick(PageSize::A0);
        first.form.addMode.setChecked(true);
        first.session.Clearafterspooling1Click();
        first.session.FormClose();
    }
    const StoredSettings stored = ReadStoredSettings(Location());
    EXPECT_EQ(stored.plain.PrinterIndex, kLaser);
    EXPECT_EQ(stored.plain.PSPageSize, "A0");
    EXPECT_TRUE(stored.AddMode);
    EXPECT_TRUE(stored.ClearAfterSpool);

    FreshSession second(spooler, probe, Location());
    EXPECT_FALSE(second.session.FormCreate());
    EXPECT_EQ(second.session.printers().PrinterIndex(), kLaser);
    EXPECT_EQ(second.session.printers().DeviceClass(), "POSTSCRIPT");
    EXPECT_EQ(second.form.smartReplots.caption(), "Copies by printer");
    EXPECT_TRUE(second.form.PageSizeItem(5).checked());
    EXPECT_FALSE(second.form.PageSizeItem(1).checked());
    EXPECT_EQ(second.form.fitToPage.caption(), "Fit to page: A0");
    EXPECT_TRUE(second.form.addMode.checked());
    EXPECT_FALSE(second.form.repMode.checked());
    EXPECT_EQ(second.form.statusBar1.panel(0), "Mode: add files to joblist");
}

TEST_F(SessionStartTest, NoPrinterInstalledIsSaidAndTheWindowStillStarts) {
    spooler.printers.clear();
    FreshSession first(spooler, probe, Location());
    EXPECT_NO_THROW(first.session.FormCreate());
    ASSERT_EQ(first.messages.size(), 1u);
    EXPECT_EQ(first.messages[0].rfind("No printer or plotter installed", 0), 0u);
}

TEST_F(SessionTest, CommandLineNamesBecomeTheFirstBatchInTheirLongForm) {
    const std::string a = File("Plan A.plt");
    File("b.PLT");
    const fs::path before = fs::current_path();
    fs::current_path(folder.path());
    session.FormShow({a, "./sub/../b.PLT"});
    fs::current_path(before);

    EXPECT_EQ(session.jobList().FileCount(), 2);
    EXPECT_EQ(grid.cell(0, 1), a);
    EXPECT_EQ(grid.cell(0, 2), (folder / "b.PLT").string());
    EXPECT_EQ(grid.cell(1, 2), "1");
    EXPECT_EQ(form.statusBar1.panel(1), "Files in joblist: 2");
    for (const Control* hidden :
         {static_cast<const Control*>(&form.label2), static_cast<const Control*>(&form.label4),
          static_cast<const Control*>(&form.uur), static_cast<const Control*>(&form.minuut)})
        EXPECT_FALSE(hidden->visible());
    EXPECT_FALSE(form.resumePrinting1.enabled());
}

TEST_F(SessionTest, NoArgumentsLeaveTheEmptyList) {
    session.FormShow({});
    EXPECT_EQ(session.jobList().FileCount(), 0);
    EXPECT_EQ(grid.rowCount(), 30);
    EXPECT_EQ(grid.cell(0, 1), "");
}

TEST_F(SessionTest, PageSizeChoiceChecksOneItemAndNamesItInTheCaption) {
    session.PageSizeClick(PageSize::A0);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(form.PageSizeItem(i).checked(), i == 5) << i;
    EXPECT_EQ(session.settings().PSPageSize, "A0");
    EXPECT_EQ(form.fitToPage.caption(), "Fit to page: A0");
    session.PageSizeClick(PageSize::A5);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(form.PageSizeItem(i).checked(), i == 0) << i;
    EXPECT_EQ(session.options().CheckedPageSize(), PageSize::A5);
}

TEST_F(SessionTest, MenuToggleChosenTwiceIsAsBefore) {
    const bool clear = form.clearAfterSpooling1.checked();
    const bool reverse = form.reverseSet1.checked();
    session.Clearafterspooling1Click();
    session.Reverseset1Click();
    EXPECT_NE(form.clearAfterSpooling1.checked(), clear);
    EXPECT_NE(form.reverseSet1.checked(), reverse);
    EXPECT_NE(session.options().ClearAfterSpooling(), clear);
    session.Clearafterspooling1Click();
    session.Reverseset1Click();
    EXPECT_EQ(form.clearAfterSpooling1.checked(), clear);
    EXPECT_EQ(form.reverseSet1.checked(), reverse);
}

TEST_F(SessionTest, PlainControlsRunTheirHandlers) {
    List({{File("A"), "3"}, {File("B"), "3"}});
    form.spinEdit1.setValue(7);
    EXPECT_EQ(grid.cell(1, 1), "7");
    EXPECT_EQ(grid.cell(1, 2), "7");

    form.addMode.setChecked(true);
    EXPECT_FALSE(form.repMode.checked());
    EXPECT_EQ(form.statusBar1.panel(0), "Mode: add files to joblist");
    form.repMode.setChecked(true);
    EXPECT_FALSE(form.addMode.checked());
    EXPECT_EQ(form.statusBar1.panel(0), "Mode: start a new joblist");

    Select(kLaser);
    form.smartReplots.setChecked(true);
    EXPECT_TRUE(form.psCollate.enabled());
    form.jobAsSet.setChecked(true);
    EXPECT_EQ(form.label3.caption(), "Number of sets");
    EXPECT_FALSE(form.smartReplots.checked());
    EXPECT_FALSE(form.smartReplots.enabled());
    EXPECT_FALSE(form.psCollate.enabled());

    form.schedule.setChecked(true);
    EXPECT_TRUE(form.timer1.enabled());
    EXPECT_TRUE(form.uur.visible());
    form.uur.setValue(31);
    EXPECT_EQ(form.uur.value(), 0);
    form.minuut.setValue(75);
    EXPECT_EQ(form.minuut.value(), 59);
}

TEST_F(SessionTest, AddedFilesFollowTheListMode) {
    session.AddFiles({File("A"), File("B")});
    session.AddFiles({File("C")});
    EXPECT_EQ(session.jobList().FileCount(), 1);
    form.addMode.setChecked(true);
    session.AddFiles({File("D"), File("E")});
    EXPECT_EQ(session.jobList().FileCount(), 3);
    EXPECT_EQ(grid.cell(0, 3), (folder / "E").string());
    EXPECT_EQ(form.statusBar1.panel(1), "Files in joblist: 3");
}

TEST_F(SessionTest, PrinterPanelFollowsTheMenu) {
    spooler.ports["plotter"] = "socket://10.0.0.7:9100";
    Select(kPlotter);
    session.PortinStatusbar1Click();
    EXPECT_EQ(form.statusBar1.panel(2), "Port: socket://10.0.0.7:9100");
    session.Printertype1Click();
    EXPECT_EQ(form.statusBar1.panel(2), "HPGL/2 printertype selected");
}

}  // namespace
}  // namespace tavrin::test
