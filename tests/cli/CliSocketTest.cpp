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
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "support/SandboxPrintServer.h"
#include "support/TempFolder.h"
#include "support/WaitUntil.h"

namespace tavrin {
namespace {

// Whether the end of a loopback connection at `port`, coming from `peerPort`, has shut its writing
// side or is gone: whether the sender has written the whole job, as the kernel's table of TCP
// sockets tells (the states are hexadecimal, 01 is "established").
bool SenderIsDone(int port, int peerPort) {
    const auto portOf = [](const std::string& address) {
        return std::stoi(address.substr(address.find(':') + 1), nullptr, 16);
    };
    std::ifstream table("/proc/net/tcp");
    std::string line;
    std::getline(table, line);  // the heading
    while (std::getline(table, line)) {
        std::istringstream fields(line);
        std::string slot, local, remote, state;
        fields >> slot >> local >> remote >> state;
        if (portOf(local) == peerPort && portOf(remote) == port)
            return state != "01";
    }
    return true;
}

// A device on a loopback port that takes one job: all of it, or its first `keep` bytes before it
// ends the connection as `ending` says. Its receive buffer is small, as a real device's is: what
// it has not read stays mostly with the sender.
class Device {
public:
    enum Ending {
        kClose,
        kResetAtOnce,    // SO_LINGER 0, then close
        kResetOnceSent,  // the same once the sender has written every byte and shut its side
    };

    explicit Device(std::size_t keep = SIZE_MAX, Ending ending = kClose) {
        sockaddr_in address{AF_INET, 0, {htonl(INADDR_LOOPBACK)}, {}};
        socklen_t length = sizeof address;
        const int buffer = 16 << 10;
        setsockopt(listener_, SOL_SOCKET, SO_RCVBUF, &buffer, sizeof buffer);
        bind(listener_, reinterpret_cast<sockaddr*>(&address), length);
        listen(listener_, 1);
        getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
        port = ntohs(address.sin_port);
        thread_ = std::thread([this, keep, ending] { Serve(keep, ending); });
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
    void Serve(std::size_t keep, Ending ending) {
        sockaddr_in peer{};
        socklen_t length = sizeof peer;
        const int job = accept(listener_, reinterpret_cast<sockaddr*>(&peer), &length);
        if (job < 0)
            return;
        char buffer[65536];
        for (ssize_t got;
             received.size() < keep &&
             (got = read(job, buffer, std::min(sizeof buffer, keep - received.size()))) > 0;)
            received.append(buffer, static_cast<std::size_t>(got));
        if (ending == kResetOnceSent)
            test::WaitUntil([&] { return SenderIsDone(port, ntohs(peer.sin_port)); },
                            std::chrono::seconds(60), std::chrono::milliseconds(10));
        if (ending != kClose) {
            const linger reset{1, 0};
            setsockopt(job, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
        }
        close(job);
    }

    int listener_ = socket(AF_INET, SOCK_STREAM, 0);
    std::thread thread_;
};

TEST(CliSocket, TheDeviceGetsEveryByteAndNoListenerCannotBeReached) {
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

    const auto start = std::chrono::steady_clock::now();
    const test::CliResult dead = send("socket://127.0.0.1:" + std::to_string(deadPort));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    EXPECT_EQ(dead.exitCode, 1);
    EXPECT_NE(dead.err.find(": Cannot connect to socket://127.0.0.1:" + std::to_string(deadPort) +
                            ": Connection refused"),
              std::string::npos)
        << dead.err;
}

// A job counts as sent once the device has taken every byte, not once the sender's buffers hold
// them: a device that resets the connection before then has the job refused, with the reason.
TEST(CliSocket, ADeviceThatResetsTheConnectionBeforeTakingEveryByteHasTheJobRefused) {
    test::SandboxPrintServer server;
    test::TempFolder folder;
    const struct {
        const char* name;
        std::size_t size;   // of the job
        std::size_t taken;  // by the device before the reset
        Device::Ending ending;
    } rows[] = {
        // Less than the socket buffers hold: the sender has written all of it before the device
        // has taken half.
        {"small", 300u << 10, 100u << 10, Device::kResetOnceSent},
        // More than they hold: the sender waits for the device on the way, and has written the
        // rest when the device resets.
        {"large", 6u << 20, (6u << 20) - (256u << 10), Device::kResetOnceSent},
        // The device resets in the middle, while the sender still writes.
        {"cut short", 6u << 20, 3u << 20, Device::kResetAtOnce},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string plot = (folder / (std::string(row.name) + ".plt")).string();
        test::WritePatternFile(plot, row.size);
        Device device(row.taken, row.ending);
        const test::CliResult result =
            test::RunCli(folder.path(), "send --wait -p " + device.Address() + " '" + plot + "'");
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_EQ(result.out, "0 of 1 jobs sent to " + device.Address() + "\n");
        EXPECT_NE(result.err.find("Not sent to " + device.Address() + ":\n  " + plot +
                                  ": The device at " + device.Address() +
                                  " dropped the connection: Connection reset by peer\n"),
                  std::string::npos)
            << result.err;
    }
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
