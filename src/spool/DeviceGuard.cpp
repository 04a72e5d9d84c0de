// SPDX-License-Identifier: GPL-3.0-or-later
#include "spool/DeviceGuard.h"

#include <algorithm>

#include "platform/Error.h"
#include "printers/DeviceClass.h"
#include "spool/SendFileRaw.h"

namespace tavrin {
namespace {

bool CannotRead(DeviceKind kind, PrintLanguage language) {
    switch (kind) {
        case DeviceKind::HpGl2:
            return language == PrintLanguage::PostScript || language == PrintLanguage::Pdf;
        case DeviceKind::PostScript:
            return language == PrintLanguage::HpGl || language == PrintLanguage::HpGl2;
        case DeviceKind::Oce:
        case DeviceKind::Other:
            return false;
    }
    return false;
}

bool NotListed(const std::vector<std::string>& formats, PrintLanguage language) {
    const std::vector<const char*> wanted = DocumentFormatsOf(language);
    return !wanted.empty() && std::none_of(wanted.begin(), wanted.end(), [&](const char* format) {
        return std::find(formats.begin(), formats.end(), format) != formats.end();
    });
}

}  // namespace

std::vector<WrongDeviceFile> FilesForWrongDevice(
    const std::string& deviceClass, const std::optional<std::vector<std::string>>& formats,
    const std::vector<std::string>& files) {
    const DeviceKind kind = ClassOf(deviceClass);
    const bool listed = formats && !formats->empty();
    std::vector<WrongDeviceFile> flagged;
    if (!listed && kind != DeviceKind::HpGl2 && kind != DeviceKind::PostScript)
        return flagged;
    for (const std::string& file : files) {
        PrintLanguage language = PrintLanguage::Unknown;
        try {
            language = DetectFileLanguage(file).language;
        } catch (const Error&) {
            continue;
        }
        if (listed ? NotListed(*formats, language) : CannotRead(kind, language))
            flagged.push_back({file, language});
    }
    return flagged;
}

std::string WrongDeviceLine(const WrongDeviceFile& file) {
    return DocumentNameOf(file.file) + " (" + LanguageName(file.language) + ")";
}

}  // namespace tavrin
