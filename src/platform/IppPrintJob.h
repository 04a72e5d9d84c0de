// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/CupsConnection.h"
#include "platform/IppPrinterDescription.h"
#include "platform/PrintSpooler.h"

namespace tavrin {

// How long an IPP printer may keep a job waiting: beside the connection's own bounds, a
// printer that answers server-error-busy (as one does while it prints the job before) is asked
// again every `busyPauseMilliseconds` until `busyMilliseconds` have passed.
struct IppTimeouts {
    CupsTimeouts connection;
    int busyMilliseconds = 120000;
    int busyPauseMilliseconds = 1000;
};

// Decides a document's IPP document-format from its first bytes: `choose` gets the start of the
// document (any leading NUL padding and `headBytes` more, or the whole document when shorter) and
// the formats the printer takes.
struct DocumentFormatChoice {
    std::size_t headBytes = 0;
    std::function<std::string(std::string_view head, const std::vector<std::string>& supported)>
        choose;
};

// A document sent straight to an IPP printer: Create-Job, then one Send-Document streamed in
// pieces, its document-format chosen from the document's first bytes. No copies are asked of
// the printer. Any failure after the job was created cancels it.
class IppPrintJob final : public PrintJob {
public:
    IppPrintJob(IppEndpoint endpoint, const std::string& documentName,
                std::vector<std::string> supportedFormats, DocumentFormatChoice choice,
                const IppTimeouts& timeouts);
    ~IppPrintJob() override;

    bool ok() const override { return error_.empty(); }
    std::string error() const override { return error_; }
    std::size_t Write(const char* data, std::size_t size) override;
    bool Finish() override;
    void Cancel() override;
    int id() const override { return jobId_; }
    // The document-format the document went as; empty until it started.
    const std::string& documentFormat() const { return documentFormat_; }

private:
    void CreateJob(const std::string& documentName);
    bool HeadIsComplete() const;
    bool StartDocument();
    bool Flush();
    void Fail(std::string error);

    IppEndpoint endpoint_;
    std::string documentName_;
    std::vector<std::string> supportedFormats_;
    DocumentFormatChoice choice_;
    IppTimeouts timeouts_;
    std::unique_ptr<CupsConnection> connection_;
    int jobId_ = 0;
    std::string documentFormat_;
    bool started_ = false;
    bool finished_ = false;
    bool cancelled_ = false;
    std::string error_;
    std::vector<char> pending_;
};

}  // namespace tavrin
