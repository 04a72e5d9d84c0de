// Times RewriteHpglFile on a 512 MB HP-GL/2 plot against `cp` of the same file, and reports the
// peak memory of each. Target: within 1.5 times the time of cp, peak memory under 30 MB.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "BenchSize.h"
#include "spool/HpglRewrite.h"
#include "support/TempFolder.h"

namespace {

namespace fs = std::filesystem;
using tavrin::SpoolOptions;

const std::uintmax_t kPlotSize = BenchSize<std::uintmax_t>(512ull * 1024 * 1024, 1024 * 1024);
const int kRounds = BenchSize(5, 1);
const std::string kReset = "\033E";  // ESC E, the printer reset
const std::string kUel = "\x1b%-12345X";

class BenchOptions : public SpoolOptions {
public:
    std::string folder;

    bool SmartReplots() const override { return true; }
    bool RemoveQL() const override { return true; }
    bool PSCollate() const override { return false; }
    bool FitToPage() const override { return false; }
    std::optional<tavrin::PageSize> CheckedPageSize() const override { return std::nullopt; }
    bool JobAsSet() const override { return false; }
    bool ClearAfterSpooling() const override { return false; }
    bool ReverseSet() const override { return false; }
    int GlobalCopies() const override { return 3; }
    int FromStart() const override { return 600; }
    int FromEnd() const override { return 30; }
    std::string TempFilesPath() const override { return folder; }
    std::string PrinterName() const override { return {}; }
};

// A plot of pen moves as a CAD program writes them: a head with a quality instruction, a long
// body, the page instruction and the job's exit sequence.
void WritePlot(const fs::path& path) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    const std::string head = kReset + "\x1b%-1BBPINQL100;PS11882,8402;SP1;";
    const std::string tail = "PU;SP0;PG;" + kUel;
    out << head;
    std::uintmax_t written = head.size();
    std::string chunk;
    unsigned step = 0;
    while (written + tail.size() < kPlotSize) {
        chunk.clear();
        while (chunk.size() < (1u << 20)) {
            chunk += "PU" + std::to_string(step * 37 % 11882) + "," +
                     std::to_string(step * 91 % 8402) + ";PD" + std::to_string(step * 53 % 11882) +
                     "," + std::to_string(step * 17 % 8402) + ";\n";
            ++step;
        }
        const std::uintmax_t room = kPlotSize - tail.size() - written;
        const std::size_t length =
            static_cast<std::size_t>(std::min<std::uintmax_t>(chunk.size(), room));
        out.write(chunk.data(), static_cast<std::streamsize>(length));
        written += length;
    }
    out << tail;
    if (!out) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        std::exit(1);
    }
}

struct Measure {
    double seconds = 0;
    long peakKiB = 0;
};

// Runs `work` in a child process, so that its peak memory is its own.
Measure InChild(const std::function<int()>& work) {
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = ::fork();
    if (child == 0) {
        std::_Exit(work());
    }
    int status = 0;
    rusage usage{};
    ::wait4(child, &status, 0, &usage);
    const auto end = std::chrono::steady_clock::now();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "a measured run failed\n");
        std::exit(1);
    }
    return {std::chrono::duration<double>(end - start).count(), usage.ru_maxrss};
}

}  // namespace

int main() {
    tavrin::test::TempFolder folder;
    const fs::path plot = folder / "plot.plt";
    const fs::path copy = folder / "copy.plt";
    BenchOptions options;
    options.folder = folder.path().string();
    const fs::path temp = folder / "temp.$$$";

    std::printf("writing a %ju MB HP-GL/2 plot in %s\n", kPlotSize >> 20, folder.path().c_str());
    WritePlot(plot);

    std::vector<Measure> copies;
    std::vector<Measure> rewrites;
    const auto runCp = [&] {
        return InChild([&] {
            ::execlp("cp", "cp", plot.c_str(), copy.c_str(), static_cast<char*>(nullptr));
            return 127;
        });
    };
    const auto runRewrite = [&] {
        return InChild([&] {
            try {
                return tavrin::RewriteHpglFile(plot.string(), 2, options).replotPlaced ? 0 : 2;
            } catch (const std::exception& error) {
                std::fprintf(stderr, "%s\n", error.what());
                return 1;
            }
        });
    };
    for (int round = 0; round < kRounds; ++round) {
        // Each run starts with no dirty pages left by the one before; the order alternates so
        // that neither always runs second.
        ::sync();
        if (round % 2 == 0) {
            copies.push_back(runCp());
            ::sync();
            rewrites.push_back(runRewrite());
        } else {
            rewrites.push_back(runRewrite());
            ::sync();
            copies.push_back(runCp());
        }
        std::printf("round %d: cp %.3f s, RewriteHpglFile %.3f s\n", round + 1,
                    copies.back().seconds, rewrites.back().seconds);
    }
    if (fs::file_size(temp) != fs::file_size(plot) + 5) {
        std::fprintf(stderr, "the rewritten file has the wrong length\n");
        return 1;
    }

    const auto fastest = [](const std::vector<Measure>& runs) {
        return *std::min_element(runs.begin(), runs.end(), [](const Measure& a, const Measure& b) {
            return a.seconds < b.seconds;
        });
    };
    const auto peak = [](const std::vector<Measure>& runs) {
        long most = 0;
        for (const Measure& run : runs) {
            most = std::max(most, run.peakKiB);
        }
        return most;
    };
    const auto median = [](std::vector<Measure> runs) {
        std::sort(runs.begin(), runs.end(),
                  [](const Measure& a, const Measure& b) { return a.seconds < b.seconds; });
        return runs[runs.size() / 2].seconds;
    };
    const Measure cp = fastest(copies);
    const Measure rewrite = fastest(rewrites);
    std::printf("\n%-18s %10s %10s %14s\n", "", "best time", "median", "peak memory");
    std::printf("%-18s %8.3f s %8.3f s %11.1f MB\n", "cp", cp.seconds, median(copies),
                peak(copies) / 1024.0);
    std::printf("%-18s %8.3f s %8.3f s %11.1f MB\n", "RewriteHpglFile", rewrite.seconds,
                median(rewrites), peak(rewrites) / 1024.0);
    std::printf("time ratio RewriteHpglFile / cp: %.2f best, %.2f median (target at most 1.5)\n",
                rewrite.seconds / cp.seconds, median(rewrites) / median(copies));
    std::printf("peak memory of RewriteHpglFile: %.1f MB (target under 30 MB)\n",
                peak(rewrites) / 1024.0);
    return 0;
}
