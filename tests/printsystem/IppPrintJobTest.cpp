// SPDX-License-Identifier: GPL-3.0-or-later
// A job sent straight to a real IPP printer that is busy printing the one before.
#include <gtest/gtest.h>

#include <chrono>

#include "printsystem/IppPrintJob.h"
#include "support/IppEvePrinter.h"

namespace tavrin {
namespace {

TEST(IppPrintJob, ABusyPrinterIsAskedAgainUntilItTakesTheJobOrTheBoundHasPassed) {
    test::IppEvePrinter printer("application/vnd.hp-hpgl", /*instant=*/false);
    const std::string& uri = printer.Uri();
    const IppEndpoint endpoint{uri, "localhost", printer.Port(), "/ipp/print", false};
    const auto send = [&](int busyMilliseconds) {
        IppTimeouts timeouts;
        timeouts.busyMilliseconds = busyMilliseconds;
        timeouts.busyPauseMilliseconds = 200;
        const DocumentFormatChoice hpgl{0, [](auto, auto) { return "application/vnd.hp-hpgl"; }};
        IppPrintJob job(endpoint, "plot.plt", {"application/vnd.hp-hpgl"}, hpgl, timeouts);
        const std::string plot = "IN;SP1;PA0,0;PD1000,1000;PU;PG;";
        if (job.Write(plot.data(), plot.size()) == plot.size())
            job.Finish();
        return std::pair(job.ok(), job.error());
    };
    EXPECT_EQ(send(0), std::pair(true, std::string()));
    // Printing takes the printer some seconds: it is busy now.
    EXPECT_EQ(send(1000), std::pair(false, "The printer at " + uri +
                                               " stayed busy for 1 s: Currently printing "
                                               "another job."));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(send(60000), std::pair(true, std::string()));
    EXPECT_GT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    EXPECT_EQ(printer.Documents().size(), 2u);
}

}  // namespace
}  // namespace tavrin
