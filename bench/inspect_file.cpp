// SPDX-License-Identifier: GPL-3.0-or-later
// Inspects a 2 GB plot (a sparse file: a driver's PJL header and HP-GL/2 at its start, its page
// end at the end) with `tavrin-cli inspect` and with `file`, the tool a user would otherwise ask,
// and prints the median time of each over 11 runs. Target: under 50 ms for tavrin-cli.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "BenchSize.h"
#include "support/SandboxPrintServer.h"
#include "support/TempFolder.h"

namespace {

double MedianMilliseconds(const std::string& command) {
    std::vector<double> times;
    for (int run = 0; run < 11; ++run) {
        const auto start = std::chrono::steady_clock::now();
        if (std::system(command.c_str()) != 0) {
            std::fprintf(stderr, "failed: %s\n", command.c_str());
            std::exit(1);
        }
        times.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

}  // namespace

int main() {
    tavrin::test::TempFolder folder;
    const std::string plot = (folder / "huge.plt").string();
    tavrin::test::WriteBytes(plot, std::string(131072, '\0') +
                                       "\x1b%-12345X@PJL JOB\r\n@PJL ENTER LANGUAGE=HPGL2\r\n"
                                       "BP5,1;IN;QL0;PS11882,8402;RO90;SP1;PD0,0,1000,1000;");
    const off_t size = BenchSize<off_t>(2'000'000'000, 50'000'000);
    const int fd = ::open(plot.c_str(), O_WRONLY);
    if (fd < 0 || ::ftruncate(fd, size) != 0 || ::pwrite(fd, "PU;PG;", 6, size - 6) != 6)
        return 1;
    ::close(fd);
    const std::string quoted = " '" + plot + "' >/dev/null";
    const double tavrin =
        MedianMilliseconds("'" + tavrin::test::CliPath().string() + "' inspect" + quoted);
    const double file = MedianMilliseconds("file" + quoted);
    std::printf("%-30s %14s %10s\n", "inspect one plot", "tavrin-cli", "file");
    std::printf("%-30s %12.1fms %8.1fms\n", (std::to_string(size / 1'000'000) + " MB").c_str(),
                tavrin, file);
    std::printf("target: tavrin-cli under 50 ms\n");
    return TargetExitCode(tavrin < 50);
}
