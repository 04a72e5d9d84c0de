// SPDX-License-Identifier: GPL-3.0-or-later
// tavrin-cli send refuses files the chosen printer may not read, unless told to send them.
#include <gtest/gtest.h>

#include <map>

#include "support/SandboxPrintServer.h"

namespace tavrin {
namespace {

using Server = test::SandboxPrintServer;

TEST(CliGuard, RefusesTheWrongDeviceUnlessForcedOrTurnedOff) {
    Server server;
    test::TempFolder folder;
    const std::string samples = test::SamplesDir().string() + "/";
    const std::string ps = samples + "ghostpdl/colorcir.ps", plt = samples + "hp2xx/dt.plt";
    const std::string all = " '" + ps + "' '" + plt + "' '" + samples + "ghostpdl/golfer.eps'";
    const std::string refused =
        "These files may not print on hpgl-plotter:\n"
        "  colorcir.ps (PostScript)\n  golfer.eps (PostScript)\n";
    // Arguments, WrongDevice=0 in the INI file, exit code, stderr, the queue and what it gets.
    const std::tuple<std::string, bool, int, std::string, const char*, std::vector<std::string>>
        rows[] = {{"-p hpgl-plotter" + all, false, 2, refused, Server::kHpglQueue, {}},
                  {"-p hpgl-plotter --force '" + ps + "'", false, 0, "", Server::kHpglQueue, {ps}},
                  {"-p hpgl-plotter '" + plt + "'", false, 0, "", Server::kHpglQueue, {plt}},
                  {"-p ps-printer '" + ps + "'", false, 0, "", Server::kPostScriptQueue, {ps}},
                  {"-p hpgl-plotter '" + ps + "'", true, 0, "", Server::kHpglQueue, {ps}}};
    std::map<std::string, std::size_t> received;
    for (const auto& [arguments, turnedOff, exitCode, err, queue, files] : rows) {
        SCOPED_TRACE(arguments);
        if (turnedOff) {
            std::filesystem::create_directories(folder / "config/tavrin");
            test::WriteBytes(folder / "config/tavrin/tavrin.ini", "[Guard]\nWrongDevice=0\n");
        }
        const test::CliResult result = test::RunCli(folder.path(), "send " + arguments);
        EXPECT_EQ((std::pair{result.exitCode, result.err}), (std::pair{exitCode, err}));
        std::size_t& before = received[queue];
        const auto jobs = server.WaitForJobs(queue, before + files.size());
        ASSERT_EQ(server.AllJobs(queue).size(), before + files.size());
        for (std::size_t i = 0; i < files.size(); ++i)
            EXPECT_EQ(test::ReadFile(jobs[before + i].file), test::ReadFile(files[i]));
        before = jobs.size();
    }
    EXPECT_NE(test::RunCli(folder.path(), "send --help").out.find(" --force "), std::string::npos);
}

}  // namespace
}  // namespace tavrin
