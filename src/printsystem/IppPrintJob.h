// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "printsystem/CupsConnection.h"
#include "printsystem/IppPrinterDescription.h"
#include "printsystem/IppPrinters.h"
#include "printsystem/PrintSpooler.h"

namespace tavrin {

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
