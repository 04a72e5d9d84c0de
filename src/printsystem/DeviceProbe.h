#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tavrin {

// What the device probe learns about a printer.
struct DeviceAnswer {
    // The name a person knows the device by (on CUPS the queue's description, which may contain
    // blanks, else the queue name). The "Oce 9" name test looks at this.
    std::string description;
    // The driver's technology text, as it answers it; nothing when the driver does not answer.
    std::optional<std::string> technology;
    // The document formats the device itself says it reads (an IPP printer's
    // document-format-supported); nothing when it says nothing, as a socket or a driver.
    std::optional<std::vector<std::string>> documentFormats = std::nullopt;
};

// Asks a printer's driver what kind of device it drives. Throws tavrin::Error only when the
// probe itself breaks; a printer that cannot be reached simply gives no technology.
class DeviceProbe {
public:
    virtual ~DeviceProbe() = default;
    virtual DeviceAnswer Probe(const std::string& deviceName) = 0;
};

}  // namespace tavrin
