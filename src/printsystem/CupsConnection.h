#pragma once

#include <cups/cups.h>

#include <string>
#include <vector>

#include "printsystem/ServerTimeouts.h"

namespace tavrin {

// One connection to the print server libcups is pointed at (CUPS_SERVER, client.conf, or the
// local server), closed when destroyed.
class CupsConnection {
public:
    explicit CupsConnection(const CupsTimeouts& timeouts);
    // A connection straight to an IPP printer at `host`:`port`, named `address` in messages;
    // `encrypted` for ipps.
    CupsConnection(const std::string& host, int port, bool encrypted, const std::string& address,
                   const CupsTimeouts& timeouts);
    ~CupsConnection();
    CupsConnection(const CupsConnection&) = delete;
    CupsConnection& operator=(const CupsConnection&) = delete;

    bool ok() const { return http_ != nullptr; }
    const std::string& error() const { return error_; }
    http_t* http() const { return http_; }
    // Whether the server stayed silent longer than allowed.
    bool timedOut() const { return watch_.expired; }
    // Why the last request on this connection failed.
    std::string FailureText() const;
    // Sends `request` (taken over) to `resource`; the response when the server carried it out,
    // else nothing, and FailureText() says why. The caller deletes the response.
    ipp_t* Ask(ipp_t* request, const char* resource = "/") const;

private:
    // libcups asks whether to go on waiting once the server has been silent for the whole limit
    // (asked sooner, it may fail a request that is still being answered). libcups retries some
    // requests on its own: once the limit has passed, every further wait on this connection
    // gives up at once, so the total wait stays bounded.
    struct SilenceWatch {
        bool expired = false;
    };
    static int OnSilence(http_t* http, void* watch);
    void Connect(const char* host, int port, http_encryption_t encryption,
                 const CupsTimeouts& timeouts);

    std::string connectFailure_;  // how a failed connect begins its message
    std::string silence_;         // the message when the other end stays silent
    http_t* http_ = nullptr;
    std::string error_;
    SilenceWatch watch_;
};

// The text of libcups' last error, never empty.
std::string LastCupsError();

// The IPP URI of a queue on the connected server ("ipp://localhost/printers/NAME").
std::string QueueUri(const std::string& queueName);

// A request about one queue: its printer-uri, the requesting user, and the attributes wanted
// when there are any.
ipp_t* NewQueueRequest(ipp_op_t operation, const std::string& queueName,
                       const std::vector<const char*>& attributes = {});
// The same for the printer at `printerUri`.
ipp_t* NewPrinterRequest(ipp_op_t operation, const std::string& printerUri,
                         const std::vector<const char*>& attributes = {});

}  // namespace tavrin
