#pragma once

#include <charconv>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace tavrin::cli {

// Exit codes of tavrin-cli.
constexpr int kExitOk = 0;         // every job accepted / command done
constexpr int kExitRefused = 1;    // the spooler refused at least one send
constexpr int kExitError = 2;      // an error stopped the command; stderr holds its message
constexpr int kExitStillOpen = 3;  // send --wait: the timeout passed with jobs still open
constexpr int kExitUsage = 64;     // bad usage

// Bad command-line usage: printed with the usage text, exit code 64.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

using Args = std::vector<std::string>;

// The decimal number `text` spells when it lies in low..high; nothing for other text.
inline std::optional<int> WholeNumberIn(const std::string& text, int low, int high) {
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end || value < low || value > high)
        return std::nullopt;
    return value;
}

struct Command {
    const char* name;
    const char* usage;  // one line: arguments after the command name
    int (*run)(const Args& args);
};

// One function per command, each in its own file (CliPrinters.cpp, CliSend.cpp, ...).
// The table in main.cpp lists them.
int RunPrinters(const Args& args);
int RunSend(const Args& args);
// Prints the INI file's path and every setting the window would start with, key=value.
int RunSettings(const Args& args);
// Pause, resume or purge a printer's queue (CliQueue.cpp).
int RunPause(const Args& args);
int RunResume(const Args& args);
int RunPurge(const Args& args);
// Lists a printer's waiting jobs, one tab-separated line each.
int RunJobs(const Args& args);
// One line per file: its language and what it says about itself (CliInspect.cpp).
int RunInspect(const Args& args);
// A picture of the file's first page, written as PNG or SVG (CliPreview.cpp).
int RunPreview(const Args& args);
// The job log: one line per job, or totals per printer and period (CliLog.cpp).
int RunLog(const Args& args);
// Prints the files that come into hot folders, until SIGTERM or, with --once, until what was
// there has ended (CliWatch.cpp).
int RunWatch(const Args& args);

}  // namespace tavrin::cli
