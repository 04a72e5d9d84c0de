#pragma once

#include <map>
#include <set>
#include <string>

#include "platform/DeviceProbe.h"
#include "platform/Error.h"

namespace tavrin::test {

// A device probe that answers from a table. A device not in the table answers with its own name
// and no technology; a device in `broken` raises an error.
class FakeDeviceProbe : public DeviceProbe {
public:
    std::map<std::string, DeviceAnswer> answers;
    std::set<std::string> broken;
    int probes = 0;

    DeviceAnswer Probe(const std::string& deviceName) override {
        ++probes;
        if (broken.count(deviceName))
            throw Error("the driver failed");
        auto found = answers.find(deviceName);
        if (found != answers.end())
            return found->second;
        return {deviceName, std::nullopt};
    }
};

}  // namespace tavrin::test
