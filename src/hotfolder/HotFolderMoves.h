// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <string>

namespace tavrin {

// The folders under a hot folder that its files move into. A file is only ever renamed, never
// copied or deleted, so that at any moment it is in exactly one of them or still in the hot
// folder itself.
inline constexpr const char* kSendingFolder = "Sending";
inline constexpr const char* kPrintedFolder = "Printed";
inline constexpr const char* kFailedFolder = "Failed";

// Moves `file` into `folder` (made when missing) under its own name or, when that is taken,
// "NAME (2).EXT", "NAME (3).EXT", ...; returns where it went. Throws Error naming the file and
// why when it cannot be moved; the file then stays where it was.
std::filesystem::path MoveKeepingName(const std::filesystem::path& file,
                                      const std::filesystem::path& folder);

// Moves a file that did not print into Failed/ and writes "<its name>.txt" beside it: `why` in
// one line. The file moves even when the note cannot be written; that failure is thrown after.
std::filesystem::path MoveToFailed(const std::filesystem::path& file,
                                   const std::filesystem::path& hotFolder, const std::string& why);

// `why` on one line: line breaks and tabs become spaces.
std::string OneLine(const std::string& why);

}  // namespace tavrin
