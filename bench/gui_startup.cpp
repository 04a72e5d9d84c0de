// Time from the start of the program to its first painted window, with 500 file names on the
// command line, next to a bare Qt window of the same size started the same way. Both run as
// processes under the offscreen platform against a private print server; each reports its first
// paint on stdout and ends there. Without and with the DNS-SD daemon running.
#include <stdio.h>
#include <stdlib.h>

#include <QApplication>
#include <QEvent>
#include <QMainWindow>
#include <QMenuBar>
#include <QStyleFactory>
#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "BenchSize.h"
#include "DnsSdDaemon.h"
#include "PrivateWindowUser.h"
#include "app/TavrinMain.h"
#include "support/DelayingProxy.h"
#include "support/SandboxPrintServer.h"
#include "support/TempFolder.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

const int kFiles = BenchSize(500, 20);
const int kRounds = BenchSize(21, 1);

void ReportShown() {
    std::fputs("shown\n", stdout);
    std::fflush(stdout);
    QCoreApplication::exit(0);
}

class FirstPaintReporter : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !done_) {
            done_ = true;
            QMetaObject::invokeMethod(qApp, &ReportShown, Qt::QueuedConnection);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool done_ = false;
};

int RunBareWindow(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QMainWindow window;
    window.menuBar()->addMenu(QStringLiteral("&File"));
    auto* client = new QWidget(&window);
    client->setFixedSize(521, 380);
    window.setCentralWidget(client);
    FirstPaintReporter reporter;
    window.installEventFilter(&reporter);
    window.show();
    return QApplication::exec();
}

// Milliseconds from the start of `command` to its "shown" line.
double TimeToShown(const std::string& command) {
    const auto start = Clock::now();
    FILE* child = popen(command.c_str(), "r");
    if (!child) {
        std::perror("popen");
        std::exit(1);
    }
    char line[64] = {};
    const bool shown = std::fgets(line, sizeof line, child) && std::strcmp(line, "shown\n") == 0;
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    pclose(child);
    if (!shown) {
        std::fprintf(stderr, "no window was shown by: %.200s\n", command.c_str());
        std::exit(1);
    }
    return ms;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

std::string Quoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && std::strcmp(argv[1], "--tavrin") == 0) {
        argv[1] = argv[0];
        int childArgc = argc - 1;
        tavrin::StartHooks hooks;
        hooks.onFirstPaint = [](tavrin::TTavrinForm&) { ReportShown(); };
        return tavrin::RunTavrin(childArgc, argv + 1, hooks);
    }
    if (argc >= 2 && std::strcmp(argv[1], "--bare") == 0)
        return RunBareWindow(1, argv);

    tavrin::test::SandboxPrintServer server;
    tavrin::test::TempFolder user;
    UsePrivateWindowUser(user);

    const std::vector<fs::path> samples = tavrin::test::SamplePrintFiles();
    std::string names;
    for (int i = 0; i < kFiles; ++i)
        names += " " + Quoted(samples[static_cast<std::size_t>(i) % samples.size()].string());

    const std::string self = Quoted(fs::canonical("/proc/self/exe").string());
    const std::string tavrinCommand = self + " --tavrin" + names;
    const std::string bareCommand = self + " --bare";
    std::printf("start to first painted window, median of %d starts (offscreen)\n", kRounds);
    const auto measure = [&](const std::string& condition) {
        // One start of each first: the settings file is written and the libraries are cached.
        TimeToShown(tavrinCommand);
        TimeToShown(bareCommand);
        std::vector<double> tavrinTimes;
        std::vector<double> bareTimes;
        for (int round = 0; round < kRounds; ++round) {
            tavrinTimes.push_back(TimeToShown(tavrinCommand));
            bareTimes.push_back(TimeToShown(bareCommand));
        }
        const double tavrin = Median(tavrinTimes);
        const double bare = Median(bareTimes);
        const auto [tavrinLow, tavrinHigh] =
            std::minmax_element(tavrinTimes.begin(), tavrinTimes.end());
        const auto [bareLow, bareHigh] = std::minmax_element(bareTimes.begin(), bareTimes.end());
        std::printf("%s\n", condition.c_str());
        std::printf("  %-44s %8.1f ms  (%.1f-%.1f)\n", "tavrin with 500 files, 4 printers", tavrin,
                    *tavrinLow, *tavrinHigh);
        std::printf("  %-44s %8.1f ms  (%.1f-%.1f)\n", "bare Qt window of the same size", bare,
                    *bareLow, *bareHigh);
        std::printf("  ratio %.2f (target: at most 1.50)\n", tavrin / bare);
    };
    DnsSdConditions::Run(measure);
    // A print server slow to answer, as a remote one on a busy network may be.
    const tavrin::test::DelayingProxy slow(server.Socket(), std::chrono::milliseconds(300));
    ::setenv("CUPS_SERVER", slow.Address().c_str(), 1);
    measure("print server answering each request after 300 ms");
    return 0;
}
