// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <string>

#include "printers/PrinterAddress.h"
#include "printsystem/PrintSpooler.h"

namespace tavrin {

// How long a device on a socket may keep us waiting.
struct SocketTimeouts {
    int connectMilliseconds = 5000;
    int silenceMilliseconds = 20000;
};

// A device that takes raw jobs on a TCP port (AppSocket, JetDirect), with no queue in between:
// each job is one connection, the bytes streamed as they come. A job counts as printed once the
// device has taken every byte and the connection has ended without a reset; there is nothing to
// ask afterwards, so Status reports every job this program sent as completed.
class SocketPrinter final : public PrinterHandle {
public:
    SocketPrinter(PrinterAddress address, SocketTimeouts timeouts);

    bool ok() const override { return error_.empty(); }
    std::string error() const override { return error_; }
    std::optional<std::string> PortName() override { return address_.text; }
    std::unique_ptr<PrintJob> StartRawDocument(const std::string& documentName) override;
    // A socket has no queue to pause, resume or purge.
    bool Send(QueueCommand) override {
        error_ = "a device on a socket has no queue";
        return false;
    }
    std::optional<std::vector<QueueJob>> Jobs(JobsWanted) override {
        return std::vector<QueueJob>{};
    }
    std::optional<QueueStatus> Status(int firstJobId) override;

private:
    PrinterAddress address_;
    SocketTimeouts timeouts_;
    std::string error_;
};

}  // namespace tavrin
