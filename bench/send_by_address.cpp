// SPDX-License-Identifier: GPL-3.0-or-later
// Sends one 200 MB plot straight to printers by address, with no print server between:
// by IPP to a real IPP printer (ippeveprinter), with tavrin-cli and with `ipptool -f FILE ...
// print-job.test`; and by AppSocket to a listener on a loopback port, with tavrin-cli and with a
// Python socket sender (socket.sendfile, the kernel copying the file). Prints the best of three
// times each took until the printer or listener had every byte.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>

#include "BenchSize.h"
#include "support/IppEvePrinter.h"
#include "support/SandboxPrintServer.h"
#include "support/TempFolder.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRounds = 3;

std::string Quoted(const std::string& text) {
    return "'" + text + "'";
}

void Run(const std::string& command) {
    const int status = std::system(command.c_str());
    if (status != 0) {
        std::fprintf(stderr, "failed (%d): %s\n", status, command.c_str());
        std::exit(1);
    }
}

// A device on a loopback port that takes one job after another, each to its end.
class Listener {
public:
    Listener() {
        sockaddr_in address{AF_INET, 0, {htonl(INADDR_LOOPBACK)}, {}};
        socklen_t length = sizeof address;
        bind(socket_, reinterpret_cast<sockaddr*>(&address), length);
        listen(socket_, 4);
        getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &length);
        port = ntohs(address.sin_port);
        thread_ = std::thread([this] {
            static char buffer[1 << 20];
            for (int job; (job = accept(socket_, nullptr, nullptr)) >= 0;) {
                std::uintmax_t got = 0;
                for (ssize_t n; (n = read(job, buffer, sizeof buffer)) > 0;)
                    got += static_cast<std::uintmax_t>(n);
                close(job);
                received = got;
                ++jobs;
            }
        });
    }
    ~Listener() {
        shutdown(socket_, SHUT_RDWR);
        close(socket_);
        thread_.join();
    }
    // Waits until `count` jobs have ended; the size of the last.
    std::uintmax_t WaitForJobs(int count) const {
        while (jobs < count)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return received;
    }

    int port = 0;
    std::atomic<int> jobs{0};
    std::atomic<std::uintmax_t> received{0};

private:
    int socket_ = ::socket(AF_INET, SOCK_STREAM, 0);
    std::thread thread_;
};

double Seconds(const std::function<void()>& send) {
    const auto start = Clock::now();
    send();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

void PrintRow(const char* what, const char* other, double tavrin, double theirs) {
    std::printf("%-34s %10.2fs %10.2fs %8.2f  (%s)\n", what, tavrin, theirs, tavrin / theirs,
                other);
}

}  // namespace

int main() {
    tavrin::test::TempFolder folder;
    // No print server answers: printers by address need none.
    setenv("CUPS_SERVER", (folder / "no-server").c_str(), 1);
    const std::string cli = Quoted(tavrin::test::CliPath().string());
    const std::uintmax_t size = BenchSize<std::uintmax_t>(200ull << 20, 1ull << 20);
    // A plot as a Designjet driver wraps it: PJL, then HP-GL/2.
    const std::string plot = (folder / "large.plt").string();
    tavrin::test::WriteBytes(plot, "\x1b%-12345X@PJL ENTER LANGUAGE=HPGL2\r\nIN;");
    tavrin::test::WritePatternFile(folder / "body", size, 3);
    Run("cat " + Quoted((folder / "body").string()) + " >> " + Quoted(plot));
    std::filesystem::remove(folder / "body");
    const std::uintmax_t plotSize = std::filesystem::file_size(plot);

    double tavrinIpp = 1e9, ipptool = 1e9;
    {
        tavrin::test::IppEvePrinter printer("application/vnd.hp-hpgl");
        const auto waitIdle = [&] {
            // The printer takes the next job once the last has ended; each document it kept
            // is removed so that the disk does not fill.
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            for (const auto& document : printer.Documents()) {
                if (std::filesystem::file_size(document) != plotSize) {
                    std::fprintf(stderr, "the printer kept %ju bytes of %ju\n",
                                 std::filesystem::file_size(document), plotSize);
                    std::exit(1);
                }
                std::filesystem::remove(document);
            }
        };
        for (int round = 0; round < kRounds; ++round) {
            tavrinIpp = std::min(
                tavrinIpp, Seconds([&] {
                    Run(cli + " send -p " + printer.Uri() + " " + Quoted(plot) + " >/dev/null");
                }));
            waitIdle();
            ipptool = std::min(ipptool, Seconds([&] {
                                   Run("ipptool -f " + Quoted(plot) +
                                       " -d filetype=application/vnd.hp-hpgl " + printer.Uri() +
                                       " print-job.test >/dev/null");
                               }));
            waitIdle();
        }
    }

    double tavrinSocket = 1e9, python = 1e9;
    {
        Listener listener;
        const std::string address = "socket://127.0.0.1:" + std::to_string(listener.port);
        int jobs = 0;
        const auto delivered = [&] {
            if (listener.WaitForJobs(++jobs) != plotSize) {
                std::fprintf(stderr, "the listener got %ju bytes of %ju\n",
                             static_cast<std::uintmax_t>(listener.received), plotSize);
                std::exit(1);
            }
        };
        for (int round = 0; round < kRounds; ++round) {
            tavrinSocket =
                std::min(tavrinSocket, Seconds([&] {
                             Run(cli + " send -p " + address + " " + Quoted(plot) + " >/dev/null");
                             delivered();
                         }));
            python = std::min(python, Seconds([&] {
                                  Run("python3 -c 'import socket,sys; "
                                      "s=socket.create_connection((\"127.0.0.1\"," +
                                      std::to_string(listener.port) +
                                      ")); s.sendfile(open(sys.argv[1],\"rb\")); s.close()' " +
                                      Quoted(plot));
                                  delivered();
                              }));
        }
    }

    std::printf("%-34s %11s %11s %8s\n", "one plot, until all is delivered", "tavrin-cli",
                "other tool", "ratio");
    const std::string label = std::to_string(plotSize >> 20) + " MB by IPP";
    PrintRow(label.c_str(), "ipptool print-job.test", tavrinIpp, ipptool);
    const std::string socketLabel = std::to_string(plotSize >> 20) + " MB by socket://";
    PrintRow(socketLabel.c_str(), "python3 socket.sendfile", tavrinSocket, python);
    std::printf("target: at most 1.10 each\n");
    return TargetExitCode(tavrinIpp <= 1.1 * ipptool && tavrinSocket <= 1.1 * python);
}
