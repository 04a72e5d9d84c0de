#include "printsystem/CupsConnection.h"

namespace tavrin {
namespace {

// How long a wait lasts once the limit has passed.
constexpr double kGivingUpSeconds = 0.001;

}  // namespace

CupsConnection::CupsConnection(const CupsTimeouts& timeouts) {
    const char* server = cupsServer();
    const std::string name = server ? server : "";
    connectFailure_ = "Cannot reach the print server " + name;
    silence_ = "The print server " + name + " does not answer";
    Connect(server, ippPort(), cupsEncryption(), timeouts);
}

CupsConnection::CupsConnection(const std::string& host, int port, bool encrypted,
                               const std::string& address, const CupsTimeouts& timeouts)
    : connectFailure_("Cannot connect to " + address),
      silence_("The printer at " + address + " does not answer") {
    Connect(host.c_str(), port, encrypted ? HTTP_ENCRYPTION_ALWAYS : HTTP_ENCRYPTION_IF_REQUESTED,
            timeouts);
}

void CupsConnection::Connect(const char* host, int port, http_encryption_t encryption,
                             const CupsTimeouts& timeouts) {
    http_ = httpConnect2(host, port, nullptr, AF_UNSPEC, encryption, 1,
                         timeouts.connectMilliseconds, nullptr);
    if (!http_) {
        error_ = connectFailure_ + ": " + LastCupsError();
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
        return silence_;
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

ipp_t* CupsConnection::Ask(ipp_t* request, const char* resource) const {
    ipp_t* response = cupsDoRequest(http_, request, resource);
    if (!response || cupsLastError() > IPP_STATUS_OK_EVENTS_COMPLETE) {
        ippDelete(response);
        return nullptr;
    }
    return response;
}

ipp_t* NewQueueRequest(ipp_op_t operation, const std::string& queueName,
                       const std::vector<const char*>& attributes) {
    return NewPrinterRequest(operation, QueueUri(queueName), attributes);
}

ipp_t* NewPrinterRequest(ipp_op_t operation, const std::string& printerUri,
                         const std::vector<const char*>& attributes) {
    ipp_t* request = ippNewRequest(operation);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr,
                 printerUri.c_str());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
                 cupsUser());
    if (!attributes.empty())
        ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                      static_cast<int>(attributes.size()), nullptr, attributes.data());
    return request;
}

}  // namespace tavrin
