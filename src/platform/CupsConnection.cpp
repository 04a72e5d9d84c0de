#include "platform/CupsConnection.h"

namespace tavrin {
namespace {

// How long a wait lasts once the limit has passed.
constexpr double kGivingUpSeconds = 0.001;

}  // namespace

CupsConnection::CupsConnection(const CupsTimeouts& timeouts) {
    const char* server = cupsServer();
    server_ = server ? server : "";
    http_ = httpConnect2(server, ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
                         timeouts.connectMilliseconds, nullptr);
    if (!http_) {
        error_ = "Cannot reach the print server " + server_ + ": " + LastCupsError();
        return;
    }
    httpSetTimeout(http_, timeouts.requestSeconds, &CupsConnection::OnSilence, &watch_);
}

int CupsConnection::OnSilence(http_t* http, void* data) {
    auto& watch = *static_cast<SilenceWatch*>(data);
    if (!watch.expired) {
        watch.expired = true;
        httpSetTimeout(http, kGivingUpSeconds, &CupsConnection::OnSilence, data);
    }
    return 0;
}

CupsConnection::~CupsConnection() {
    if (http_)
        httpClose(http_);
}

std::string CupsConnection::FailureText() const {
    if (!http_)
        return error_;
    if (watch_.expired)
        return "The print server " + server_ + " does not answer";
    return LastCupsError();
}

std::string LastCupsError() {
    const char* text = cupsLastErrorString();
    if (text && *text)
        return text;
    return "print server error " + std::to_string(static_cast<int>(cupsLastError()));
}

std::string QueueUri(const std::string& queueName) {
    char uri[HTTP_MAX_URI];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof(uri), "ipp", nullptr, "localhost", ippPort(),
                     "/printers/%s", queueName.c_str());
    return uri;
}

}  // namespace tavrin
