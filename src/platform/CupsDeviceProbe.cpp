#include "platform/CupsDeviceProbe.h"

#include <stdlib.h>
#include <unistd.h>

#include <fstream>

#include "platform/CupsQueueAttributes.h"
#include "platform/PpdTechnology.h"

namespace tavrin {

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
