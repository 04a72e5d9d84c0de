// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ChildProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <thread>
#include <utility>

extern char** environ;

namespace tavrin {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// How often a program whose output is all read is looked at, at the most.
constexpr milliseconds kLongestNap{50};

// Our end of a pipe the program writes to, and what has been kept of it.
struct Stream {
    int fd = -1;
    std::string* kept = nullptr;
    std::size_t limit = 0;

    // Reads what is waiting: > 0 when something came, 0 at the end, < 0 when nothing is there.
    ssize_t ReadSome() const {
        char buffer[8192];
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got > 0 && kept->size() < limit)
            kept->append(buffer, std::min(static_cast<std::size_t>(got), limit - kept->size()));
        return got < 0 && errno != EAGAIN && errno != EINTR ? 0 : got;
    }
    void Close() {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
};

// A pipe whose read end is ours and does not block; both ends close on exec, so no other
// program we start gets them.
bool MakePipe(int ends[2]) {
    if (::pipe2(ends, O_CLOEXEC) != 0)
        return false;
    ::fcntl(ends[0], F_SETFL, ::fcntl(ends[0], F_GETFL) | O_NONBLOCK);
    return true;
}

// Whether the program has ended, leaving it unreaped so its process group cannot be reused yet.
bool Ended(pid_t pid) {
    siginfo_t info{};
    if (::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) != 0)
        return errno != EINTR;  // ECHILD: SIGCHLD is ignored and the system reaped it
    return info.si_pid == pid;
}

void Watch(pid_t pid, Clock::time_point deadline, Stream* streams, std::size_t count,
           ProgramRun& run) {
    milliseconds nap{1};
    while (!Ended(pid)) {
        const Clock::time_point now = Clock::now();
        if (now >= deadline) {
            run.timedOut = true;
            return;
        }
        const milliseconds left = std::chrono::ceil<milliseconds>(deadline - now);
        pollfd waits[2];
        std::size_t open = 0;
        for (std::size_t i = 0; i < count; ++i)
            if (streams[i].fd >= 0)
                waits[open++] = {streams[i].fd, POLLIN, 0};
        if (open == 0) {
            // It closed its output but still runs: look again soon, then less often.
            std::this_thread::sleep_for(std::min(left, nap));
            nap = std::min(nap * 2, kLongestNap);
            continue;
        }
        if (::poll(waits, open, static_cast<int>(std::min(left, kLongestNap).count())) <= 0)
            continue;
        for (std::size_t i = 0; i < count; ++i)
            for (std::size_t w = 0; w < open; ++w)
                if (streams[i].fd == waits[w].fd && waits[w].revents != 0 &&
                    streams[i].ReadSome() == 0)
                    streams[i].Close();
    }
}

}  // namespace

ProgramRun RunProgram(const std::vector<std::string>& argv, const ProgramLimits& limits) {
    ProgramRun run;
    if (argv.empty())
        return run;
    const Clock::time_point deadline = Clock::now() + limits.time;

    int errors[2] = {-1, -1};
    int output[2] = {-1, -1};
    if (!MakePipe(errors) || (limits.output > 0 && !MakePipe(output))) {
        run.errorOutput = "Cannot start " + argv[0] + ": " + std::strerror(errno);
        for (int fd : {errors[0], errors[1], output[0], output[1]})
            if (fd >= 0)
                ::close(fd);
        return run;
    }

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    if (output[1] >= 0)
        posix_spawn_file_actions_adddup2(&actions, output[1], 1);
    else
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, errors[1], 2);

    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    // Its own process group, so that whatever it starts can be killed with it.
    posix_spawnattr_setpgroup(&attributes, 0);
    sigset_t signals;
    sigemptyset(&signals);
    posix_spawnattr_setsigmask(&attributes, &signals);
    // Signals this process ignores would stay ignored in the program.
    for (int number :
         {SIGPIPE, SIGINT, SIGQUIT, SIGTERM, SIGHUP, SIGCHLD, SIGALRM, SIGUSR1, SIGUSR2, SIGXFSZ})
        sigaddset(&signals, number);
    posix_spawnattr_setsigdefault(&attributes, &signals);
    posix_spawnattr_setflags(
        &attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    std::vector<char*> args;
    for (const std::string& arg : argv)
        args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    pid_t pid = 0;
    const int failure = ::posix_spawnp(&pid, args[0], &actions, &attributes, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    ::close(errors[1]);
    if (output[1] >= 0)
        ::close(output[1]);

    Stream streams[2] = {{errors[0], &run.errorOutput, limits.errorOutput},
                         {output[0], &run.output, limits.output}};
    if (failure != 0) {
        for (Stream& stream : streams)
            stream.Close();
        run.errorOutput = "Cannot run " + argv[0] + ": " + std::strerror(failure);
        return run;
    }
    run.started = true;

    Watch(pid, deadline, streams, 2, run);
    // The program when its time is up, and anything it left running in its group either way.
    ::kill(-pid, SIGKILL);
    // What is still in the pipes; a bounded number of reads, as a process outside the group
    // may still hold them open and write.
    for (Stream& stream : streams) {
        for (int read = 0; read < 16 && stream.fd >= 0 && stream.ReadSome() > 0; ++read) {
        }
        stream.Close();
    }
    int status = 0;
    pid_t reaped;
    while ((reaped = ::waitpid(pid, &status, 0)) < 0 && errno == EINTR) {
    }
    if (reaped == pid)
        run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    // Where the system runs a program by hand after the spawn, 127 tells that the exec failed.
    if (!run.timedOut && run.exitCode == 127)
        run.started = false;
    return run;
}

}  // namespace tavrin
