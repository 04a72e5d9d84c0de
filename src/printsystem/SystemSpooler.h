// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>

#include "printsystem/DeviceProbe.h"
#include "printsystem/PrintSpooler.h"
#include "printsystem/ServerTimeouts.h"

namespace tavrin {

// The system's own print spooler and device probe: CUPS on POSIX systems (CupsPrintSpooler,
// CupsDeviceProbe), the Windows spooler and its printer drivers on Windows (WinPrintSpooler).
std::unique_ptr<PrintSpooler> MakeSystemSpooler(const CupsTimeouts& timeouts = {});
std::unique_ptr<DeviceProbe> MakeSystemDeviceProbe(const CupsTimeouts& timeouts = {});

}  // namespace tavrin
