// SPDX-License-Identifier: GPL-3.0-or-later
// Makes a PNG picture 1600 pixels wide of a 10 MB HP-GL/2 plot with `tavrin-cli preview` and with
// hp2xx, the converter a plot room would otherwise use, and prints the best time of 3 runs and the
// peak memory of each. Targets: tavrin-cli no slower than hp2xx, and under 50 MB.
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "BenchSize.h"
#include "support/TempFolder.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

constexpr int kWidth = 1600;
constexpr int kRounds = 3;
// An A1 sheet across, in plotter units.
constexpr int kPlotWidth = 33640;
constexpr int kPlotHeight = 23760;

// The same numbers on every run and every machine.
class Random {
public:
    int Below(int bound) {
        state_ = state_ * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<int>((state_ >> 33) % static_cast<std::uint64_t>(bound));
    }

private:
    std::uint64_t state_ = 20261207;
};

// A drawing as a CAD program plots it: a frame, then polylines of a few to a few hundred points
// in six pens, with circles and labels among them. Written a piece at a time, so that this
// process stays small: its children's peak memory counts what it holds when they start.
void WritePlot(const fs::path& path, std::uintmax_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    // PW, one of HP-GL/2's own instructions, makes it an HP-GL/2 plot rather than HP-GL.
    out << "IN;PW0.35,1;PW0.25,2;PW0.5,3;PW0.18,4;PW0.7,5;PW0.13,6;SP1;PU0,0;PD" << kPlotWidth
        << ",0," << kPlotWidth << ',' << kPlotHeight << ",0," << kPlotHeight << ",0,0;\n";
    Random random;
    std::string piece;
    std::uintmax_t written = 0;
    while (written < size) {
        piece.clear();
        const int what = random.Below(100);
        int x = random.Below(kPlotWidth);
        int y = random.Below(kPlotHeight);
        if (what < 4) {
            piece += "SP" + std::to_string(1 + random.Below(6)) + ";";
        } else if (what < 10) {
            // Circles and labels stay inside the frame, so that it is the drawing's extent.
            const int radius = 40 + random.Below(2000);
            piece += "PU" + std::to_string(std::clamp(x, radius, kPlotWidth - radius)) + "," +
                     std::to_string(std::clamp(y, radius, kPlotHeight - radius)) + ";CI" +
                     std::to_string(radius) + ";";
        } else if (what < 14) {
            piece += "PU" + std::to_string(x * 9 / 10) + "," + std::to_string(y * 9 / 10) +
                     ";LBPART-" + std::to_string(random.Below(100000)) + " REV " +
                     std::string(1, static_cast<char>('A' + random.Below(26))) + "\x03";
        } else {
            piece += "PU" + std::to_string(x) + "," + std::to_string(y) + ";PD";
            const int points = 2 + random.Below(random.Below(10) == 0 ? 400 : 30);
            for (int point = 0; point < points; ++point) {
                x = std::clamp(x + random.Below(241) - 120, 0, kPlotWidth);
                y = std::clamp(y + random.Below(241) - 120, 0, kPlotHeight);
                piece += (point ? "," : "") + std::to_string(x) + "," + std::to_string(y);
            }
            piece += ";";
        }
        piece += "\n";
        out << piece;
        written += piece.size();
    }
    out << "PU;SP0;\n";
    if (!out) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        std::exit(1);
    }
}

struct Measure {
    double seconds = 0;
    long peakKiB = 0;
};

// Runs a program with its output thrown away (its errors are kept in `errors`, and shown when it
// fails); its time and the peak memory of that process.
Measure Run(const std::vector<std::string>& argv, const fs::path& errors) {
    std::vector<char*> args;
    for (const std::string& arg : argv)
        args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    const auto start = std::chrono::steady_clock::now();
    pid_t child = 0;
    const int spawned = ::posix_spawnp(&child, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    rusage usage{};
    if (spawned != 0 || ::wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "failed: %s\n%s", argv[0].c_str(),
                     tavrin::test::ReadFile(errors).c_str());
        std::exit(1);
    }
    const auto end = std::chrono::steady_clock::now();
    return {std::chrono::duration<double>(end - start).count(), usage.ru_maxrss};
}

// The width and height a PNG file's header gives; 0 x 0 when it is no PNG.
std::pair<int, int> PngSize(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    unsigned char head[24] = {};
    if (!in.read(reinterpret_cast<char*>(head), sizeof head) ||
        std::string(reinterpret_cast<char*>(head), 8) != "\x89PNG\r\n\x1a\n" ||
        std::string(reinterpret_cast<char*>(head + 12), 4) != "IHDR")
        return {0, 0};
    const auto word = [&](int at) {
        return static_cast<int>(std::uint32_t{head[at]} << 24 | std::uint32_t{head[at + 1]} << 16 |
                                std::uint32_t{head[at + 2]} << 8 | head[at + 3]);
    };
    return {word(16), word(20)};
}

}  // namespace

int main() {
    tavrin::test::TempFolder folder;
    const std::string plot = (folder / "plot.plt").string();
    const std::uintmax_t size = BenchSize<std::uintmax_t>(10'000'000, 20'000);
    WritePlot(plot, size);
    const std::string ours = (folder / "tavrin.png").string();
    const std::string theirs = (folder / "hp2xx.png").string();
    const std::string cli = tavrin::test::CliPath().string();
    const std::vector<std::string> tavrin = {
        cli, "preview", plot, "-o", ours, "--width", std::to_string(kWidth)};
    const fs::path errors = folder / "errors.txt";
    // hp2xx fits the drawing, its proportions kept, into -w x -h millimetres at -d dots per inch,
    // and adds a pixel or three that depend on the drawing: the width that makes its PNG 1600
    // pixels across is found by trying, then halving the gap between one too narrow and one too
    // wide.
    std::vector<std::string> hp2xx = {"hp2xx", "-q", "-m", "png", "-d",   "100", "-w",
                                      "",      "-h", "",   "-f",  theirs, plot};
    double millimetres = (kWidth - 3) * 0.254;
    double narrow = 0, wide = 0;
    for (int attempt = 0; attempt < 12; ++attempt) {
        char text[32];
        std::snprintf(text, sizeof text, "%.3f", millimetres);
        hp2xx[7] = hp2xx[9] = text;
        Run(hp2xx, errors);
        const int width = PngSize(theirs).first;
        if (width == kWidth || width == 0)
            break;
        (width < kWidth ? narrow : wide) = millimetres;
        millimetres =
            narrow > 0 && wide > 0 ? (narrow + wide) / 2 : millimetres + (kWidth - width) * 0.254;
    }
    std::vector<Measure> tavrinRuns, hp2xxRuns;
    for (int round = 0; round < kRounds; ++round) {
        // The order alternates so that neither always runs on a warmer machine.
        if (round % 2 == 0) {
            tavrinRuns.push_back(Run(tavrin, errors));
            hp2xxRuns.push_back(Run(hp2xx, errors));
        } else {
            hp2xxRuns.push_back(Run(hp2xx, errors));
            tavrinRuns.push_back(Run(tavrin, errors));
        }
    }
    const auto best = [](const std::vector<Measure>& runs) {
        Measure measure = runs.front();
        for (const Measure& run : runs) {
            measure.seconds = std::min(measure.seconds, run.seconds);
            measure.peakKiB = std::max(measure.peakKiB, run.peakKiB);
        }
        return measure;
    };
    const Measure tavrinBest = best(tavrinRuns);
    const Measure hp2xxBest = best(hp2xxRuns);
    const auto [tavrinWidth, tavrinHeight] = PngSize(ours);
    const auto [hp2xxWidth, hp2xxHeight] = PngSize(theirs);

    char title[64];
    std::snprintf(title, sizeof title, "PNG of a %.2f MB plot", fs::file_size(plot) / 1e6);
    std::printf("%-34s %12s %12s %14s\n", title, "best of 3", "peak memory", "PNG pixels");
    std::printf("%-34s %10.0fms %9.1f MB %7d x %d\n", "tavrin-cli preview",
                tavrinBest.seconds * 1000, tavrinBest.peakKiB / 1024.0, tavrinWidth, tavrinHeight);
    const std::string hp2xxName = "hp2xx -m png -d 100 -w " + hp2xx[7];
    std::printf("%-34s %10.0fms %9.1f MB %7d x %d\n", hp2xxName.c_str(), hp2xxBest.seconds * 1000,
                hp2xxBest.peakKiB / 1024.0, hp2xxWidth, hp2xxHeight);
    std::printf("targets: tavrin-cli no slower than hp2xx, peak memory under 50 MB\n");
    if (tavrinWidth != kWidth || hp2xxWidth != kWidth) {
        std::fprintf(stderr, "a PNG is not %d pixels wide\n", kWidth);
        return 1;
    }
    return TargetExitCode(tavrinBest.seconds <= hp2xxBest.seconds &&
                          tavrinBest.peakKiB < 50 * 1024);
}
