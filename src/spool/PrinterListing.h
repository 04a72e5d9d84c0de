// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace tavrin {

// When the printer list is asked for: as the window is made, or once the print server has
// answered, so that a slow server does not keep the window from being shown.
enum class PrinterListing { AtCreate, WhenAnswered };

}  // namespace tavrin
