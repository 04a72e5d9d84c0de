// SPDX-License-Identifier: GPL-3.0-or-later
#include "printers/SocketPrinter.h"

#include <fcntl.h>
#include <linux/sockios.h>
#include <netdb.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>

#include "platform/Error.h"

namespace tavrin {
namespace {

// The numbers of the jobs sent to sockets by this program; every one that was taken is done.
std::atomic<int> lastSocketJob{0};

using Clock = std::chrono::steady_clock;

class SocketJob final : public PrintJob {
public:
    SocketJob(const PrinterAddress& address, const SocketTimeouts& timeouts)
        : address_(address.text), timeouts_(timeouts) {
        Connect(address);
    }
    ~SocketJob() override {
        if (fd_ >= 0)
            close(fd_);
    }

    bool ok() const override { return error_.empty(); }
    std::string error() const override { return error_; }
    int id() const override { return id_; }

    std::size_t Write(const char* data, std::size_t size) override {
        if (!ok() || finished_)
            return 0;
        if (!WaitFor(POLLOUT))
            return 0;
        const ssize_t sent = send(fd_, data, size, MSG_NOSIGNAL);
        if (sent <= 0) {
            Broke(sent < 0 ? errno : 0);
            return 0;
        }
        return static_cast<std::size_t>(sent);
    }

    bool Finish() override {
        if (!ok() || finished_)
            return ok();
        finished_ = true;
        shutdown(fd_, SHUT_WR);
        // The device has the job once it has acknowledged every byte; a device that drops the
        // connection before then resets it.
        const auto giveUp = Clock::now() + std::chrono::milliseconds(timeouts_.silenceMilliseconds);
        // What the device sends back meanwhile (status, PJL answers) is read and dropped.
        for (bool closed = false;;) {
            if (const int error = SocketError()) {
                Broke(error);
                return false;
            }
            int unsent = 0;
            if (ioctl(fd_, SIOCOUTQ, &unsent) == 0 && unsent == 0)
                break;
            if (Clock::now() >= giveUp) {
                Fail("The device at " + address_ + " did not take the whole job");
                return false;
            }
            pollfd wait{fd_, static_cast<short>(closed ? 0 : POLLIN), 0};
            const int ready = poll(&wait, 1, 20);
            if (ready > 0 && !(wait.revents & POLLIN)) {
                usleep(20000);  // a hang-up wakes poll at once: wait for the acknowledgements
            } else if (ready > 0) {
                char discard[4096];
                const ssize_t got = recv(fd_, discard, sizeof discard, 0);
                if (got < 0) {
                    Broke(errno);
                    return false;
                }
                closed = got == 0;
            }
        }
        id_ = ++lastSocketJob;
        return true;
    }

    void Cancel() override {
        if (fd_ >= 0 && !finished_) {
            // A reset, so that the device drops what it has of the job.
            linger abort{1, 0};
            setsockopt(fd_, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
            close(fd_);
            fd_ = -1;
        }
        finished_ = true;
        if (error_.empty())
            error_ = "cancelled";
    }

private:
    void Connect(const PrinterAddress& address) {
        addrinfo hints{};
        hints.ai_socktype = SOCK_STREAM;
        addrinfo* found = nullptr;
        const std::string port = std::to_string(address.port);
        if (const int failed = getaddrinfo(address.host.c_str(), port.c_str(), &hints, &found)) {
            Fail(FormatMessage("Cannot connect to %s", address_) + ": " + gai_strerror(failed));
            return;
        }
        int error = ETIMEDOUT;
        for (addrinfo* at = found; at && fd_ < 0; at = at->ai_next) {
            const int fd = socket(at->ai_family, at->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC,
                                  at->ai_protocol);
            if (fd < 0)
                continue;
            if (connect(fd, at->ai_addr, at->ai_addrlen) != 0 && errno != EINPROGRESS) {
                error = errno;
                close(fd);
                continue;
            }
            pollfd wait{fd, POLLOUT, 0};
            const int ready = poll(&wait, 1, timeouts_.connectMilliseconds);
            socklen_t length = sizeof error;
            if (ready <= 0 || getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0 ||
                error != 0) {
                error = ready == 0 ? ETIMEDOUT : error;
                close(fd);
                continue;
            }
            fd_ = fd;
        }
        freeaddrinfo(found);
        if (fd_ < 0)
            Fail(FormatMessage("Cannot connect to %s", address_) + ": " + std::strerror(error));
    }

    bool WaitFor(short events) {
        pollfd wait{fd_, events, 0};
        const int ready = poll(&wait, 1, timeouts_.silenceMilliseconds);
        if (ready > 0 && !(wait.revents & (POLLERR | POLLHUP)))
            return true;
        if (ready == 0)
            Fail("The device at " + address_ + " does not answer");
        else
            Broke(SocketError());
        return false;
    }

    // The error the socket holds, which reading it clears: read once.
    int SocketError() const {
        int error = 0;
        socklen_t length = sizeof error;
        getsockopt(fd_, SOL_SOCKET, SO_ERROR, &error, &length);
        return error;
    }
    // `error` says why the connection broke; 0 when nothing does but that the device closed it.
    void Broke(int error) {
        Fail("The device at " + address_ +
             (error != 0 ? " dropped the connection: " + std::string(std::strerror(error))
                         : " closed the connection before it took every byte"));
    }
    void Fail(std::string text) {
        if (error_.empty())
            error_ = std::move(text);
    }

    std::string address_;
    SocketTimeouts timeouts_;
    int fd_ = -1;
    int id_ = 0;
    bool finished_ = false;
    std::string error_;
};

}  // namespace

SocketPrinter::SocketPrinter(PrinterAddress address, SocketTimeouts timeouts)
    : address_(std::move(address)), timeouts_(timeouts) {}

std::unique_ptr<PrintJob> SocketPrinter::StartRawDocument(const std::string&) {
    return std::make_unique<SocketJob>(address_, timeouts_);
}

std::optional<QueueStatus> SocketPrinter::Status(int firstJobId) {
    QueueStatus status;
    for (int id = std::max(firstJobId, 1); id <= lastSocketJob; ++id)
        status.jobs.push_back({id, QueueJobState::Completed, {}, {}});
    return status;
}

}  // namespace tavrin
