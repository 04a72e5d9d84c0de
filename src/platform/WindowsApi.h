// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The Windows API (with Winsock and the spooler) for the files built on Windows only, without the
// macros that would rename the engine's functions of the same names (FormatMessage,
// WriteProfileString) to the API's.
// winsock2.h must come before windows.h.
// clang-format off
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
#include <winspool.h>
// clang-format on

#undef FormatMessage
#undef GetProfileString
#undef WriteProfileString
