// SPDX-License-Identifier: GPL-3.0-or-later
// tavrin-cli inspect: one line per file, for people or as JSON for scripts.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <tuple>

#include "support/SandboxPrintServer.h"

namespace tavrin {
namespace {

TEST(CliInspect, EachFileGetsItsLineAndAMissingOneFailsTheRunButNotTheOthers) {
    test::TempFolder folder;
    const std::string plot = test::SamplesDir().string() + "/jem-green-HPGL2/XANADU-PLT-test.plt";
    const std::string ps = test::SamplesDir().string() + "/cups/testfile.ps";
    const std::string missing = (folder / "gone \"1\".plt").string();
    const test::CliResult json =
        test::RunCli(folder.path(), "inspect --json '" + plot + "' '" + missing + "' '" + ps + "'");
    EXPECT_EQ(json.exitCode, 2);
    EXPECT_EQ(json.err, "Cannot open file " + missing + "\n");
    EXPECT_EQ(json.out,
              "{\"file\":\"" + plot +
                  "\",\"language\":\"HP-GL/2\",\"pjl\":true,\"pjlLanguage\":\"HPGL2\",\"bytes\":"
                  "134688,\"plotMillimetres\":[297.05,210.05],\"rotation\":90,\"pageEnds\":1,"
                  "\"pageEndsExact\":true,\"quality\":true,\"replot\":false}\n"
                  "{\"file\":\"" +
                  ps +
                  "\",\"language\":\"PostScript\",\"pjl\":false,\"pjlLanguage\":\"\",\"bytes\":"
                  "17132,\"boundingBox\":\"0 0 612 792\",\"documentMedia\":\"\","
                  "\"firstPageMillimetres\":null,\"pages\":1}\n");

    // What is no regular file is refused at once, never read.
    const std::string fifo = (folder / "fifo.plt").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& name : {fifo, std::string("/dev/zero"), folder.path().string()}) {
        const test::CliResult refused = test::RunCli(folder.path(), "inspect '" + name + "'");
        EXPECT_EQ(std::tie(refused.exitCode, refused.err),
                  std::tuple(2, "Cannot open file " + name + "\n"));
    }

    const test::CliResult text = test::RunCli(folder.path(), "inspect '" + ps + "'");
    EXPECT_EQ(std::tie(text.exitCode, text.out),
              std::tuple(0, ps + ": PostScript, 17132 bytes, bounding box 0 0 612 792, 1 page\n"));
    const test::CliResult usage = test::RunCli(folder.path(), "inspect --all");
    EXPECT_EQ(usage.exitCode, 64);
    EXPECT_EQ(usage.err.substr(0, usage.err.find('\n')),
              "tavrin-cli: inspect takes no option '--all'");
}

}  // namespace
}  // namespace tavrin
