// SPDX-License-Identifier: GPL-3.0-or-later
// The job log in the window: the File menu's dialog with its filters, totals and CSV, and the
// rows the window's own runs add.
#include <QDateEdit>
#include <QDateTime>
#include <QTreeWidget>
#include <cstdlib>
#include <map>

#include "WindowTestSupport.h"
#include "app/JobLogDialog.h"
#include "joblog/JobLog.h"

namespace tavrin::test {
namespace {

namespace fs = std::filesystem;
using Server = SandboxPrintServer;

std::int64_t At(int day, int hour, int minute) {
    return QDateTime(QDate(2026, 3, day), QTime(hour, minute)).toSecsSinceEpoch();
}

JobRecord Job(std::int64_t sentAt, const char* printer, const char* deviceClass, const char* file,
              std::optional<double> width, std::optional<double> height, int copies,
              LoggedOutcome outcome, const char* reason = "") {
    JobRecord job;
    job.sentAt = sentAt;
    job.endedAt = sentAt + 60;
    job.printer = printer;
    job.deviceClass = deviceClass;
    job.filePath = std::string("/plots/") + file;
    job.fileName = file;
    job.widthMm = width;
    job.heightMm = height;
    job.copies = copies;
    job.outcome = outcome;
    job.reason = reason;
    job.frontEnd = "cli";
    return job;
}

const std::vector<JobRecord> kSeeded = {
    Job(At(2, 10, 0), "hpgl-plotter", "HP-GL/2", "a.plt", 1000, 1000, 2, LoggedOutcome::Printed),
    Job(At(2, 15, 30), "ps-printer", "PostScript", "b.ps", 210, 297, 1, LoggedOutcome::NotPrinted,
        "canceled"),
    Job(At(3, 9, 0), "hpgl-plotter", "HP-GL/2", "c.plt", std::nullopt, std::nullopt, 1,
        LoggedOutcome::Refused, "The printer is gone"),
    Job(At(5, 12, 0), "hpgl-plotter", "HP-GL/2", "d.plt", 500, 1000, 3, LoggedOutcome::Printed),
    Job(At(2, 18, 0), "hpgl-plotter", "HP-GL/2", "e.plt", 594, 841, 1, LoggedOutcome::Printed),
};

class JobLogDialogTest : public WindowFixture {
protected:
    explicit JobLogDialogTest(fs::path file = {})
        : log(file.empty() ? scratch / "joblog.sqlite" : file) {
        qputenv("TAVRIN_JOBLOG", QByteArray::fromStdString(log.string()));
    }
    // The window goes before the log it writes.
    ~JobLogDialogTest() override {
        CloseWindow();
        qunsetenv("TAVRIN_JOBLOG");
    }

    void Seed() {
        JobLog seeded(log);
        for (const JobRecord& job : kSeeded)
            seeded.Add(job);
    }
    // Opens the dialog from the File menu with the keyboard.
    void OpenDialog() {
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        QTest::keyClick(form.get(), Qt::Key_F, Qt::AltModifier);
        QTest::keyClick(Find<QMenu>("File1"), Qt::Key_J);
        dialog = form->findChild<JobLogDialog*>();
    }
    template <typename T = QWidget>
    T* In(const char* name) const {
        T* found = dialog->findChild<T*>(QString::fromUtf8(name));
        EXPECT_TRUE(found) << name;
        return found;
    }
    void Choose(const char* box, const char* text) {
        auto* combo = In<QComboBox>(box);
        const int wanted = combo->findText(QString::fromUtf8(text));
        ASSERT_GE(wanted, 0) << text;
        combo->setFocus();
        while (combo->currentIndex() != wanted)
            QTest::keyClick(combo, combo->currentIndex() < wanted ? Qt::Key_Down : Qt::Key_Up);
    }
    // The table's rows, each "text | text | ...", the header first.
    Texts Shown() const {
        const QTreeWidget* table = dialog->Table();
        Texts rows;
        for (int row = -1; row < table->topLevelItemCount(); ++row) {
            const QTreeWidgetItem* item = row < 0 ? table->headerItem() : table->topLevelItem(row);
            QStringList texts;
            for (int column = 0; column < table->columnCount(); ++column)
                texts << item->text(column);
            rows.push_back(FromQt(texts.join(QStringLiteral(" | "))));
        }
        return rows;
    }
    // The files of the rows shown.
    Texts Files() const {
        Texts files;
        for (int row = 0; row < dialog->Table()->topLevelItemCount(); ++row)
            files.push_back(FromQt(dialog->Table()->topLevelItem(row)->text(2)));
        return files;
    }

    TempFolder scratch;
    fs::path log;
    JobLogDialog* dialog = nullptr;
};

TEST_F(JobLogDialogTest, TheJobsAreListedNewestFirstAndTheFiltersNarrowThem) {
    SKIP_WITHOUT_PRINT_SERVER();
    Seed();
    Start();
    OpenDialog();
    ASSERT_TRUE(dialog && dialog->isVisible() && dialog->isModal());
    EXPECT_EQ(
        Shown(),
        (Texts{"Sent | Printer | File | Copies | Outcome | Size (mm) | Area (m²) | Roll (m) | "
               "Reason",
               "2026-03-05 12:00 | hpgl-plotter | d.plt | 3 | printed | 500 × 1000 | 1.50 | "
               "1.50 | ",
               "2026-03-03 09:00 | hpgl-plotter | c.plt | 1 | refused | unknown | unknown | "
               "unknown | The printer is gone",
               "2026-03-02 18:00 | hpgl-plotter | e.plt | 1 | printed | 594 × 841 | 0.50 | "
               "0.59 | ",
               "2026-03-02 15:30 | ps-printer | b.ps | 1 | not printed | 210 × 297 | 0.06 |  "
               "| canceled",
               "2026-03-02 10:00 | hpgl-plotter | a.plt | 2 | printed | 1000 × 1000 | 2.00 | "
               "2.00 | "}));
    EXPECT_TRUE(SaveShot(*dialog, "job-log"));

    In<QDateEdit>("Since")->setDate(QDate(2026, 3, 3));
    EXPECT_EQ(Files().size(), kSeeded.size()) << "a date without its tick narrows nothing";
    const struct {
        const char* tick;
        const char* printer;
        Texts files;
    } steps[] = {
        {"SinceOn", "All printers", {"d.plt", "c.plt"}},
        {"UntilOn", "All printers", {"c.plt"}},
        {"SinceOn", "All printers", {"c.plt", "e.plt", "b.ps", "a.plt"}},
        {"UntilOn", "ps-printer", {"b.ps"}},
        {nullptr, "All printers", {"d.plt", "c.plt", "e.plt", "b.ps", "a.plt"}},
    };
    In<QDateEdit>("Until")->setDate(QDate(2026, 3, 3));
    for (const auto& step : steps) {
        if (step.tick)
            QTest::mouseClick(In(step.tick), Qt::LeftButton);
        Choose("Printer", step.printer);
        EXPECT_EQ(Files(), step.files) << (step.tick ? step.tick : "") << " " << step.printer;
    }
    EXPECT_EQ(messages, Texts{});
}

TEST_F(JobLogDialogTest, DayTotalsAddUpTheRowsAndExportWritesWhatIsShown) {
    Seed();
    Start();
    OpenDialog();
    ASSERT_TRUE(dialog);
    // The rows summed by day and printer.
    struct Sum {
        std::int64_t jobs = 0, copies = 0, sized = 0;
        double area = 0, roll = 0;
    };
    std::map<std::pair<std::string, std::string>, Sum> sums;
    for (const JobRecord& job : kSeeded) {
        Sum& sum = sums[{FromQt(QDateTime::fromSecsSinceEpoch(job.sentAt)
                                    .toString(QStringLiteral("yyyy-MM-dd"))),
                         job.printer}];
        ++sum.jobs;
        sum.copies += job.copies;
        sum.sized += AreaSquareMetres(job) ? 1 : 0;
        sum.area += AreaSquareMetres(job).value_or(0);
        sum.roll += RollMetres(job).value_or(0);
    }
    Texts expected = {"Period | Printer | Jobs | Copies | Area (m²) | Roll (m)"};
    for (const auto& [key, sum] : sums) {
        // A line of jobs that all are of unknown size has no paper to tell.
        const auto paper = [&sum](double value) {
            return sum.sized == 0 ? std::string("unknown") : FromQt(QString::number(value, 'f', 2));
        };
        expected.push_back(key.first + " | " + key.second + " | " + std::to_string(sum.jobs) +
                           " | " + std::to_string(sum.copies) + " | " + paper(sum.area) + " | " +
                           paper(sum.roll));
    }
    Choose("Totals", "Day");
    EXPECT_EQ(Shown(), expected);
    EXPECT_TRUE(SaveShot(*dialog, "job-log-totals"));

    const fs::path csv = scratch / "out" / "report";
    fs::create_directories(csv.parent_path());
    JobLog reread(log);
    const struct {
        const char* totals;
        std::string written;
    } exports[] = {
        {"Day", TotalsAsCsv(reread.Totals({}, TotalsPeriod::Day))},
        {"None", JobsAsCsv(reread.Jobs({}))},
    };
    for (const auto& each : exports) {
        Choose("Totals", each.totals);
        dialogs.answers.push_back(Chosen({csv}));
        QTest::mouseClick(In("Export"), Qt::LeftButton);
        // The suffix the dialog asks for is added to a name without one.
        EXPECT_EQ(ReadFile(csv.string() + ".csv"), each.written) << each.totals;
    }
    EXPECT_EQ(dialogs.saveRequests.back().defaultSuffix, QStringLiteral("csv"));

    // A CSV file that cannot be written is told, and the table stays.
    messages.clear();
    dialogs.answers.push_back(Chosen({scratch / "missing" / "report.csv"}));
    QTest::mouseClick(In("Export"), Qt::LeftButton);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(
        messages[0].rfind("Unable to write to " + (scratch / "missing" / "report.csv").string(), 0),
        0u)
        << messages[0];
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(Files().size(), kSeeded.size());
}

TEST_F(JobLogDialogTest, AWindowRunIsLoggedAsTheWindowsWithEachJobsEnd) {
    SKIP_WITHOUT_PRINT_SERVER();
    const std::vector<fs::path> files = {Sample("hp2xx/dt.plt"), Sample("hp2xx/pages.hp")};
    Start({files[0].string(), files[1].string()});
    form->FollowJobsWith(server->Watch());
    ChoosePrinter(Server::kRawQueue);
    Click("OKPrint");
    EXPECT_EQ(Panel(3), "Done");
    const auto logged = [this] { return JobLog(log).Jobs({}); };
    // Each job's end comes from the print server a little later.
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            const std::vector<JobRecord> jobs = logged();
            return jobs.size() == 2 && std::all_of(jobs.begin(), jobs.end(), [](const auto& job) {
                       return job.outcome == LoggedOutcome::Printed;
                   });
        },
        60000));
    std::vector<JobRecord> jobs = logged();
    ASSERT_EQ(jobs.size(), 2u);
    for (std::size_t i = 0; i < jobs.size(); ++i) {
        EXPECT_EQ((std::tuple{jobs[i].frontEnd, jobs[i].printer, jobs[i].filePath}),
                  (std::tuple{std::string("window"), std::string(Server::kRawQueue),
                              files[1 - i].string()}));
        EXPECT_NE(jobs[i].jobId, 0);
    }
    EXPECT_EQ(Find("StatusBar1")->toolTip(), QString());
    OpenDialog();
    ASSERT_TRUE(dialog);
    EXPECT_EQ(Files(), (Texts{"pages.hp", "dt.plt"}));
}

// A folder that cannot be made, whoever runs the test.
class UnwritableJobLogTest : public JobLogDialogTest {
protected:
    UnwritableJobLogTest() : JobLogDialogTest("/dev/null/tavrin/joblog.sqlite") {}
};

TEST_F(UnwritableJobLogTest, TheJobsStillGoTheProblemIsToldOnceAndTheDialogIsNotShown) {
    SKIP_WITHOUT_PRINT_SERVER();
    const fs::path plot = Sample("hp2xx/dt.plt");
    Start({plot.string()});
    ChoosePrinter(Server::kRawQueue);
    const std::size_t before = PrintServer().ReceivedFiles(Server::kRawQueue).size();
    Click("OKPrint");
    EXPECT_EQ(Panel(3), "Done");
    EXPECT_EQ(messages, Texts{});
    EXPECT_EQ(PrintServer().WaitForJobs(Server::kRawQueue, before + 1).size(), before + 1);
    const QString told = Find("StatusBar1")->toolTip();
    EXPECT_TRUE(told.contains(QStringLiteral("Job log not written (") +
                              QString::fromStdString(log.string())))
        << FromQt(told);
    // Told once: the next run's same failure leaves the line as it was.
    Find("StatusBar1")->setToolTip(QString());
    Click("OKPrint");
    EXPECT_EQ(Panel(3), "Done");
    EXPECT_EQ(Find("StatusBar1")->toolTip(), QString());

    OpenDialog();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find(log.string()), std::string::npos) << messages[0];
    EXPECT_FALSE(dialog && dialog->isVisible());
}

}  // namespace
}  // namespace tavrin::test
