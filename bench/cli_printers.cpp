// SPDX-License-Identifier: GPL-3.0-or-later
// `tavrin-cli printers` against the least a program can do to list the print server's queues (one
// CUPS-Get-Printers request from a bare libcups program, built into this benchmark) and against
// `lpstat -a`, each a process per listing, on a private print server with four queues; without
// and with the DNS-SD daemon running.
#include <cups/cups.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "BenchSize.h"
#include "DnsSdDaemon.h"
#include "support/SandboxPrintServer.h"
#include "support/TempFolder.h"

namespace {

using Clock = std::chrono::steady_clock;
const int kRounds = BenchSize(51, 2);

// The bare listing: one request, the names printed.
int BareGetPrinters() {
    ipp_t* request = ippNewRequest(IPP_OP_CUPS_GET_PRINTERS);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr,
                 "printer-name");
    ipp_t* response = cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/");
    if (!response)
        return 1;
    for (ipp_attribute_t* a = ippFindAttribute(response, "printer-name", IPP_TAG_NAME); a;
         a = ippFindNextAttribute(response, "printer-name", IPP_TAG_NAME))
        std::puts(ippGetString(a, 0, nullptr));
    ippDelete(response);
    return 0;
}

double MedianMilliseconds(const std::string& command) {
    std::vector<double> times;
    for (int i = 0; i < kRounds; ++i) {
        const auto start = Clock::now();
        if (std::system((command + " > /dev/null").c_str()) != 0) {
            std::fprintf(stderr, "failed: %s\n", command.c_str());
            std::exit(1);
        }
        times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--bare") == 0)
        return BareGetPrinters();
    tavrin::test::SandboxPrintServer server;
    const std::string self = std::filesystem::canonical("/proc/self/exe").string();
    bool met = true;
    std::printf("listing the printers, median of %d runs, one process each\n", kRounds);
    DnsSdConditions::Run([&](const std::string& condition) {
        const double tavrin = MedianMilliseconds(std::string(TAVRIN_CLI_PATH) + " printers");
        const double bare = MedianMilliseconds(self + " --bare");
        const double lpstat = MedianMilliseconds("lpstat -a");
        std::printf("%s\n", condition.c_str());
        std::printf("  %-44s %8.2f ms\n", "tavrin-cli printers (name, port, class)", tavrin);
        std::printf("  %-44s %8.2f ms\n", "bare CUPS-Get-Printers (libcups, names)", bare);
        std::printf("  %-44s %8.2f ms\n", "lpstat -a", lpstat);
        std::printf("  ratio to the bare request %.2f (target: at most 1.50)\n", tavrin / bare);
        met = met && tavrin <= 1.5 * bare;
    });
    return TargetExitCode(met);
}
