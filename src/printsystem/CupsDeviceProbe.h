#pragma once

#include <chrono>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "printsystem/CupsConnection.h"
#include "printsystem/DeviceProbe.h"

namespace tavrin {

// The device probe on CUPS. The technology is the queue's option "technology" (set by an
// administrator with lpadmin -o technology-default=TEXT), else what the queue's PPD describes;
// a raw queue without that option gives no answer. A queue whose device is an IPP printer
// (device-uri ipp: or ipps:) answers with the document formats that printer says it reads;
// each such printer is asked at most once in kDeviceAnswerKept, so that a printer that does not
// answer holds up no more than one probe in that time. Safe to use from several threads.
class CupsDeviceProbe : public DeviceProbe {
public:
    static constexpr std::chrono::minutes kDeviceAnswerKept{5};

    explicit CupsDeviceProbe(CupsTimeouts timeouts = {}) : timeouts_(timeouts) {}

    DeviceAnswer Probe(const std::string& deviceName) override;

private:
    using Formats = std::optional<std::vector<std::string>>;
    // What the IPP printer at `deviceUri` says it reads; nothing when it does not answer.
    Formats DeviceFormats(const std::string& deviceUri);

    struct DeviceFormatsAnswer {
        Formats formats;
        std::chrono::steady_clock::time_point askedAt;
    };
    CupsTimeouts timeouts_;
    std::mutex mutex_;
    std::map<std::string, DeviceFormatsAnswer> deviceFormats_;  // by device-uri
};

}  // namespace tavrin
