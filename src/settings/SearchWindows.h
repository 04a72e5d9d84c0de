// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace tavrin {

// The two search windows of the HP-GL/2 rewrite, in bytes: the head of a plot file that is
// searched for the quality instruction (FromStart) and the tail that is searched for the page
// instruction (FromEnd).
//
// FromStart has two defaults on purpose: an INI file without the key gives 500 (so does the
// Configure dialog's edit before it is first shown), while a first run writes and uses 600, which
// the dialog's "&Default" restores as well.
inline constexpr int kFromStartWhenKeyAbsent = 500;
inline constexpr int kFromStartFirstRun = 600;
inline constexpr int kFromStartMin = 1;
inline constexpr int kFromStartMax = 800;

inline constexpr int kFromEndWhenKeyAbsent = 30;
inline constexpr int kFromEndFirstRun = 30;
inline constexpr int kFromEndMin = 1;
inline constexpr int kFromEndMax = 50;

}  // namespace tavrin
