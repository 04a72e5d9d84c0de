// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ChildProcess.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <thread>

namespace tavrin {
namespace {

using namespace std::chrono_literals;

long OpenFiles() {
    return std::distance(std::filesystem::directory_iterator("/proc/self/fd"), {});
}

// Whether the process is gone, or dead and waiting for whoever adopted it to reap it.
bool Dead(const std::string& pid) {
    std::ifstream stat("/proc/" + pid + "/stat");
    std::string line;
    return !std::getline(stat, line) || line[line.rfind(')') + 2] == 'Z';
}

struct Case {
    std::vector<std::string> argv;
    ProgramLimits limits;
    ProgramRun expected;  // errorOutput "pid": the pid of a process the program started
};

const Case kCases[] = {
    {{"sh", "-c", "echo out; echo oops >&2; exit 3"},
     {10s, 99},
     {true, 3, false, "out\n", "oops\n"}},
    {{"tavrin-no-such-program"},
     {},
     {false, -1, false, "", "Cannot run tavrin-no-such-program: No such file or directory"}},
    {{"sh", "-c", "exit 127"}, {}, {false, 127, false, "", ""}},  // where exec fails after a fork
    // Output past the limits is read and dropped, so the program never waits on a full pipe.
    {{"sh", "-c", "head -c 999999 /dev/zero; head -c 999999 /dev/zero | tr '\\0' e >&2"},
     {10s, 0, 3},
     {true, 0, false, "", "eee"}},
    {{"cat"}, {10s}, {true, 0, false, "", ""}},  // stdin: the null device, not ours
    {{"sh", "-c", "sleep 30 & echo $! >&2; wait"}, {300ms}, {true, 128 + SIGKILL, true, "", "pid"}},
};

TEST(ChildProcess, RunsAProgramAndLeavesNothingBehind) {
    int silent[2];  // our stdin: a pipe nobody writes to
    ASSERT_EQ(pipe(silent), 0);
    const int stdinBefore = dup(0);
    dup2(silent[0], 0);
    for (const Case& row : kCases) {
        SCOPED_TRACE(row.argv.back());
        const long files = OpenFiles();
        const auto start = std::chrono::steady_clock::now();
        const ProgramRun run = RunProgram(row.argv, row.limits);
        EXPECT_LT(std::chrono::steady_clock::now() - start,
                  std::min<std::chrono::milliseconds>(row.limits.time, 5s) + 1s);
        EXPECT_EQ(run.started, row.expected.started);
        EXPECT_EQ(run.exitCode, row.expected.exitCode);
        EXPECT_EQ(run.timedOut, row.expected.timedOut);
        EXPECT_EQ(run.output, row.expected.output);
        EXPECT_EQ(OpenFiles(), files);
        EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1);
        EXPECT_EQ(errno, ECHILD) << "a child process is left";
        if (row.expected.errorOutput != "pid") {
            EXPECT_EQ(run.errorOutput, row.expected.errorOutput);
            continue;
        }
        const std::string pid = run.errorOutput.substr(0, run.errorOutput.find('\n'));
        for (int i = 0; i < 100 && !Dead(pid); ++i)
            std::this_thread::sleep_for(10ms);
        EXPECT_TRUE(Dead(pid)) << "what the program started still runs";
    }
    dup2(stdinBefore, 0);
    for (int fd : {stdinBefore, silent[0], silent[1]})
        close(fd);
}

}  // namespace
}  // namespace tavrin
