#pragma once

#include <memory>
#include <string>
#include <vector>

#include "printsystem/CupsConnection.h"
#include "printsystem/PrintSpooler.h"

namespace tavrin {

// A raw document streamed to CUPS on a connection of its own. Any failure after the job was
// created cancels it, so nothing is left held or half-sent.
class CupsPrintJob : public PrintJob {
public:
    CupsPrintJob(std::string queueName, const std::string& documentName,
                 const CupsTimeouts& timeouts);
    ~CupsPrintJob() override;

    bool ok() const override { return error_.empty(); }
    std::string error() const override { return error_; }
    std::size_t Write(const char* data, std::size_t size) override;
    bool Finish() override;
    void Cancel() override;

    int id() const override { return jobId_; }
    bool refusedAsFull() const override { return refusedAsFull_; }

private:
    void Fail(std::string error);
    // Hands the gathered bytes to the server; false when it refused them.
    bool Flush();

    std::string queueName_;
    CupsTimeouts timeouts_;
    std::unique_ptr<CupsConnection> connection_;
    int jobId_ = 0;
    bool finished_ = false;
    bool cancelled_ = false;
    std::string error_;
    bool refusedAsFull_ = false;
    // Bytes gathered into large pieces: the server handles a few large pieces of a document
    // much faster than many small ones.
    std::vector<char> pending_;
};

}  // namespace tavrin
