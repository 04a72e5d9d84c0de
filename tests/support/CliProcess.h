// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <vector>

namespace tavrin::test {

// tavrin-cli running in the background with its home, config, cache and data folders in
// `folder`, as RunCli runs it, its output in files there. Killed (SIGKILL) when the object goes.
class CliProcess {
public:
    CliProcess(const std::filesystem::path& folder, const std::vector<std::string>& arguments);
    ~CliProcess();
    CliProcess(const CliProcess&) = delete;
    CliProcess& operator=(const CliProcess&) = delete;

    // Sends `signal`; with SIGKILL nothing of the program runs after it.
    void Signal(int signal);
    // Waits at most `seconds` for the program to end: its exit code, -1 on a signal, -2 when it
    // is still running.
    int Wait(int seconds);
    std::string Out() const;
    std::string Err() const;

private:
    pid_t pid_ = -1;
    int status_ = -2;
    std::filesystem::path out_;
    std::filesystem::path err_;
};

}  // namespace tavrin::test
