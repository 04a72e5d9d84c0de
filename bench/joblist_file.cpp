// Times saving and opening job-list files of 1,000 to 1,000,000 files on the job list value,
// against the tools a user would otherwise use on such a list: wc -l to count its lines and
// cut -d';' -f1 to pull out the file names.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include <unistd.h>

#include "BenchSize.h"
#include "joblist/JobList.h"
#include "joblist/JobListFile.h"

namespace {

using Clock = std::chrono::steady_clock;

template <typename Action>
double Milliseconds(Action action) {
    const auto start = Clock::now();
    action();
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

tavrin::JobList FilledList(int files) {
    std::vector<std::string> names;
    names.reserve(static_cast<std::size_t>(files));
    for (int row = 1; row <= files; ++row) {
        names.push_back("/srv/plots/project " + std::to_string(row / 100) + "/sheet " +
                        std::to_string(row) + ".plt");
    }
    tavrin::JobList list;
    list.AddFiles(std::move(names), tavrin::ListMode::New, 1);
    for (int row = 1; row <= files; ++row)
        list.SetCopies(row - 1, std::to_string(row % 99 + 1));
    return list;
}

void Measure(const std::filesystem::path& folder, int files) {
    const tavrin::JobList source = FilledList(files);
    const std::string path = (folder / ("list-" + std::to_string(files) + ".tjf")).string();
    const double save = Milliseconds([&] { tavrin::SaveJobListFile(source, path); });

    tavrin::JobList target;
    const double open = Milliseconds([&] { target = tavrin::OpenJobListFile(path); });
    if (target.FileCount() != files)
        std::abort();

    const std::string wc = "wc -l < '" + path + "' > /dev/null";
    const std::string cut = "cut -d';' -f1 '" + path + "' > /dev/null";
    const double wcTime = Milliseconds([&] {
        if (std::system(wc.c_str()) != 0)
            std::abort();
    });
    const double cutTime = Milliseconds([&] {
        if (std::system(cut.c_str()) != 0)
            std::abort();
    });
    std::printf(
        "%8d files, %7.2f MB: save %8.1f ms   open %8.1f ms   |   wc -l %7.1f ms   "
        "cut -f1 %7.1f ms\n",
        files, std::filesystem::file_size(path) / 1e6, save, open, wcTime, cutTime);
}

}  // namespace

int main() {
    const std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                         ("tavrin-bench-joblist-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    for (int files :
         SmokeRun() ? std::vector<int>{100} : std::vector<int>{1000, 10000, 100000, 1000000})
        Measure(folder, files);
    std::filesystem::remove_all(folder);
    return 0;
}
