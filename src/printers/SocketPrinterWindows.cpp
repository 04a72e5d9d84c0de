// SPDX-License-Identifier: GPL-3.0-or-later
// The device on a socket through Winsock.
#include "platform/WindowsApi.h"

#include <algorithm>
#include <atomic>
#include <chrono>

#include "platform/Error.h"
#include "platform/WindowsText.h"
#include "printers/SocketPrinter.h"

namespace tavrin {
namespace {

// The numbers of the jobs sent to sockets by this program; every one that was taken is done.
std::atomic<int> lastSocketJob{0};

using Clock = std::chrono::steady_clock;

// Winsock is started once, for the whole run.
bool WinsockStarted() {
    static const bool started = [] {
        WSADATA data{};
        return WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    return started;
}

class SocketJob final : public PrintJob {
public:
    SocketJob(const PrinterAddress& address, const SocketTimeouts& timeouts)
        : address_(address.text), timeouts_(timeouts) {
        if (!WinsockStarted()) {
            Fail(FormatMessage("Cannot connect to %s", address_) + ": no Winsock");
            return;
        }
        Connect(address);
    }
    ~SocketJob() override {
        if (socket_ != INVALID_SOCKET)
            closesocket(socket_);
    }

    bool ok() const override { return error_.empty(); }
    std::string error() const override { return error_; }
    int id() const override { return id_; }

    std::size_t Write(const char* data, std::size_t size) override {
        if (!ok() || finished_)
            return 0;
        if (!WaitFor(POLLWRNORM, timeouts_.silenceMilliseconds))
            return 0;
        const int piece = static_cast<int>(std::min<std::size_t>(size, 1 << 20));
        const int sent = send(socket_, data, piece, 0);
        if (sent <= 0) {
            Broke(sent < 0 ? WSAGetLastError() : 0);
            return 0;
        }
        return static_cast<std::size_t>(sent);
    }

    bool Finish() override {
        if (!ok() || finished_)
            return ok();
        finished_ = true;
        shutdown(socket_, SD_SEND);
        // The device has the job once it closes its side after the last byte; a device that
        // drops the connection before then resets it. What it sends back meanwhile (status, PJL
        // answers) is read and dropped.
        const auto giveUp = Clock::now() + std::chrono::milliseconds(timeouts_.silenceMilliseconds);
        for (;;) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(giveUp - Clock::now());
            if (left.count() <= 0) {
                Fail("The device at " + address_ + " did not take the whole job");
                return false;
            }
            if (!WaitFor(POLLRDNORM, static_cast<int>(left.count())))
                return false;
            char discard[4096];
            const int got = recv(socket_, discard, sizeof discard, 0);
            if (got < 0) {
                Broke(WSAGetLastError());
                return false;
            }
            if (got == 0)
                break;
        }
        id_ = ++lastSocketJob;
        return true;
    }

    void Cancel() override {
        if (socket_ != INVALID_SOCKET && !finished_) {
            // A reset, so that the device drops what it has of the job.
            linger abort{1, 0};
            setsockopt(socket_, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&abort),
                       sizeof abort);
            closesocket(socket_);
            socket_ = INVALID_SOCKET;
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
            Fail(FormatMessage("Cannot connect to %s", address_) + ": " +
                 WindowsErrorText(static_cast<unsigned long>(failed)));
            return;
        }
        int error = WSAETIMEDOUT;
        for (addrinfo* at = found; at && socket_ == INVALID_SOCKET; at = at->ai_next) {
            const SOCKET candidate = socket(at->ai_family, at->ai_socktype, at->ai_protocol);
            if (candidate == INVALID_SOCKET)
                continue;
            u_long nonBlocking = 1;
            ioctlsocket(candidate, FIONBIO, &nonBlocking);
            if (connect(candidate, at->ai_addr, static_cast<int>(at->ai_addrlen)) != 0 &&
                WSAGetLastError() != WSAEWOULDBLOCK) {
                error = WSAGetLastError();
                closesocket(candidate);
                continue;
            }
            WSAPOLLFD wait{candidate, POLLWRNORM, 0};
            const int ready = WSAPoll(&wait, 1, timeouts_.connectMilliseconds);
            int length = sizeof error;
            if (ready <= 0 ||
                getsockopt(candidate, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error),
                           &length) != 0 ||
                error != 0) {
                error = ready == 0 ? WSAETIMEDOUT : error;
                closesocket(candidate);
                continue;
            }
            socket_ = candidate;
        }
        freeaddrinfo(found);
        if (socket_ == INVALID_SOCKET)
            Fail(FormatMessage("Cannot connect to %s", address_) + ": " +
                 WindowsErrorText(static_cast<unsigned long>(error)));
    }

    bool WaitFor(short events, int milliseconds) {
        WSAPOLLFD wait{socket_, events, 0};
        const int ready = WSAPoll(&wait, 1, milliseconds);
        if (ready > 0 && !(wait.revents & POLLERR) &&
            (!(wait.revents & POLLHUP) || (events & POLLRDNORM)))
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
        int length = sizeof error;
        getsockopt(socket_, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &length);
        return error;
    }
    // `error` says why the connection broke; 0 when nothing does but that the device closed it.
    void Broke(int error) {
        Fail("The device at " + address_ +
             (error != 0 ? " dropped the connection: " +
                               WindowsErrorText(static_cast<unsigned long>(error))
                         : " closed the connection before it took every byte"));
    }
    void Fail(std::string text) {
        if (error_.empty())
            error_ = std::move(text);
    }

    std::string address_;
    SocketTimeouts timeouts_;
    SOCKET socket_ = INVALID_SOCKET;
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
