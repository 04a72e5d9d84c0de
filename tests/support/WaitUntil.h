// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <thread>

namespace tavrin::test {

// Asks `done` every `interval` until it holds or `timeout` has passed; returns whether it held.
// Tests wait for a condition this way, never for a fixed time. `done` may throw to give up early.
template <typename Done>
bool WaitUntil(Done&& done, std::chrono::milliseconds timeout,
               std::chrono::milliseconds interval = std::chrono::milliseconds(20)) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (done())
            return true;
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(interval);
    }
}

}  // namespace tavrin::test
