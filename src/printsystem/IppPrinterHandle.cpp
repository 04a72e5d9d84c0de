// SPDX-License-Identifier: GPL-3.0-or-later
#include "printsystem/IppPrinterHandle.h"

#include "printsystem/CupsQueueStatus.h"
#include "printsystem/RefusedPrintJob.h"

namespace tavrin {
IppPrinterHandle::IppPrinterHandle(IppEndpoint endpoint,
                                   std::optional<std::vector<std::string>> knownFormats,
                                   DocumentFormatChoice choice, IppTimeouts timeouts)
    : endpoint_(std::move(endpoint)),
      knownFormats_(std::move(knownFormats)),
      choice_(std::move(choice)),
      timeouts_(timeouts) {}

std::unique_ptr<CupsConnection> IppPrinterHandle::Connect() const {
    return std::make_unique<CupsConnection>(endpoint_.host, endpoint_.port, endpoint_.encrypted,
                                            endpoint_.uri, timeouts_.connection);
}

std::unique_ptr<PrintJob> IppPrinterHandle::StartRawDocument(const std::string& documentName) {
    if (!knownFormats_) {
        const auto connection = Connect();
        const auto description = AskIppPrinter(*connection, endpoint_);
        if (!description)
            return std::make_unique<RefusedPrintJob>(connection->FailureText());
        knownFormats_ = description->documentFormats;
    }
    return std::make_unique<IppPrintJob>(endpoint_, documentName, *knownFormats_, choice_,
                                         timeouts_);
}

bool IppPrinterHandle::Send(QueueCommand command) {
    ipp_op_t operation = IPP_OP_PAUSE_PRINTER;
    if (command == QueueCommand::Resume)
        operation = IPP_OP_RESUME_PRINTER;
    if (command == QueueCommand::Purge)
        operation = IPP_OP_PURGE_JOBS;
    const auto connection = Connect();
    ipp_t* response = connection->ok()
                          ? connection->Ask(NewPrinterRequest(operation, endpoint_.uri),
                                            endpoint_.resource.c_str())
                          : nullptr;
    if (!response)
        error_ = connection->FailureText();
    ippDelete(response);
    return response != nullptr;
}

std::optional<std::vector<QueueJob>> IppPrinterHandle::Jobs(JobsWanted wanted) {
    return ReadQueueJobs(*Connect(), endpoint_.uri, endpoint_.resource, wanted);
}

std::optional<QueueStatus> IppPrinterHandle::Status(int firstJobId) {
    const auto connection = Connect();
    return ReadPrinterStatus(*connection, endpoint_.uri, endpoint_.resource, firstJobId);
}

std::optional<IppPrinterDescription> DescribeIppPrinter(const IppEndpoint& endpoint,
                                                        const CupsTimeouts& timeouts) {
    const CupsConnection connection(endpoint.host, endpoint.port, endpoint.encrypted, endpoint.uri,
                                    timeouts);
    return AskIppPrinter(connection, endpoint);
}

std::unique_ptr<PrinterHandle> OpenIppPrinter(IppEndpoint endpoint,
                                              std::optional<std::vector<std::string>> knownFormats,
                                              DocumentFormatChoice choice, IppTimeouts timeouts) {
    return std::make_unique<IppPrinterHandle>(std::move(endpoint), std::move(knownFormats),
                                              std::move(choice), timeouts);
}

}  // namespace tavrin
