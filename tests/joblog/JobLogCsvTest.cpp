// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "joblog/JobLog.h"
#include "support/JobSamples.h"

namespace tavrin {
namespace {

using test::LocalTime;
using test::SampleJob;
using test::Size;

TEST(JobLogCsv, OneQuotedLinePerJobWithUnknownWhereTheFileDidNotSay) {
    JobRecord plotted = SampleJob("hpgl", "HP-GL/2", LocalTime(2026, 12, 7, 9, 5, 3),
                                  Size{841, 594.5}, 2, "/srv/plots/plan.plt");
    plotted.endedAt = LocalTime(2026, 12, 7, 9, 6, 0);
    plotted.outcome = LoggedOutcome::Printed;
    plotted.deviceCopies = true;
    JobRecord unsized = SampleJob("oce, room 2", "Oce", LocalTime(2027, 1, 1, 0, 0, 0),
                                  std::nullopt, 1, "/srv/plots/\"front\" view.plt");
    unsized.outcome = LoggedOutcome::NotPrinted;
    unsized.reason = "aborted\r\nby the device";
    JobRecord paper = SampleJob("ps", "PostScript", LocalTime(2026, 2, 28, 23, 59, 59),
                                Size{210, 297}, 10, "/a.ps");
    paper.outcome = LoggedOutcome::Refused;
    paper.jobId = 0;
    paper.language = "PostScript";
    paper.frontEnd = "window";
    JobRecord unsizedPaper = paper;
    unsizedPaper.widthMm.reset();
    unsizedPaper.heightMm.reset();

    EXPECT_EQ(
        JobsAsCsv({plotted, unsized, paper, unsizedPaper}),
        "sent,ended,user,host,file,path,bytes,language,width_mm,height_mm,copies,device_copies,"
        "printer,class,job_id,outcome,reason,front_end,area_m2,roll_m\n"
        "2026-12-07 09:05:03,2026-12-07 09:06:00,ada,drawing-office,plan.plt,/srv/plots/plan.plt,"
        "134688,HP-GL/2,841.0,594.5,2,yes,hpgl,HP-GL/2,17,printed,,cli,1.000,1.682\n"
        "2027-01-01 00:00:00,,ada,drawing-office,\"\"\"front\"\" view.plt\","
        "\"/srv/plots/\"\"front\"\" view.plt\",134688,HP-GL/2,unknown,unknown,1,no,"
        "\"oce, room 2\",Oce,17,not printed,\"aborted\r\nby the device\",cli,unknown,unknown\n"
        "2026-02-28 23:59:59,,ada,drawing-office,a.ps,/a.ps,134688,PostScript,210.0,297.0,10,no,"
        "ps,PostScript,0,refused,,window,0.624,\n"
        "2026-02-28 23:59:59,,ada,drawing-office,a.ps,/a.ps,134688,PostScript,unknown,unknown,10,"
        "no,ps,PostScript,0,refused,,window,unknown,\n");
    EXPECT_EQ(JobsAsCsv({}),
              "sent,ended,user,host,file,path,bytes,language,width_mm,height_mm,copies,"
              "device_copies,printer,class,job_id,outcome,reason,front_end,area_m2,roll_m\n");
}

TEST(JobLogCsv, TotalsHaveOneLinePerPeriodAndPrinter) {
    EXPECT_EQ(TotalsAsCsv({{"2026-W53", "hpgl", 3, 6, 3.741108, 4.682, 1},
                           {"2026-W53", "ps \"a\"", 1, 5, 0.31185, 0, 0}}),
              "period,printer,jobs,copies,area_m2,roll_m,unknown_size\n"
              "2026-W53,hpgl,3,6,3.741,4.682,1\n"
              "2026-W53,\"ps \"\"a\"\"\",1,5,0.312,0.000,0\n");
}

}  // namespace
}  // namespace tavrin
