#include "printsystem/CupsPrintJob.h"

namespace tavrin {
namespace {

constexpr std::size_t kPieceSize = 256 * 1024;

}  // namespace

CupsPrintJob::CupsPrintJob(std::string queueName, const std::string& documentName,
                           const CupsTimeouts& timeouts)
    : queueName_(std::move(queueName)),
      timeouts_(timeouts),
      connection_(std::make_unique<CupsConnection>(timeouts)) {
    pending_.reserve(kPieceSize + 65536);
    if (!connection_->ok()) {
        Fail(connection_->error());
        return;
    }
    jobId_ =
        cupsCreateJob(connection_->http(), queueName_.c_str(), documentName.c_str(), 0, nullptr);
    if (jobId_ <= 0) {
        jobId_ = 0;
        // CUPS says "Too many active jobs." with client-error-not-possible at its MaxJobs.
        refusedAsFull_ = cupsLastError() == IPP_STATUS_ERROR_TOO_MANY_JOBS ||
                         LastCupsError().find("Too many active jobs") != std::string::npos;
        Fail(connection_->FailureText());
        return;
    }
    if (cupsStartDocument(connection_->http(), queueName_.c_str(), jobId_, documentName.c_str(),
                          CUPS_FORMAT_RAW, 1) != HTTP_STATUS_CONTINUE) {
        Fail(connection_->FailureText());
    }
}

CupsPrintJob::~CupsPrintJob() {
    if (!finished_)
        Cancel();
}

void CupsPrintJob::Fail(std::string error) {
    if (error_.empty())
        error_ = error.empty() ? "refused by the print server" : std::move(error);
    Cancel();
}

std::size_t CupsPrintJob::Write(const char* data, std::size_t size) {
    if (!ok() || finished_ || size == 0)
        return 0;
    pending_.insert(pending_.end(), data, data + size);
    if (pending_.size() >= kPieceSize && !Flush())
        return 0;
    return size;
}

bool CupsPrintJob::Flush() {
    if (pending_.empty())
        return true;
    if (cupsWriteRequestData(connection_->http(), pending_.data(), pending_.size()) !=
        HTTP_STATUS_CONTINUE) {
        Fail(connection_->FailureText());
        return false;
    }
    pending_.clear();
    return true;
}

bool CupsPrintJob::Finish() {
    if (!ok() || finished_)
        return ok() && finished_;
    if (!Flush())
        return false;
    if (cupsFinishDocument(connection_->http(), queueName_.c_str()) >
        IPP_STATUS_OK_EVENTS_COMPLETE) {
        Fail(connection_->FailureText());
        return false;
    }
    finished_ = true;
    return true;
}

void CupsPrintJob::Cancel() {
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
    CupsConnection canceller(timeouts_);
    if (canceller.ok())
        cupsCancelJob2(canceller.http(), queueName_.c_str(), jobId_, 0);
}

}  // namespace tavrin
