#pragma once

#include <optional>
#include <string>

#include "printsystem/CupsConnection.h"
#include "printsystem/PrintSpooler.h"

namespace tavrin {

// An opened CUPS queue: the queue exists on a server that answered.
class CupsPrinterHandle : public PrinterHandle {
public:
    CupsPrinterHandle(std::string queueName, const CupsTimeouts& timeouts);

    bool ok() const override { return error_.empty(); }
    std::string error() const override { return error_; }
    std::optional<std::string> PortName() override;
    std::unique_ptr<PrintJob> StartRawDocument(const std::string& documentName) override;
    bool Send(QueueCommand command) override;
    std::optional<std::vector<QueueJob>> Jobs(JobsWanted wanted) override;
    std::optional<QueueStatus> Status(int firstJobId) override;

private:
    std::string queueName_;
    CupsTimeouts timeouts_;
    CupsConnection connection_;
    std::optional<std::string> deviceUri_;
    std::optional<std::string> printerUri_;
    std::string error_;
};

}  // namespace tavrin
