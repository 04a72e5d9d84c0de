// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace tavrin {

// How long the print server may keep us waiting. Every wait is bounded, so a print server that
// does not answer is a refusal, never a hang.
// On Windows the spooler bounds its own waits and these are not used.
struct CupsTimeouts {
    int connectMilliseconds = 5000;
    // The longest the server may stay silent while a request waits for it.
    double requestSeconds = 20.0;
};

}  // namespace tavrin
