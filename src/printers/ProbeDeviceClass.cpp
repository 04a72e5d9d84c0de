#include "printers/ProbeDeviceClass.h"

#include "printers/DeviceClass.h"

namespace tavrin {
namespace {

// A driver's answer is a NUL-terminated text of at most 256 bytes.
constexpr std::size_t kTechnologyLimit = 256;

std::string UpperAscii(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return text;
}

}  // namespace

std::string ProbeDeviceClass(DeviceProbe& probe, const std::string& deviceName) {
    return DeviceClassOf(probe.Probe(deviceName));
}

std::string DeviceClassOf(const DeviceAnswer& answer) {
    std::string result =
        answer.description.compare(0, 5, "Oce 9") == 0 ? kOceDeviceClass : kUnknownDeviceClass;
    if (answer.technology) {
        std::string technology = answer.technology->substr(0, kTechnologyLimit);
        technology = technology.substr(0, technology.find('\0'));
        result = UpperAscii(technology);
    }
    return result;
}

}  // namespace tavrin
