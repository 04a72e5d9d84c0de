// SPDX-License-Identifier: GPL-3.0-or-later
#include "printsystem/IppPrintJob.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace tavrin {
namespace {

constexpr std::size_t kPieceSize = 256 * 1024;
// The most a head may hold when a document starts with this much NUL padding or more.
constexpr std::size_t kMostHeadBytes = 4 * 1024 * 1024;

std::unique_ptr<CupsConnection> ConnectTo(const IppEndpoint& endpoint,
                                          const IppTimeouts& timeouts) {
    return std::make_unique<CupsConnection>(endpoint.host, endpoint.port, endpoint.encrypted,
                                            endpoint.uri, timeouts.connection);
}

// A request about job `jobId` at the printer, with its target attributes in the order IPP
// wants them.
ipp_t* NewJobRequest(ipp_op_t operation, const IppEndpoint& endpoint, int jobId) {
    ipp_t* request = ippNewRequest(operation);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr,
                 endpoint.uri.c_str());
    ippAddInteger(request, IPP_TAG_OPERATION, IPP_TAG_INTEGER, "job-id", jobId);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
                 cupsUser());
    return request;
}

}  // namespace

IppPrintJob::IppPrintJob(IppEndpoint endpoint, const std::string& documentName,
                         std::vector<std::string> supportedFormats, DocumentFormatChoice choice,
                         const IppTimeouts& timeouts)
    : endpoint_(std::move(endpoint)),
      documentName_(documentName),
      supportedFormats_(std::move(supportedFormats)),
      choice_(std::move(choice)),
      timeouts_(timeouts),
      connection_(ConnectTo(endpoint_, timeouts_)) {
    pending_.reserve(kPieceSize + 65536);
    if (!connection_->ok()) {
        Fail(connection_->error());
        return;
    }
    CreateJob(documentName);
}

IppPrintJob::~IppPrintJob() {
    if (!finished_)
        Cancel();
}

void IppPrintJob::CreateJob(const std::string& documentName) {
    using Clock = std::chrono::steady_clock;
    const auto pause = std::chrono::milliseconds(timeouts_.busyPauseMilliseconds);
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeouts_.busyMilliseconds);
    for (;;) {
        ipp_t* request = NewPrinterRequest(IPP_OP_CREATE_JOB, endpoint_.uri);
        ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "job-name", nullptr,
                     documentName.c_str());
        if (ipp_t* response = connection_->Ask(request, endpoint_.resource.c_str())) {
            jobId_ = ippGetInteger(ippFindAttribute(response, "job-id", IPP_TAG_INTEGER), 0);
            ippDelete(response);
            if (jobId_ <= 0) {
                jobId_ = 0;
                Fail("The printer at " + endpoint_.uri + " gave the job no number");
            }
            return;
        }
        const bool busy = cupsLastError() == IPP_STATUS_ERROR_BUSY;
        if (!busy || connection_->timedOut()) {
            Fail(connection_->FailureText());
            return;
        }
        if (Clock::now() + pause > deadline) {
            Fail("The printer at " + endpoint_.uri + " stayed busy for " +
                 std::to_string(timeouts_.busyMilliseconds / 1000) +
                 " s: " + connection_->FailureText());
            return;
        }
        std::this_thread::sleep_for(pause);
    }
}

void IppPrintJob::Fail(std::string error) {
    if (error_.empty())
        error_ = error.empty() ? "refused by the printer at " + endpoint_.uri : std::move(error);
    Cancel();
}

bool IppPrintJob::HeadIsComplete() const {
    if (pending_.size() >= kMostHeadBytes)
        return true;
    const auto text = std::find_if(pending_.begin(), pending_.end(), [](char c) { return c; });
    return static_cast<std::size_t>(pending_.end() - text) >= choice_.headBytes &&
           text != pending_.end();
}

bool IppPrintJob::StartDocument() {
    started_ = true;
    documentFormat_ =
        choice_.choose
            ? choice_.choose(std::string_view(pending_.data(), pending_.size()), supportedFormats_)
            : "application/octet-stream";
    ipp_t* request = NewJobRequest(IPP_OP_SEND_DOCUMENT, endpoint_, jobId_);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "document-name", nullptr,
                 documentName_.c_str());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_MIMETYPE, "document-format", nullptr,
                 documentFormat_.c_str());
    ippAddBoolean(request, IPP_TAG_OPERATION, "last-document", 1);
    const http_status_t status = cupsSendRequest(connection_->http(), request,
                                                 endpoint_.resource.c_str(), CUPS_LENGTH_VARIABLE);
    ippDelete(request);
    if (status != HTTP_STATUS_CONTINUE) {
        // The printer may have answered already, refusing the document; its answer says why.
        ippDelete(cupsGetResponse(connection_->http(), endpoint_.resource.c_str()));
        Fail(connection_->FailureText());
        return false;
    }
    return Flush();
}

std::size_t IppPrintJob::Write(const char* data, std::size_t size) {
    if (!ok() || finished_ || size == 0)
        return 0;
    pending_.insert(pending_.end(), data, data + size);
    if (!started_) {
        if (HeadIsComplete() && !StartDocument())
            return 0;
        return size;
    }
    if (pending_.size() >= kPieceSize && !Flush())
        return 0;
    return size;
}

bool IppPrintJob::Flush() {
    if (pending_.empty())
        return true;
    if (cupsWriteRequestData(connection_->http(), pending_.data(), pending_.size()) !=
        HTTP_STATUS_CONTINUE) {
        ippDelete(cupsGetResponse(connection_->http(), endpoint_.resource.c_str()));
        Fail(connection_->FailureText());
        return false;
    }
    pending_.clear();
    return true;
}

bool IppPrintJob::Finish() {
    if (!ok() || finished_)
        return ok() && finished_;
    if (!started_ && !StartDocument())
        return false;
    if (!Flush())
        return false;
    ipp_t* response = cupsGetResponse(connection_->http(), endpoint_.resource.c_str());
    const bool accepted = response && cupsLastError() <= IPP_STATUS_OK_EVENTS_COMPLETE;
    ippDelete(response);
    if (!accepted) {
        Fail(connection_->FailureText());
        return false;
    }
    finished_ = true;
    return true;
}

void IppPrintJob::Cancel() {
    if (cancelled_ || finished_)
        return;
    cancelled_ = true;
    if (error_.empty())
        error_ = "cancelled";
    // The job's own connection may be in the middle of a document; drop it and cancel on a
    // fresh one.
    connection_.reset();
    if (jobId_ == 0)
        return;
    const auto canceller = ConnectTo(endpoint_, timeouts_);
    if (canceller->ok())
        ippDelete(canceller->Ask(NewJobRequest(IPP_OP_CANCEL_JOB, endpoint_, jobId_),
                                 endpoint_.resource.c_str()));
}

}  // namespace tavrin
