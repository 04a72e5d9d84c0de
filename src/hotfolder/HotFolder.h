// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "spool/SpoolOptions.h"

namespace tavrin {

// A folder whose complete files print themselves on its printer with its settings.
struct HotFolder {
    std::string path;
    std::string printer;  // a queue's name or a printer's address
    int copies = 1;       // 1..99
    bool deviceCopies = false;
    bool qualityOnPlotter = false;
    bool collate = false;
    std::optional<PageSize> fit;  // "fit to size" with this page
    // How long a file's size and time must stay the same before it counts as complete, where
    // the folder gives no notifications (a share), and in poll mode.
    int settleSeconds = 5;
    // Never trust notifications: find files by looking (a share mounted without them).
    bool pollOnly = false;

    bool operator==(const HotFolder&) const = default;
};

inline constexpr int kDefaultSettleSeconds = 5;

}  // namespace tavrin
