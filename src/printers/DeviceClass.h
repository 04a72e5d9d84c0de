#pragma once

#include <string>

namespace tavrin {

// The device class texts that do not come from a driver.
inline constexpr const char* kOceDeviceClass = "Oce 9X00";
inline constexpr const char* kUnknownDeviceClass = "Unknown";
inline constexpr const char* kInvalidDeviceClass = "Invalid or unknown";

// The kinds of device the program alters files for.
enum class DeviceKind { HpGl2, PostScript, Oce, Other };

// The one place that decides the kind of a DeviceClass text; first match wins:
// contains "HPGL", equals "POSTSCRIPT", equals "Oce 9X00", anything else.
DeviceKind ClassOf(const std::string& deviceClass);

}  // namespace tavrin
