#pragma once

#include "platform/CupsConnection.h"
#include "platform/DeviceProbe.h"

namespace tavrin {

// The device probe on CUPS. The technology is the queue's option "technology" (set by an
// administrator with lpadmin -o technology-default=TEXT), else what the queue's PPD describes;
// a raw queue without that option gives no answer.
class CupsDeviceProbe : public DeviceProbe {
public:
    explicit CupsDeviceProbe(CupsTimeouts timeouts = {}) : timeouts_(timeouts) {}

    DeviceAnswer Probe(const std::string& deviceName) override;

private:
    CupsTimeouts timeouts_;
};

}  // namespace tavrin
