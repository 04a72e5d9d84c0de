#include "support/RunCli.h"

#include <sys/wait.h>

#include <cstdio>

#include "support/ScratchFolder.h"
#include "support/TestPaths.h"

namespace tavrin::test {

std::string CliCommand(const std::filesystem::path& folder, const std::string& arguments,
                       const std::string& environment) {
    return "env HOME='" + (folder / "home").string() + "' XDG_CONFIG_HOME='" +
           (folder / "config").string() + "' XDG_CACHE_HOME='" + (folder / "cache").string() +
           "' " + (environment.empty() ? std::string() : environment + " ") + "'" +
           CliPath().string() + "' " + arguments;
}

CliResult RunCommand(const std::string& command, const std::filesystem::path& errFile) {
    CliResult result;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr)
        return result;
    char buffer[4096];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        result.out.append(buffer, got);
    const int status = ::pclose(pipe);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (!errFile.empty())
        result.err = ReadBytes(errFile);
    return result;
}

CliResult RunCli(const std::filesystem::path& folder, const std::string& arguments) {
    const std::filesystem::path errFile = folder / "stderr";
    return RunCommand(CliCommand(folder, arguments) + " 2>'" + errFile.string() + "'", errFile);
}

}  // namespace tavrin::test
