// SPDX-License-Identifier: GPL-3.0-or-later
// The window, tavrin-cli send and tavrin-cli watch write one job log at once: every job is a row,
// none lost or written twice, and the log's totals are the sums of its rows.
#include <algorithm>
#include <map>
#include <sstream>

#include "WindowTestSupport.h"
#include "joblog/JobLog.h"
#include "support/CliProcess.h"

namespace tavrin::test {
namespace {

namespace fs = std::filesystem;
using Server = SandboxPrintServer;

class JobLogWritersTest : public WindowFixture {};

TEST_F(JobLogWritersTest, TheWindowSendAndWatchAtOnceLogAThousandJobsAndTheTotalsAddUp) {
    constexpr int kWindow = 300, kSend = 300, kWatch = 400;
    const fs::path plot = Sample("hp2xx/dt.plt");
    const fs::path hot = folders.root / "hot";
    fs::create_directories(hot);
    for (int i = 0; i < kWatch; ++i)
        fs::copy_file(plot, hot / ("plot-" + std::to_string(i) + ".plt"));
    std::vector<std::string> send = {"send", "-p", Server::kRawQueue};
    for (int i = 0; i < kSend; ++i)
        send.push_back(plot.string());

    Start(Texts(kWindow, plot.string()));
    ChoosePrinter(Server::kHpglQueue);
    // tavrin-cli with this user's folders, so with the window's job log.
    CliProcess sending(folders.root.path(), send);
    CliProcess watching(folders.root.path(), {"watch", "--folder", hot.string(), "-p",
                                              Server::kOceQueue, "--settle", "1", "--once"});
    Click("OKPrint");
    EXPECT_EQ(Panel(3), "Done");
    EXPECT_EQ(sending.Wait(300), 0) << sending.Err();
    EXPECT_EQ(watching.Wait(300), 0) << watching.Out() << watching.Err();

    JobLog log(folders.JobLogPath());
    const std::vector<JobRecord> jobs = log.Jobs({});
    std::map<std::string, int> byFrontEnd;
    std::map<std::pair<std::string, int>, int> byJob;
    std::int64_t copies = 0;
    for (const JobRecord& job : jobs) {
        ++byFrontEnd[job.frontEnd];
        ++byJob[{job.printer, job.jobId}];
        copies += job.copies;
    }
    EXPECT_EQ(jobs.size(), static_cast<std::size_t>(kWindow + kSend + kWatch));
    EXPECT_EQ(byFrontEnd, (std::map<std::string, int>{
                              {"window", kWindow}, {"cli", kSend}, {hot.string(), kWatch}}));
    EXPECT_EQ(byJob.size(), jobs.size()) << "a job is in the log twice";

    // The totals per day, as tavrin-cli prints them, add up to the rows.
    const CliResult totals = RunCli(folders.root.path(), "log --totals day");
    ASSERT_EQ(totals.exitCode, 0) << totals.err;
    std::istringstream lines(totals.out);
    std::string line;
    std::getline(lines, line);  // the heading
    std::int64_t totalJobs = 0, totalCopies = 0;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string period, printer, count, copied;
        std::getline(fields, period, '\t');
        std::getline(fields, printer, '\t');
        std::getline(fields, count, '\t');
        std::getline(fields, copied, '\t');
        totalJobs += std::stoll(count);
        totalCopies += std::stoll(copied);
    }
    EXPECT_EQ(totalJobs, static_cast<std::int64_t>(jobs.size())) << totals.out;
    EXPECT_EQ(totalCopies, copies) << totals.out;
}

}  // namespace
}  // namespace tavrin::test
