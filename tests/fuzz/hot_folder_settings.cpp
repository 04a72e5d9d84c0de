// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary INI text to the hot folders' reader and checks what must always hold: every
// folder read keeps to the bounds the settings give (so a damaged file can never make a watcher
// with no path or a copy count the devices refuse), every entry left out is said, the file's
// reader agrees with the text's, and what is read writes back (or is refused whole, the file
// unchanged) and then reads as the same.
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "hotfolder/HotFolderSettings.h"
#include "platform/PrivateProfile.h"

namespace {

using tavrin::fuzz::Check;

void CheckBounds(const tavrin::HotFolderSettings& settings) {
    Check(settings.folders.size() <= 100, "at most 100 folders");
    for (const tavrin::HotFolder& folder : settings.folders) {
        Check(!folder.path.empty(), "a folder has a path");
        Check(!folder.printer.empty(), "a folder has a printer");
        Check(folder.path.size() <= tavrin::kProfileValueMax, "a path as long as a value is");
        Check(folder.copies >= 1 && folder.copies <= 99, "copies in 1..99");
        Check(folder.settleSeconds >= 1 && folder.settleSeconds <= 3600, "settle in 1..3600");
        Check(!folder.fit ||
                  (*folder.fit >= tavrin::PageSize::A5 && *folder.fit <= tavrin::PageSize::A0),
              "a page size A0..A5");
    }
    for (const std::string& problem : settings.problems)
        Check(problem.starts_with("Hot folder"), "a problem names its entry");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const tavrin::HotFolderSettings read = tavrin::HotFolderSettingsFromText(text);
    CheckBounds(read);

    const tavrin::SettingsLocation location{tavrin::fuzz::ScratchFolder() / "tavrin.ini", "", ""};
    tavrin::test::WriteBytes(location.IniFileName, text);
    Check(tavrin::ReadHotFolderSettings(location) == read, "the file reads as its text");

    try {
        tavrin::WriteHotFolderSettings(location, read);
    } catch (const tavrin::Error& error) {
        Check(std::string(error.what()) == "Unable to write to " + location.IniFileName.string(),
              "a refused write says where");
        Check(tavrin::test::ReadFile(location.IniFileName) == text,
              "a refused write changes nothing");
        return 0;
    }
    const tavrin::HotFolderSettings again = tavrin::ReadHotFolderSettings(location);
    Check(again.watchInWindow == read.watchInWindow, "Watch reads back");
    Check(again.folders == read.folders, "the folders read back");
    Check(again.problems.empty(), "what was written has no problems");
    return 0;
}
