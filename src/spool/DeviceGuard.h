// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "printers/PrintLanguage.h"

namespace tavrin {

// A listed file in a language its printer cannot read.
struct WrongDeviceFile {
    std::string file;  // as listed, full path
    PrintLanguage language = PrintLanguage::Unknown;

    bool operator==(const WrongDeviceFile&) const = default;
};

// The question's first line; %s is the printer's name.
inline constexpr const char* kWrongDeviceHeading = "These files may not print on %s:";

// The files of `files` that a printer cannot read. Where the printer lists the document formats
// it reads (`formats`, not empty), a file is flagged when its language is known and none of the
// language's formats is listed; "application/octet-stream" makes no language readable. Where it
// says nothing, its `deviceClass` decides: PostScript or PDF for an HP-GL/2 device, HP-GL or
// HP-GL/2 for a PostScript device, nothing for other classes. Files that cannot be read are never
// flagged (the run reports those).
std::vector<WrongDeviceFile> FilesForWrongDevice(
    const std::string& deviceClass, const std::optional<std::vector<std::string>>& formats,
    const std::vector<std::string>& files);

// "NAME (LANGUAGE)": the file's name without its folder.
std::string WrongDeviceLine(const WrongDeviceFile& file);

}  // namespace tavrin
