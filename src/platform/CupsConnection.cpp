#include "platform/CupsConnection.h"

#include <chrono>

namespace tavrin {
namespace {

// libcups asks OnSilence whether to go on waiting after each quiet interval of this length.
constexpr double kPollSeconds = 0.25;

double Now() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

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
    watch_.limitSeconds = timeouts.requestSeconds;
    httpSetTimeout(http_, kPollSeconds, &CupsConnection::OnSilence, &watch_);
}

int CupsConnection::OnSilence(http_t*, void* data) {
    auto& watch = *static_cast<SilenceWatch*>(data);
    if (watch.expired)
        return 0;
    const double now = Now();
    // A call long after the previous one means the server answered in between.
    if (watch.lastCall < 0 || now - watch.lastCall > 2 * kPollSeconds)
        watch.silentSince = now;
    watch.lastCall = now;
    if (now - watch.silentSince + kPollSeconds >= watch.limitSeconds) {
        watch.expired = true;
        return 0;
    }
    return 1;
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
