#include "printsystem/CupsDeviceProbe.h"

#include <stdlib.h>
#include <unistd.h>

#include <fstream>

#include "printsystem/CupsQueueAttributes.h"
#include "printsystem/IppPrinters.h"
#include "printsystem/PpdTechnology.h"

namespace tavrin {
namespace {

// Where the IPP printer of a device-uri is reached; nothing for another kind of device.
std::optional<IppEndpoint> IppDeviceOf(const std::string& deviceUri) {
    char scheme[32], user[256], host[256], resource[1024];
    int port = 0;
    if (httpSeparateURI(HTTP_URI_CODING_ALL, deviceUri.c_str(), scheme, sizeof scheme, user,
                        sizeof user, host, sizeof host, &port, resource,
                        sizeof resource) < HTTP_URI_STATUS_OK)
        return std::nullopt;
    const std::string kind(scheme);
    if (kind != "ipp" && kind != "ipps")
        return std::nullopt;
    // Options a queue adds to its device's address (?waitjob=false) are not part of the path.
    std::string path(resource);
    path = path.substr(0, path.find('?'));
    return IppEndpoint{deviceUri.substr(0, deviceUri.find('?')), host, port, path, kind == "ipps"};
}

}  // namespace

CupsDeviceProbe::Formats CupsDeviceProbe::DeviceFormats(const std::string& deviceUri) {
    const auto endpoint = IppDeviceOf(deviceUri);
    if (!endpoint)
        return std::nullopt;
    const auto now = std::chrono::steady_clock::now();
    {
        std::lock_guard lock(mutex_);
        const auto known = deviceFormats_.find(deviceUri);
        if (known != deviceFormats_.end() && now - known->second.askedAt < kDeviceAnswerKept)
            return known->second.formats;
    }
    Formats formats;
    if (const auto description = DescribeIppPrinter(*endpoint, timeouts_))
        formats = description->documentFormats;
    std::lock_guard lock(mutex_);
    deviceFormats_[deviceUri] = {formats, now};
    return formats;
}

DeviceAnswer CupsDeviceProbe::Probe(const std::string& deviceName) {
    DeviceAnswer answer{deviceName, std::nullopt};
    if (deviceName.empty())
        return answer;
    CupsConnection connection(timeouts_);
    if (!connection.ok())
        return answer;
    const auto queue = ReadQueueAttributes(connection, deviceName);
    if (!queue)
        return answer;
    if (!queue->info.empty())
        answer.description = queue->info;
    answer.documentFormats = DeviceFormats(queue->deviceUri);
    answer.technology = queue->technology;
    if (answer.technology)
        return answer;

    // A queue without a PPD (a raw queue) answers "not found" here.
    char path[] = "/tmp/tavrin-ppd-XXXXXX";
    const int fd = mkstemp(path);
    if (fd < 0)
        return answer;
    // The queue exists (found above), so its name is one the server accepts in a path.
    const std::string resource = "/printers/" + deviceName + ".ppd";
    const http_status_t status = cupsGetFd(connection.http(), resource.c_str(), fd);
    close(fd);
    if (status == HTTP_STATUS_OK) {
        std::ifstream ppd(path);
        answer.technology = TechnologyFromPpd(ppd);
    }
    unlink(path);
    return answer;
}

}  // namespace tavrin
