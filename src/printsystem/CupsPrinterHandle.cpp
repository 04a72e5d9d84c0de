#include "printsystem/CupsPrinterHandle.h"

#include "printsystem/CupsPrintJob.h"
#include "printsystem/CupsQueueAttributes.h"
#include "printsystem/CupsQueueStatus.h"

namespace tavrin {
CupsPrinterHandle::CupsPrinterHandle(std::string queueName, const CupsTimeouts& timeouts)
    : queueName_(std::move(queueName)), timeouts_(timeouts), connection_(timeouts) {
    if (!connection_.ok()) {
        error_ = connection_.error();
        return;
    }
    if (queueName_.empty()) {
        error_ = "No printer name";
        return;
    }
    const auto queue = ReadQueueAttributes(connection_, queueName_);
    if (!queue) {
        error_ = connection_.FailureText();
        return;
    }
    if (!queue->deviceUri.empty())
        deviceUri_ = queue->deviceUri;
    if (!queue->printerUri.empty())
        printerUri_ = queue->printerUri;
}

std::optional<std::string> CupsPrinterHandle::PortName() {
    if (!ok())
        return std::nullopt;
    return deviceUri_ ? deviceUri_ : printerUri_;
}

std::unique_ptr<PrintJob> CupsPrinterHandle::StartRawDocument(const std::string& documentName) {
    return std::make_unique<CupsPrintJob>(queueName_, documentName, timeouts_);
}

bool CupsPrinterHandle::Send(QueueCommand command) {
    if (!ok())
        return false;
    ipp_op_t operation = IPP_OP_PAUSE_PRINTER;
    if (command == QueueCommand::Resume)
        operation = IPP_OP_RESUME_PRINTER;
    if (command == QueueCommand::Purge)
        operation = IPP_OP_PURGE_JOBS;
    ipp_t* response = connection_.Ask(NewQueueRequest(operation, queueName_), "/admin/");
    ippDelete(response);
    return response != nullptr;
}

std::optional<std::vector<QueueJob>> CupsPrinterHandle::Jobs(JobsWanted wanted) {
    if (!ok())
        return std::nullopt;
    return ReadQueueJobs(connection_, QueueUri(queueName_), "/", wanted);
}

std::optional<QueueStatus> CupsPrinterHandle::Status(int firstJobId) {
    if (!ok())
        return std::nullopt;
    return ReadQueueStatus(connection_, queueName_, firstJobId);
}

}  // namespace tavrin
