// SPDX-License-Identifier: GPL-3.0-or-later
// tavrin-cli sending straight to a real IPP printer by its address, with no print server.
#include <gtest/gtest.h>

#include <cstdlib>

#include "support/HpglRewriteReference.h"
#include "support/IppEvePrinter.h"
#include "support/SandboxPrintServer.h"

namespace tavrin {
namespace {

class CliIpp : public ::testing::Test {
protected:
    // No print server answers: printers by address need none.
    void SetUp() override { setenv("CUPS_SERVER", (folder / "no-server").c_str(), 1); }

    test::CliResult Send(const std::string& uri, const std::string& arguments) {
        return test::RunCli(folder.path(), "send -p " + uri + " " + arguments);
    }

    const std::string kSamples = test::SamplesDir().string() + "/";
    test::TempFolder folder;
};

TEST_F(CliIpp, EachFileArrivesAsItIsWithTheFormatItsContentCallsFor) {
    test::IppEvePrinter printer(
        "application/vnd.hp-hpgl,application/postscript,application/vnd.hp-pcl");
    const std::vector<std::string> files = {kSamples + "jem-green-HPGL2/XANADU-PLT-test.plt",
                                            kSamples + "ghostpdl/colorcir.ps",
                                            kSamples + "cups/testfile.pcl"};
    const test::CliResult sent = Send(
        printer.Uri(), "--wait --force '" + files[0] + "' '" + files[1] + "' '" + files[2] + "'");
    EXPECT_EQ(sent.exitCode, 0) << sent.err;
    EXPECT_EQ(sent.out.substr(0, sent.out.find('\n')), "3 of 3 jobs sent to " + printer.Uri());
    EXPECT_EQ(std::count(sent.out.begin(), sent.out.end(), '\n'), 4) << sent.out;
    const auto documents = printer.Documents();
    ASSERT_EQ(documents.size(), files.size());
    for (std::size_t i = 0; i < files.size(); ++i)
        EXPECT_TRUE(test::SameContents(documents[i], files[i])) << files[i];
    EXPECT_EQ(printer.DocumentFormats(),
              (std::vector<std::string>{"application/vnd.hp-hpgl", "application/postscript",
                                        "application/vnd.hp-pcl"}));
}

TEST_F(CliIpp, CopiesByThePlotterAreOneReplottedJobAndNoneAskedOfThePrinter) {
    test::IppEvePrinter printer("application/vnd.hp-hpgl");
    const std::string plot = kSamples + "jem-green-HPGL2/XANADU-PLT-test.plt";
    const test::CliResult sent = Send(printer.Uri(), "-n 3 --device-copies '" + plot + "'");
    EXPECT_EQ(std::tie(sent.exitCode, sent.err), std::tuple(0, ""));
    const auto documents = printer.Documents();
    ASSERT_EQ(documents.size(), 1u);
    EXPECT_TRUE(test::ReadFile(documents[0]) ==
                test::RewriteInMemory({test::ReadFile(plot), 2, false, true, 600, 30}).bytes);
    const auto job = printer.JobAttributes(1);
    EXPECT_EQ(job.at("job-name"), "temp.$$$");
    EXPECT_EQ(job.count("copies"), 0u);
}

TEST_F(CliIpp, AFormatThePrinterDoesNotTakeIsRefusedWithItsMessage) {
    test::IppEvePrinter printer("application/pdf");
    const std::string pcl = kSamples + "cups/testfile.pcl";
    // Past the guard, which flags a format the printer does not list.
    const test::CliResult sent = Send(printer.Uri(), "--force '" + pcl + "'");
    EXPECT_EQ(sent.exitCode, 1);
    EXPECT_EQ(sent.err, "Not sent to " + printer.Uri() + ":\n  " + pcl +
                            ": Unsupported document-format mimeMediaType value.\n");
    EXPECT_TRUE(printer.Documents().empty());
}

}  // namespace
}  // namespace tavrin
