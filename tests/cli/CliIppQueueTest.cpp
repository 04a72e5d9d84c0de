// SPDX-License-Identifier: GPL-3.0-or-later
// tavrin-cli with a print server queue in front of a real IPP printer, and with a printer by
// address that says which document formats it reads: what the printer says decides what the
// guard flags, and a document the printer refused never counts as printed.
#include <gtest/gtest.h>

#include <cstdlib>
#include <tuple>

#include "support/IppEvePrinter.h"
#include "support/SandboxPrintServer.h"

namespace tavrin {
namespace {

using Server = test::SandboxPrintServer;

const std::string kSamples = test::SamplesDir().string() + "/";
const std::string kPlot = kSamples + "jem-green-HPGL2/XANADU-PLT-test.plt";
const std::string kPostScript = kSamples + "ghostpdl/colorcir.ps";

bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

class CliIppQueue : public ::testing::Test {
protected:
    // A queue named "peer" of the sandbox print server whose device is `printer`, with the
    // device options of CUPS's ipp backend `options` ("?waitjob=false") after its address.
    void AddPeerQueue(const test::IppEvePrinter& printer, const std::string& options = "") {
        ASSERT_EQ(
            test::RunCommand("lpadmin -p peer -E -v '" + printer.Uri() + options + "'").exitCode,
            0);
    }
    test::CliResult Send(const std::string& arguments) {
        return test::RunCli(folder.path(), "send " + arguments);
    }

    Server server;
    test::TempFolder folder;
};

TEST_F(CliIppQueue, APlotThePrinterRefusedIsNotPrintedAndAPdfItTookIs) {
    test::IppEvePrinter printer("application/pdf");
    AddPeerQueue(printer);

    // What the printer reads prints. (First: a job whose document the printer refused stays
    // open there, waiting for one, and holds up the jobs after it.)
    const std::string pdf = (folder / "drawing.pdf").string();
    test::WriteBytes(pdf,
                     "%PDF-1.4\n1 0 obj<</Type/Catalog/Pages 2 0 R>>endobj\n"
                     "2 0 obj<</Type/Pages/Kids[3 0 R]/Count 1>>endobj\n"
                     "3 0 obj<</Type/Page/Parent 2 0 R/MediaBox[0 0 612 792]>>endobj\n"
                     "trailer<</Root 1 0 R>>\n%%EOF\n");
    const test::CliResult printed = Send("-p peer --wait --timeout 45 '" + pdf + "'");
    EXPECT_EQ(std::tie(printed.exitCode, printed.err), std::tuple(0, "")) << printed.out;
    EXPECT_TRUE(Has(printed.out, pdf + "\tpeer-")) << printed.out;
    EXPECT_TRUE(Has(printed.out, "\tprinted\tcompleted\n")) << printed.out;
    ASSERT_EQ(printer.Documents().size(), 1u);
    EXPECT_TRUE(test::SameContents(printer.Documents()[0], pdf));

    // The queue's device lists only PDF: the guard flags the plot.
    const test::CliResult guarded = Send("-p peer '" + kPlot + "'");
    EXPECT_EQ(guarded.exitCode, 2);
    EXPECT_EQ(guarded.err, "These files may not print on peer:\n  XANADU-PLT-test.plt (HP-GL/2)\n");

    // Sent anyway: the print server calls the job completed, the printer never took it.
    const test::CliResult refused = Send("-p peer --wait --timeout 45 --force '" + kPlot + "'");
    EXPECT_EQ(refused.exitCode, 1) << refused.out << refused.err;
    EXPECT_TRUE(Has(refused.err, kPlot)) << refused.err;
    EXPECT_TRUE(Has(refused.err, "Unable to add document to print job.")) << refused.err;
    EXPECT_FALSE(Has(refused.out, "\tprinted\t")) << refused.out;
    EXPECT_EQ(printer.Documents().size(), 1u);
}

TEST_F(CliIppQueue, WhatAPrinterListsPassesTheGuardAndGoesWithItsFormat) {
    test::IppEvePrinter printer(
        "application/vnd.hp-hpgl,application/postscript,application/vnd.hp-pcl");
    AddPeerQueue(printer, "?waitjob=false");  // the printer is asked at its address without them
    // A plotter with a PostScript option: its class is HP-GL/2, yet it reads PostScript.
    const test::CliResult direct = Send("-p " + printer.Uri() + " '" + kPostScript + "'");
    EXPECT_EQ(std::tie(direct.exitCode, direct.err), std::tuple(0, ""));
    ASSERT_EQ(printer.Documents().size(), 1u);
    EXPECT_TRUE(test::SameContents(printer.Documents()[0], kPostScript));
    EXPECT_EQ(printer.DocumentFormats(), std::vector<std::string>{"application/postscript"});

    // Through the queue in front of it, the guard asks the same printer.
    const test::CliResult queued = Send("-p peer --wait --timeout 45 '" + kPostScript + "'");
    EXPECT_EQ(std::tie(queued.exitCode, queued.err), std::tuple(0, "")) << queued.out;
    EXPECT_TRUE(Has(queued.out, "\tprinted\tcompleted\n")) << queued.out;

    // A PDF it does not list is still flagged, at the printer and at its queue.
    const std::string pdf = (folder / "drawing.pdf").string();
    test::WriteBytes(pdf, "%PDF-1.4\n");
    for (const std::string& name : {printer.Uri(), std::string("peer")}) {
        const test::CliResult flagged = Send("-p " + name + " '" + pdf + "'");
        EXPECT_EQ(flagged.exitCode, 2) << name;
        EXPECT_EQ(flagged.err, "These files may not print on " + name + ":\n  drawing.pdf (PDF)\n");
    }
}

}  // namespace
}  // namespace tavrin
