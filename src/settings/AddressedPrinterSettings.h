// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

#include "printers/AddressedPrinters.h"
#include "settings/SettingsLocation.h"

namespace tavrin {

// The printers by address the user keeps, in the INI file's section [PrintersByAddress]:
// Count=N and, for i = 1..N, Name<i>, Address<i> and Class<i> (the technology of a socket's
// device). A missing file or section reads as no printers; an entry without an address is
// skipped. An address that cannot be used is kept as written: opening it says why.
std::vector<AddressedPrinter> ReadAddressedPrinters(const SettingsLocation& location);

// Replaces the section's entries with `printers`; every other line of the file stays as it was.
// Keys of entries past the new Count are left behind unread. The file is replaced in one step.
// Throws Error "Unable to write to <path>".
void WriteAddressedPrinters(const SettingsLocation& location,
                            const std::vector<AddressedPrinter>& printers);

}  // namespace tavrin
