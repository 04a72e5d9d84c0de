// Adding one batch of 10,000 names to the job list and removing 1,000 rows one by one, on the
// job list value that the window and tavrin-cli share. Next to it: the same work on a plain
// vector of (name, copies) rows, the least any list of files costs.
#include <chrono>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "BenchSize.h"
#include "joblist/JobList.h"

namespace {

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

std::vector<std::string> Names(int count) {
    std::vector<std::string> names;
    names.reserve(count);
    for (int i = 0; i < count; ++i) {
        names.push_back("/home/drawings/project-" + std::to_string(i / 100) + "/sheet-" +
                        std::to_string(i) + ".plt");
    }
    return names;
}

struct Figures {
    double batchMs = 0;
    double removeMs = 0;
};

Figures JobListValue(const std::vector<std::string>& names, int removals) {
    tavrin::JobList list;
    list.SetPending(names, int(names.size()));
    Figures figures;
    auto start = Clock::now();
    list.AddBatch(tavrin::ListMode::New, 1);
    figures.batchMs = Milliseconds(Clock::now() - start);
    start = Clock::now();
    for (int i = 0; i < removals; ++i)
        list.Remove(0, tavrin::ListMode::New);  // the first row: every row below moves up
    figures.removeMs = Milliseconds(Clock::now() - start);
    if (list.FileCount() != int(names.size()) - removals) {
        std::fprintf(stderr, "wrong count of files after the removals\n");
        std::exit(2);
    }
    return figures;
}

Figures PlainVector(const std::vector<std::string>& names, int removals) {
    std::vector<std::pair<std::string, std::string>> rows;
    Figures figures;
    auto start = Clock::now();
    for (const auto& name : names)
        rows.emplace_back(name, "1");
    figures.batchMs = Milliseconds(Clock::now() - start);
    start = Clock::now();
    for (int i = 0; i < removals; ++i)
        rows.erase(rows.begin());
    figures.removeMs = Milliseconds(Clock::now() - start);
    return figures;
}

}  // namespace

int main() {
    const int kNames = BenchSize(10'000, 200);
    const int kRemovals = BenchSize(1'000, 20);
    const std::vector<std::string> names = Names(kNames);
    Figures best{1e9, 1e9};
    Figures plain{1e9, 1e9};
    for (int run = 0; run < 5; ++run) {
        Figures f = JobListValue(names, kRemovals);
        best = {std::min(best.batchMs, f.batchMs), std::min(best.removeMs, f.removeMs)};
        Figures p = PlainVector(names, kRemovals);
        plain = {std::min(plain.batchMs, p.batchMs), std::min(plain.removeMs, p.removeMs)};
    }
    std::printf("job list, %d names, %d removals (best of 5)\n", kNames, kRemovals);
    std::printf("%-34s %14s %16s\n", "", "batch (ms)", "per removal (us)");
    std::printf("%-34s %14.2f %16.2f\n", "JobList value", best.batchMs,
                best.removeMs * 1000 / kRemovals);
    std::printf("%-34s %14.2f %16.2f\n", "plain vector of rows", plain.batchMs,
                plain.removeMs * 1000 / kRemovals);
    std::printf("target: batch under 100 ms: %s\n", best.batchMs < 100 ? "met" : "MISSED");
    return TargetExitCode(best.batchMs < 100);
}
