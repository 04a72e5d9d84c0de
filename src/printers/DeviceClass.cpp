#include "printers/DeviceClass.h"

namespace tavrin {

DeviceKind ClassOf(const std::string& deviceClass) {
    if (deviceClass.find("HPGL") != std::string::npos)
        return DeviceKind::HpGl2;
    if (deviceClass == "POSTSCRIPT")
        return DeviceKind::PostScript;
    if (deviceClass == kOceDeviceClass)
        return DeviceKind::Oce;
    return DeviceKind::Other;
}

}  // namespace tavrin
