#pragma once

#include <string>

#include "printsystem/DeviceProbe.h"

namespace tavrin {

// The DeviceClass of a device: its driver's technology text in upper case (ASCII letters only);
// without an answer "Oce 9X00" when the device's description begins with "Oce 9", else
// "Unknown". Errors of the probe pass through.
std::string ProbeDeviceClass(DeviceProbe& probe, const std::string& deviceName);

// The DeviceClass of what a probe answered, as above.
std::string DeviceClassOf(const DeviceAnswer& answer);

}  // namespace tavrin
