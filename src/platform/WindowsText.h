// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

namespace tavrin {

// The engine's texts and file names are UTF-8; the Windows API takes UTF-16. These convert at
// that border (WindowsText.cpp, built on Windows only).
std::wstring WideText(std::string_view utf8);
std::string Utf8Text(std::wstring_view wide);

// The same texts in the ANSI code page, for the API's "A" functions (printer and document names,
// the private-profile functions), and back.
std::string AnsiText(std::string_view utf8);
std::string Utf8OfAnsi(std::string_view ansi);

// The system's message for a Windows error code, without its line end.
std::string WindowsErrorText(unsigned long code);

// The errno value (ENOENT, EACCES, ENOSPC, EIO...) that stands for a Windows error code, so that
// the engine reports file errors the same way on every system.
int ErrnoOfWindowsError(unsigned long code);

}  // namespace tavrin
