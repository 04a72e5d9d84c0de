// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace tavrin::test {

// A print server that is slow to answer: listens on a loopback port and passes every connection
// on to the server at the domain socket `serverSocket`, holding back each piece of the server's
// answers for `delay`, or for as long as it is held. Point CUPS_SERVER at Address() to use it.
class DelayingProxy {
public:
    DelayingProxy(std::string serverSocket, std::chrono::milliseconds delay)
        : serverSocket_(std::move(serverSocket)), delay_(delay) {
        sockaddr_in address{AF_INET, 0, {htonl(INADDR_LOOPBACK)}, {}};
        socklen_t length = sizeof(address);
        auto* any = reinterpret_cast<sockaddr*>(&address);
        if (listener_ < 0 || bind(listener_, any, length) != 0 || listen(listener_, 64) != 0 ||
            getsockname(listener_, any, &length) != 0)
            throw std::runtime_error("the delaying proxy cannot listen");
        address_ = "127.0.0.1:" + std::to_string(ntohs(address.sin_port));
        acceptor_ = std::thread([this] { Accept(); });
    }
    ~DelayingProxy() {
        stopping_ = true;
        acceptor_.join();
        for (int fd : sockets_)
            shutdown(fd, SHUT_RDWR);
        for (std::thread& pass : passes_)
            pass.join();
        for (int fd : sockets_)
            close(fd);
        close(listener_);
    }

    const std::string& Address() const { return address_; }
    void Hold() { held_ = true; }
    void Release() { held_ = false; }

private:
    void Accept() {
        for (pollfd wait{listener_, POLLIN, 0}; !stopping_;) {
            const int client = poll(&wait, 1, 50) > 0 ? accept(listener_, nullptr, nullptr) : -1;
            if (client < 0)
                continue;
            const int server = socket(AF_UNIX, SOCK_STREAM, 0);
            sockaddr_un address{AF_UNIX, {}};
            std::strncpy(address.sun_path, serverSocket_.c_str(), sizeof(address.sun_path) - 1);
            connect(server, reinterpret_cast<sockaddr*>(&address), sizeof(address));
            const std::lock_guard lock(mutex_);
            sockets_.insert(sockets_.end(), {client, server});
            passes_.emplace_back([this, client, server] { Pass(client, server, false); });
            passes_.emplace_back([this, client, server] { Pass(server, client, true); });
        }
    }
    void Pass(int from, int to, bool delayed) {
        char buffer[1 << 16];
        for (ssize_t got; (got = read(from, buffer, sizeof buffer)) > 0;) {
            while (delayed && held_ && !stopping_)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            if (delayed)
                std::this_thread::sleep_for(delay_);
            for (ssize_t sent = 0, n = 0; sent < got; sent += n) {
                if ((n = send(to, buffer + sent, std::size_t(got - sent), MSG_NOSIGNAL)) <= 0)
                    return;
            }
        }
        shutdown(to, SHUT_WR);
    }

    std::string serverSocket_;
    std::chrono::milliseconds delay_;
    std::string address_;
    int listener_ = socket(AF_INET, SOCK_STREAM, 0);
    std::atomic<bool> stopping_{false}, held_{false};
    std::mutex mutex_;
    std::vector<int> sockets_;
    std::vector<std::thread> passes_;
    std::thread acceptor_;
};

}  // namespace tavrin::test
