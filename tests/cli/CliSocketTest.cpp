// SPDX-License-Identifier: GPL-3.0-or-later
// tavrin-cli sending to a device's socket by its address, with no print server's queue between.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <thread>

#include "support/SandboxPrintServer.h"
#include "support/TempFolder.h"

namespace tavrin {
namespace {

// A device on a loopback port that takes one job: all of it, or its first `keep` bytes before it
// closes the connection.
class Device {
public:
    explicit Device(std::size_t keep = SIZE_MAX) {
        sockaddr_in address{AF_INET, 0, {htonl(INADDR_LOOPBACK)}, {}};
        socklen_t length = sizeof address;
        bind(listener_, reinterpret_cast<sockaddr*>(&address), length);
        listen(listener_, 1);
        getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
        port = ntohs(address.sin_port);
        thread_ = std::thread([this, keep] {
            const int job = accept(listener_, nullptr, nullptr);
            char buffer[65536];
            for (ssize_t got;
                 received.size() < keep &&
                 (got = read(job, buffer, std::min(sizeof buffer, keep - received.size()))) > 0;)
                received.append(buffer, static_cast<std::size_t>(got));
            close(job);
        });
    }
    ~Device() {
        shutdown(listener_, SHUT_RDWR);
        Received();
        close(listener_);
    }
    std::string Address() const { return "socket://127.0.0.1:" + std::to_string(port); }
    const std::string& Received() {
        if (thread_.joinable())
            thread_.join();
        return received;
    }

    int port = 0;
    std::string received;

private:
    int listener_ = socket(AF_INET, SOCK_STREAM, 0);
    std::thread thread_;
};

TEST(CliSocket, TheDeviceGetsEveryByteADropIsRefusedAndNoListenerCannotBeReached) {
    test::SandboxPrintServer server;
    test::TempFolder folder;
    const std::string plot = (folder / "large.plt").string();
    test::WritePatternFile(plot, 6u << 20);
    const auto send = [&](const std::string& address) {
        return test::RunCli(folder.path(), "send --wait -p " + address + " '" + plot + "'");
    };

    int deadPort = 0;  // nothing listens there once the device is gone
    {
        Device whole;
        deadPort = whole.port;
        const test::CliResult sent = send(whole.Address());
        EXPECT_EQ(sent.exitCode, 0) << sent.err;
        EXPECT_EQ(sent.out.substr(0, sent.out.find('\n')),
                  "1 of 1 jobs sent to " + whole.Address());
        EXPECT_TRUE(whole.Received() == test::ReadFile(plot));
    }

    Device dropping(3u << 20);
    const test::CliResult dropped = send(dropping.Address());
    EXPECT_EQ(dropped.exitCode, 1);
    EXPECT_EQ(dropped.out, "0 of 1 jobs sent to " + dropping.Address() + "\n");
    EXPECT_NE(dropped.err.find("Not sent to " + dropping.Address() + ":\n  " + plot +
                               ": The device at " + dropping.Address() + " dropped the connection"),
              std::string::npos)
        << dropped.err;

    const auto start = std::chrono::steady_clock::now();
    const test::CliResult dead = send("socket://127.0.0.1:" + std::to_string(deadPort));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    EXPECT_EQ(dead.exitCode, 1);
    EXPECT_NE(dead.err.find(": Cannot connect to socket://127.0.0.1:" + std::to_string(deadPort) +
                            ": Connection refused"),
              std::string::npos)
        << dead.err;
}

// The window's INI file lists printers by address after the queues; -p takes their names.
TEST(CliSocket, PrintersByAddressFromTheIniFileAreListedLastAndTakeJobsByName) {
    test::SandboxPrintServer server;
    test::TempFolder folder;
    Device device;
    std::filesystem::create_directories(folder / "config/tavrin");
    test::WriteBytes(folder / "config/tavrin/tavrin.ini",
                     "[PrintersByAddress]\nCount=3\nName1=Plotter\nAddress1=" + device.Address() +
                         "\nClass1=HPGL/2\nName2=Gone\nName3=Broken\nAddress3=lpd://x\n");
    const std::string plot = (test::SamplesDir() / "jem-green-HPGL2/XANADU-PLT-test.plt").string();
    const struct {
        std::string arguments;
        int exitCode;
        std::string out, err;
    } rows[] = {
        {"printers", 0, "\n4\tPlotter\t" + device.Address() + "\tHPGL/2\n5\tBroken\t\tUnknown\n",
         ""},
        {"pause -p Plotter", 2, "",
         "The print spooler refused to pause the queue of printer Plotter: a device on a socket "
         "has no queue\n"},
        {"send -p Broken '" + plot + "'", 1, "0 of 1 jobs sent to Broken\n",
         "'lpd://x' is no printer address"},
        {"send -p Plotter '" + plot + "'", 0, "1 of 1 jobs sent to Plotter\n", ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.arguments);
        const test::CliResult result = test::RunCli(folder.path(), row.arguments);
        EXPECT_EQ(result.exitCode, row.exitCode) << result.err;
        EXPECT_EQ(
            result.out.substr(result.out.size() - std::min(result.out.size(), row.out.size())),
            row.out);
        EXPECT_NE(result.err.find(row.err), std::string::npos) << result.err;
    }
    EXPECT_TRUE(device.Received() == test::ReadFile(plot));
}

}  // namespace
}  // namespace tavrin
