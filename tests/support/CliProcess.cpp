// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/CliProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>

#include "support/TempFolder.h"

extern char** environ;

namespace tavrin::test {
namespace fs = std::filesystem;

CliProcess::CliProcess(const fs::path& folder, const std::vector<std::string>& arguments) {
    static std::atomic<int> runs{0};
    const std::string run = std::to_string(++runs);
    out_ = folder / ("stdout-" + run);
    err_ = folder / ("stderr-" + run);
    std::vector<std::string> environment = {"HOME=" + (folder / "home").string(),
                                            "XDG_CONFIG_HOME=" + (folder / "config").string(),
                                            "XDG_CACHE_HOME=" + (folder / "cache").string(),
                                            "XDG_DATA_HOME=" + (folder / "data").string()};
    for (char** variable = environ; *variable; ++variable) {
        const std::string text = *variable;
        const std::string name = text.substr(0, text.find('='));
        if (name != "HOME" && name != "XDG_CONFIG_HOME" && name != "XDG_CACHE_HOME" &&
            name != "XDG_DATA_HOME" && name != "TAVRIN_JOBLOG")
            environment.push_back(text);
    }
    std::vector<std::string> words = {CliPath().string()};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv, envp;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    for (std::string& variable : environment)
        envp.push_back(variable.data());
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, out_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, err_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int failed = posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (failed)
        throw std::runtime_error("cannot start " + words[0]);
}

CliProcess::~CliProcess() {
    if (status_ == -2) {
        ::kill(pid_, SIGKILL);
        Wait(30);
    }
}

void CliProcess::Signal(int signal) {
    if (status_ == -2)
        ::kill(pid_, signal);
}

int CliProcess::Wait(int seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (status_ == -2) {
        int status = 0;
        const pid_t ended = ::waitpid(pid_, &status, WNOHANG);
        if (ended == pid_)
            status_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        else if (std::chrono::steady_clock::now() >= deadline)
            break;
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return status_;
}

std::string CliProcess::Out() const {
    return ReadFile(out_);
}

std::string CliProcess::Err() const {
    return ReadFile(err_);
}

}  // namespace tavrin::test
