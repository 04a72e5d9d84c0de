// Times the settings store at start-up and close against what a user would otherwise run to
// change one key of an INI file by hand (sed -i, which neither syncs nor keeps the old file
// whole on failure), on a typical file and on one grown to 1 MB by hand-written comments.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "settings/SettingsStartup.h"
#include "settings/SettingsStore.h"
#include "support/TempFolder.h"

namespace {

using Clock = std::chrono::steady_clock;

template <typename Action>
double MillisecondsPerRun(int runs, Action action) {
    const auto start = Clock::now();
    for (int i = 0; i < runs; ++i)
        action(i);
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count() / runs;
}

void Measure(const char* label, const std::string& padding) {
    tavrin::test::TempFolder folder;
    tavrin::SettingsLocation location;
    location.IniFileName = folder / "tavrin.ini";
    location.HomeFolder = folder.path().string();
    location.CacheFolder = (folder / "cache").string();
    tavrin::StoredSettings settings = tavrin::StartSettings(location, 320, 240).values;
    tavrin::test::WriteBytes(location.IniFileName,
                             padding + tavrin::test::ReadFile(location.IniFileName));

    const int runs = 50;
    const double load = MillisecondsPerRun(
        runs, [&](int i) { settings = tavrin::StartSettings(location, i, i).values; });
    const double save = MillisecondsPerRun(runs, [&](int i) {
        settings.plain.xpos = settings.plain.ypos = i;
        tavrin::SaveSettings(location, settings);
    });
    const std::string sed = "sed -i 's/^xpos=.*/xpos=7/' '" + location.IniFileName.string() + "'";
    const double sedOneKey = MillisecondsPerRun(runs, [&](int) {
        if (std::system(sed.c_str()) != 0)
            std::abort();
    });
    std::printf(
        "%-22s load (14 keys) %7.3f ms   save (14 keys, synced) %7.3f ms   "
        "sed -i (1 key) %7.3f ms\n",
        label, load, save, sedOneKey);
}

}  // namespace

int main() {
    Measure("typical file", "");
    std::string comments;
    while (comments.size() < 1024 * 1024)
        comments += "; a comment line written by hand\n";
    Measure("1 MB of comments", comments);
    return 0;
}
