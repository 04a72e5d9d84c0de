// Times `tavrin-cli send` against `lp -o raw`, each delivering to a private print server whose
// devices record every byte: 200 small files (20 KB each), one 200 MB file, and 10 copies of a
// 100 MB HP-GL/2 plot (tavrin-cli with the plotter making the copies, lp with -n 10).
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "BenchSize.h"
#include "support/SandboxPrintServer.h"
#include "support/TempFolder.h"

namespace {

namespace fs = std::filesystem;
using Server = tavrin::test::SandboxPrintServer;
using Clock = std::chrono::steady_clock;

const int kSmallFiles = BenchSize(200, 5);
constexpr std::uintmax_t kSmallSize = 20 * 1024;
const std::uintmax_t kLargeSize = BenchSize<std::uintmax_t>(200ull * 1024 * 1024, 1024 * 1024);
const std::uintmax_t kPlotSize = BenchSize<std::uintmax_t>(100ull * 1024 * 1024, 1024 * 1024);
const int kCopies = BenchSize(10, 2);

struct Figures {
    double seconds = 0;
    std::size_t jobs = 0;
    std::uintmax_t bytes = 0;
};

std::string Quoted(const std::string& text) {
    return "'" + text + "'";
}

void Shell(const std::string& command) {
    const int status = std::system(command.c_str());
    if (!WIFEXITED(status) || (WEXITSTATUS(status) != 0 && WEXITSTATUS(status) != 1)) {
        std::fprintf(stderr, "failed: %s\n", command.c_str());
        std::exit(1);
    }
}

// Runs `command`, then waits until the queue's device has every job; the time runs from the
// start of the command to the last byte received.
Figures Deliver(Server& server, const std::string& queue, const std::string& command,
                std::size_t jobs) {
    const std::size_t before = server.ReceivedFiles(queue).size();
    const auto start = Clock::now();
    Shell(command);
    const auto received = server.WaitForJobs(queue, before + jobs, std::chrono::seconds(600));
    Figures figures;
    figures.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    for (std::size_t i = before; i < received.size(); ++i) {
        ++figures.jobs;
        figures.bytes += received[i].size;
    }
    return figures;
}

// An HP-GL/2 plot of pen moves with its page instruction near the end.
void WritePlot(const fs::path& path, std::uintmax_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    const std::string head = "\x1b%-1BBPINPS11882,8402;SP1;";
    const std::string tail = "PU;SP0;PG;\x1b%-12345X";
    out << head;
    std::uintmax_t written = head.size();
    std::string chunk;
    unsigned step = 0;
    while (written + tail.size() < size) {
        chunk = "PU" + std::to_string(step % 9000) + "," + std::to_string(step * 7 % 9000) + ";PD" +
                std::to_string(step * 13 % 9000) + "," + std::to_string(step % 700) + ";";
        if (written + chunk.size() + tail.size() > size)
            chunk.assign(size - written - tail.size(), ';');
        out << chunk;
        written += chunk.size();
        ++step;
    }
    out << tail;
}

void Print(const char* what, const char* tool, const Figures& f) {
    std::printf("  %-11s %-34s %8.2f s %6zu jobs %13ju bytes %9.1f MB/s\n", tool, what, f.seconds,
                f.jobs, f.bytes, f.bytes / f.seconds / 1e6);
}

}  // namespace

int main() {
    tavrin::test::TempFolder folder;
    fs::permissions(folder.path(), fs::perms::owner_all | fs::perms::group_read |
                                       fs::perms::group_exec | fs::perms::others_read |
                                       fs::perms::others_exec);
    Server server;
    const std::string env = "env HOME=" + Quoted(folder.path().string()) +
                            " XDG_CONFIG_HOME=" + Quoted((folder / "config").string()) +
                            " XDG_CACHE_HOME=" + Quoted((folder / "cache").string()) + " ";
    const std::string cli = env + Quoted(tavrin::test::CliPath().string()) + " send --temp-dir " +
                            Quoted(folder.path().string()) + " ";

    fs::create_directory(folder / "small");
    std::string smallNames;
    std::string lpSmall = "for f in";
    for (int i = 0; i < kSmallFiles; ++i) {
        const fs::path path = folder / "small" / ("plot" + std::to_string(i) + ".plt");
        tavrin::test::WritePatternFile(path, kSmallSize, static_cast<std::uint32_t>(i + 1));
        smallNames += " " + Quoted(path.string());
    }
    lpSmall += smallNames +
               "; do lp -d raw-printer -o raw -t \"$(basename \"$f\")\" \"$f\" "
               ">/dev/null || exit 2; done";
    const fs::path large = folder / "large.prn";
    tavrin::test::WritePatternFile(large, kLargeSize, 7);
    const fs::path plot = folder / "plot.plt";
    WritePlot(plot, kPlotSize);

    std::printf("spool_send: tavrin-cli send vs lp -o raw, private print server, socket devices\n");
    std::printf("%d files of %ju bytes:\n", kSmallFiles, kSmallSize);
    Print("200 small files, one run", "tavrin-cli",
          Deliver(server, Server::kRawQueue, cli + "-p raw-printer" + smallNames + " >/dev/null",
                  kSmallFiles));
    Print("200 small files, lp per file", "lp -o raw",
          Deliver(server, Server::kRawQueue, "sh -c " + Quoted(lpSmall), kSmallFiles));

    std::printf("one file of %ju bytes:\n", kLargeSize);
    Print("200 MB file", "tavrin-cli",
          Deliver(server, Server::kRawQueue,
                  cli + "-p raw-printer " + Quoted(large.string()) + " >/dev/null", 1));
    Print("200 MB file", "lp -o raw",
          Deliver(server, Server::kRawQueue,
                  "lp -d raw-printer -o raw " + Quoted(large.string()) + " >/dev/null", 1));

    std::printf("%d copies of a %ju-byte HP-GL/2 plot:\n", kCopies, kPlotSize);
    Print("copies by plotter (RP9)", "tavrin-cli",
          Deliver(server, Server::kHpglQueue,
                  cli + "-p hpgl-plotter --device-copies -n " + std::to_string(kCopies) + " " +
                      Quoted(plot.string()) + " >/dev/null",
                  1));
    Print("-n 10", "lp -o raw",
          Deliver(server, Server::kHpglQueue,
                  "lp -d hpgl-plotter -o raw -n " + std::to_string(kCopies) + " " +
                      Quoted(plot.string()) + " >/dev/null",
                  1));
    return 0;
}
