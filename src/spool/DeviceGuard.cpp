// SPDX-License-Identifier: GPL-3.0-or-later
#include "spool/DeviceGuard.h"

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

}  // namespace

std::vector<WrongDeviceFile> FilesForWrongDevice(const std::string& deviceClass,
                                                 const std::vector<std::string>& files) {
    const DeviceKind kind = ClassOf(deviceClass);
    std::vector<WrongDeviceFile> flagged;
    if (kind != DeviceKind::HpGl2 && kind != DeviceKind::PostScript)
        return flagged;
    for (const std::string& file : files) {
        PrintLanguage language = PrintLanguage::Unknown;
        try {
            language = DetectFileLanguage(file).language;
        } catch (const Error&) {
            continue;
        }
        if (CannotRead(kind, language))
            flagged.push_back({file, language});
    }
    return flagged;
}

std::string WrongDeviceLine(const WrongDeviceFile& file) {
    return DocumentNameOf(file.file) + " (" + LanguageName(file.language) + ")";
}

}  // namespace tavrin
