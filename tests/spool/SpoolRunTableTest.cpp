// What each row of the job list becomes, by the selected printer's class and the option boxes.
#include "SpoolRunFixture.h"
#include "spool/PostScriptHeader.h"

namespace tavrin::test {
namespace {

const char* const kStandAlonePlot = "jem-green-HPGL2/XANADU-PLT-test2.plt";  // ends "PG;"
const char* const kPlotWithoutPage = "hp2xx/acad.hp";                        // only "PG1;"
const char* const kPostScript = "cups/testfile.ps";
const char* const kOcePlot = "hp2xx/inter.hp";

// A small plot with a quality instruction in its head and a page instruction at its end.
const std::string kQualityPlot =
    "\x1b"
    "EIN;QL100;SP1;PA0,0;PD100,100;PU;PG;\x1b%-12345X";

class SpoolRunTableTest : public SpoolRunTest {
protected:
    void RunOne(int printer, const std::string& file, const std::string& copies) {
        Select(printer);
        List({{file, copies}});
        session.OKPrintClick();
    }
};

TEST_F(SpoolRunTableTest, PlotterMakesTheCopiesFromOneReplotJob) {
    Select(kPlotter);
    form.smartReplots.setChecked(true);
    const std::string plot = Sample(kStandAlonePlot);
    List({{plot, "3"}});
    session.OKPrintClick();

    ASSERT_EQ(Documents(), std::vector<std::string>{"temp.$$$"});
    EXPECT_EQ(spooler.jobs[0].bytes, ReadBytes(plot) + "RP2;;");
    EXPECT_EQ(ReadBytes(TempFile()), spooler.jobs[0].bytes);
    EXPECT_EQ(form.statusBar1.panel(3), "Done");
    EXPECT_TRUE(messages.empty());
}

TEST_F(SpoolRunTableTest, ReplotJobAlsoBlanksTheQualityWhenBothBoxesAreChecked) {
    Select(kPlotter);
    form.smartReplots.setChecked(true);
    form.removeQL.setChecked(true);
    List({{File("q.plt", kQualityPlot), "3"}});
    session.OKPrintClick();

    ASSERT_EQ(Documents(), std::vector<std::string>{"temp.$$$"});
    EXPECT_EQ(spooler.jobs[0].bytes,
              "\x1b"
              "EIN;;;;;;;SP1;PA0,0;PD100,100;PU;PG;RP2;;\x1b%-12345X");
}

TEST_F(SpoolRunTableTest, PlotWithoutPageInstructionSendsTheCopiesAsSeparateJobs) {
    Select(kPlotter);
    form.smartReplots.setChecked(true);
    const std::string plot = Sample(kPlotWithoutPage);
    List({{plot, "3"}});
    session.OKPrintClick();

    ASSERT_EQ(Documents(), std::vector<std::string>(3, "temp.$$$"));
    for (const auto& job : spooler.jobs)
        EXPECT_EQ(job.bytes, ReadBytes(plot));
    EXPECT_EQ(form.statusBar1.panel(3), "Done");
}

TEST_F(SpoolRunTableTest, PlotterWithOneCopyGetsNoReplot) {
    Select(kPlotter);
    form.smartReplots.setChecked(true);
    const std::string plot = Sample(kStandAlonePlot);
    List({{plot, "1"}});
    session.OKPrintClick();

    ASSERT_EQ(Documents(), std::vector<std::string>{"temp.$$$"});
    EXPECT_EQ(spooler.jobs[0].bytes, ReadBytes(plot));
}

TEST_F(SpoolRunTableTest, QualityOnPlotterAloneSendsTheAlteredFileOncePerCopy) {
    Select(kPlotter);
    form.removeQL.setChecked(true);
    List({{File("q.plt", kQualityPlot), "3"}});
    session.OKPrintClick();

    ASSERT_EQ(Documents(), std::vector<std::string>(3, "temp.$$$"));
    for (const auto& job : spooler.jobs)
        EXPECT_EQ(job.bytes,
                  "\x1b"
                  "EIN;;;;;;;SP1;PA0,0;PD100,100;PU;PG;\x1b%-12345X");
}

TEST_F(SpoolRunTableTest, PlotterWithoutOptionsGetsTheFileItselfOncePerCopy) {
    const std::string plot = Sample(kStandAlonePlot);
    RunOne(kPlotter, plot, "3");

    ASSERT_EQ(Documents(), std::vector<std::string>(3, "XANADU-PLT-test2.plt"));
    for (const auto& job : spooler.jobs)
        EXPECT_EQ(job.bytes, ReadBytes(plot));
    EXPECT_FALSE(fs::exists(TempFile()));
}

TEST_F(SpoolRunTableTest, PostScriptPrinterMakesCollatedCopiesFromOneJob) {
    Select(kLaser);
    form.smartReplots.setChecked(true);
    form.psCollate.setChecked(true);
    const std::string page = Sample(kPostScript);
    List({{page, "3"}});
    session.OKPrintClick();

    ASSERT_EQ(Documents(), std::vector<std::string>{"temp.$$$"});
    EXPECT_EQ(spooler.jobs[0].bytes,
              "<< /NumCopies 3 >> setpagedevice\r\n<< /Collate true >> setpagedevice\r\n" +
                  ReadBytes(page));
}

TEST_F(SpoolRunTableTest, FitToPageSendsOneJobWhateverTheCopies) {
    Select(kLaser);
    session.PageSizeClick(PageSize::A3);
    form.fitToPage.setChecked(true);
    const std::string page = Sample(kPostScript);
    // The count is not read on this line: a text that is no number stops nothing.
    List({{page, "3"}, {page, "1.5"}});
    session.OKPrintClick();

    ASSERT_EQ(Documents(), std::vector<std::string>(2, "temp.$$$"));
    const std::string header =
        "<< /PageSize [ 841 1191 ] >> setpagedevice\r\n"
        "<< /Policies << /PageSize 3 >> >> setpagedevice\r\n";
    EXPECT_EQ(spooler.jobs[0].bytes, header + ReadBytes(page));
    EXPECT_EQ(form.statusBar1.panel(3), "Done");
}

TEST_F(SpoolRunTableTest, PostScriptWithoutOptionsGetsTheFileItselfOncePerCopy) {
    const std::string page = Sample(kPostScript);
    RunOne(kLaser, page, "3");
    ASSERT_EQ(Documents(), std::vector<std::string>(3, "testfile.ps"));
    EXPECT_EQ(spooler.jobs[2].bytes, ReadBytes(page));
}

TEST_F(SpoolRunTableTest, OcePrinterMakesTheCopiesFromTheHeaderRecord) {
    Select(kOce);
    form.smartReplots.setChecked(true);
    const std::string plot = Sample(kOcePlot);
    List({{plot, "12"}});
    session.OKPrintClick();

    ASSERT_EQ(Documents(), std::vector<std::string>{"temp.$$$"});
    const std::string record =
        "BEGMF \"Oce RCF by Dorwen\";\r\n"
        "MFDESC 'Oce RCF, Version=2.5, Type=Header, Unit=Metric';\r\n"
        "APPLDATA 002 \"CO=12\";\r\nENDMF;\r\n";
    ASSERT_EQ(record.size(), 117u);
    EXPECT_EQ(spooler.jobs[0].bytes, record + ReadBytes(plot));
}

TEST_F(SpoolRunTableTest, OceWithoutCopiesByPlotterGetsTheFileItselfOncePerCopy) {
    RunOne(kOce, Sample(kOcePlot), "2");
    EXPECT_EQ(Documents(), std::vector<std::string>(2, "inter.hp"));
}

TEST_F(SpoolRunTableTest, OtherDevicesGetTheFileItselfWhateverTheBoxes) {
    Select(kRaw);
    // The boxes are hidden for such a device; checked all the same, they change nothing.
    form.smartReplots.setChecked(true);
    form.removeQL.setChecked(true);
    form.fitToPage.setChecked(true);
    const std::string plot = Sample(kStandAlonePlot);
    List({{plot, "2"}});
    session.OKPrintClick();

    ASSERT_EQ(Documents(), std::vector<std::string>(2, "XANADU-PLT-test2.plt"));
    EXPECT_EQ(spooler.jobs[1].bytes, ReadBytes(plot));
}

// Counts of 0 and below: nothing on the lines that send once per copy, one job on the others.
struct CountCase {
    const char* name;
    int printer;
    bool smartReplots;
    bool fitToPage;
    int jobsForZero;
};

class CopyCountBelowOne : public SpoolRunTest, public ::testing::WithParamInterface<CountCase> {};

TEST_P(CopyCountBelowOne, SendsOnlyOnTheLinesThatSendOnce) {
    const CountCase& c = GetParam();
    Select(c.printer);
    form.smartReplots.setChecked(c.smartReplots);
    form.fitToPage.setChecked(c.fitToPage);
    const std::string plot = Sample(kStandAlonePlot);
    List({{plot, "0"}, {plot, "-2"}});
    session.OKPrintClick();

    EXPECT_EQ(static_cast<int>(spooler.jobs.size()), 2 * c.jobsForZero);
    for (const auto& job : spooler.jobs) {
        // No replot, copy count or record for counts below 2.
        const std::string header =
            c.fitToPage && !c.smartReplots ? PostScriptHeader(0, session.options()) : "";
        EXPECT_EQ(job.bytes, header + ReadBytes(plot));
    }
    EXPECT_EQ(form.statusBar1.panel(3), "Done");
    ExpectIdle();
}

INSTANTIATE_TEST_SUITE_P(
    EveryLine, CopyCountBelowOne,
    ::testing::Values(CountCase{"PlotterReplots", SpoolRunTest::kPlotter, true, false, 1},
                      CountCase{"PlotterPlain", SpoolRunTest::kPlotter, false, false, 0},
                      CountCase{"PostScriptCopies", SpoolRunTest::kLaser, true, false, 1},
                      CountCase{"PostScriptFit", SpoolRunTest::kLaser, false, true, 1},
                      CountCase{"PostScriptPlain", SpoolRunTest::kLaser, false, false, 0},
                      CountCase{"OceRecord", SpoolRunTest::kOce, true, false, 1},
                      CountCase{"OcePlain", SpoolRunTest::kOce, false, false, 0},
                      CountCase{"Other", SpoolRunTest::kRaw, false, false, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SpoolRunTableTest, ClassIsAskedAgainForEveryRow) {
    Select(kPlotter);
    form.smartReplots.setChecked(true);
    const std::string plot = Sample(kStandAlonePlot);
    List({{plot, "3"}, {plot, "3"}});
    // The driver changes between the rows: the second row is sent as to a plain device.
    betweenFiles = [this] { probe.answers["plotter"] = {"plotter", std::nullopt}; };
    session.OKPrintClick();

    EXPECT_EQ(Documents(),
              (std::vector<std::string>{"temp.$$$", "XANADU-PLT-test2.plt", "XANADU-PLT-test2.plt",
                                        "XANADU-PLT-test2.plt"}));
}

TEST_F(SpoolRunTableTest, OptionsAndPrinterAreReadAtEachRow) {
    Select(kPlotter);
    const std::string plot = Sample(kStandAlonePlot);
    List({{plot, "2"}, {plot, "2"}, {plot, "1"}});
    int round = 0;
    betweenFiles = [&] {
        if (++round == 1)
            form.smartReplots.setChecked(true);
        if (round == 2)
            Select(kLaser);
    };
    session.OKPrintClick();

    ASSERT_EQ(spooler.jobs.size(), 4u);
    EXPECT_EQ(spooler.jobs[0].printer, "plotter");
    EXPECT_EQ(spooler.jobs[1].printer, "plotter");
    EXPECT_EQ(spooler.jobs[2].documentName, "temp.$$$");
    EXPECT_EQ(spooler.jobs[2].bytes, ReadBytes(plot) + "RP1;;");
    EXPECT_EQ(spooler.jobs[3].printer, "laser");
}

}  // namespace
}  // namespace tavrin::test
