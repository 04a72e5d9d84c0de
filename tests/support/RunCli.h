#pragma once

#include <filesystem>
#include <string>

namespace tavrin::test {

struct CliResult {
    int exitCode = -1;  // -1: the program did not run or did not exit normally
    std::string out;
    std::string err;
};

// The shell command that runs tavrin-cli with `arguments` (already quoted for the shell) and its
// home, configuration and cache folders inside `folder`. `environment` holds further
// NAME='value' settings for it, separated by spaces.
std::string CliCommand(const std::filesystem::path& folder, const std::string& arguments,
                       const std::string& environment = {});

// Runs a shell command and collects its standard output and exit code; `errFile`, when given, is
// where the command sends its errors, and its text is read back into `err`.
CliResult RunCommand(const std::string& command, const std::filesystem::path& errFile = {});

// Runs tavrin-cli as CliCommand() does, its errors collected apart in `folder`/stderr.
CliResult RunCli(const std::filesystem::path& folder, const std::string& arguments);

}  // namespace tavrin::test
