// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdlib>
#include <string_view>

// A smoke run (TAVRIN_BENCH_SMOKE=1, as the test suite runs every benchmark) goes through each
// step of a benchmark once at a small size, so that a benchmark that no longer works is noticed.
// Its figures mean nothing, and a missed speed target does not fail it; a wrong result does.
inline bool SmokeRun() {
    const char* value = std::getenv("TAVRIN_BENCH_SMOKE");
    return value != nullptr && *value != '\0' && std::string_view(value) != "0";
}

// The size of a real run, or the small one of a smoke run.
template <typename T>
T BenchSize(T real, T smoke) {
    return SmokeRun() ? smoke : real;
}

// The exit code for a speed target: missed fails a real run only.
inline int TargetExitCode(bool met) {
    return met || SmokeRun() ? 0 : 1;
}
