// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <stdlib.h>

#include <filesystem>

#include "support/TempFolder.h"

// Points the window started by a benchmark at folders of its own in `user` (settings, cache,
// runtime) and at the offscreen platform, so that it neither reads nor writes the user's.
inline void UsePrivateWindowUser(const tavrin::test::TempFolder& user) {
    namespace fs = std::filesystem;
    for (const char* folder : {"config", "cache", "run"})
        fs::create_directories(user / folder);
    fs::permissions(user / "run", fs::perms::owner_all);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    ::setenv("XDG_CONFIG_HOME", (user / "config").c_str(), 1);
    ::setenv("XDG_CACHE_HOME", (user / "cache").c_str(), 1);
    ::setenv("XDG_RUNTIME_DIR", (user / "run").c_str(), 1);
}
