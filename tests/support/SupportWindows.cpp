// SPDX-License-Identifier: GPL-3.0-or-later
// The scratch folders on Windows. The sandbox print server and the IPP printer are POSIX
// programs a Windows test cannot start: the tests that need them skip on Windows
// (SKIP_WITHOUT_PRINT_SERVER), and what they would call throws.
#include "platform/WindowsApi.h"

#include <stdexcept>
#include <string>

#include "support/IppEvePrinter.h"
#include "support/SandboxPrintServer.h"
#include "support/TempFolder.h"

namespace tavrin::test {

namespace fs = std::filesystem;

TempFolder::TempFolder() {
    const fs::path base = fs::temp_directory_path();
    for (unsigned attempt = 0; attempt < 1000; ++attempt) {
        path_ = base / ("tavrin-test-" + std::to_string(GetCurrentProcessId()) + "-" +
                        std::to_string(GetTickCount64()) + "-" + std::to_string(attempt));
        if (CreateDirectoryW(path_.wstring().c_str(), nullptr))
            return;
    }
    throw std::runtime_error("cannot make a folder");
}

// What needs a POSIX program throws.
#define POSIX_ONLY(...)                                                             \
    __VA_ARGS__ {                                                                   \
        throw std::runtime_error("a POSIX program: it runs on POSIX systems only"); \
    }

POSIX_ONLY(CliResult RunCommand(const std::string&, const fs::path&));
POSIX_ONLY(CliResult RunCli(const fs::path&, const std::string&));
POSIX_ONLY(SandboxPrintServer::SandboxPrintServer(bool, int));
void SandboxPrintServer::Stop() {}
POSIX_ONLY(std::vector<QueueJob> SandboxPrintServer::AllJobs(const std::string&));
POSIX_ONLY(std::vector<ReceivedJob> SandboxPrintServer::WaitForJobs(const std::string&, std::size_t,
                                                                    std::chrono::seconds));
POSIX_ONLY(std::vector<fs::path> SandboxPrintServer::ReceivedFiles(const std::string&) const);
POSIX_ONLY(std::size_t SandboxPrintServer::RequestsAnswered() const);
POSIX_ONLY(IppEvePrinter::IppEvePrinter(const std::string&, bool));
IppEvePrinter::~IppEvePrinter() = default;
POSIX_ONLY(std::vector<fs::path> IppEvePrinter::Documents() const);
POSIX_ONLY(std::vector<std::string> IppEvePrinter::DocumentFormats() const);
POSIX_ONLY(std::string IppEvePrinter::Log() const);
POSIX_ONLY(std::map<std::string, std::string> IppEvePrinter::JobAttributes(int) const);

}  // namespace tavrin::test
