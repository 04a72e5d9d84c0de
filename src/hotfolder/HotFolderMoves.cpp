// SPDX-License-Identifier: GPL-3.0-or-later
#include "hotfolder/HotFolderMoves.h"

#include <fstream>

#include "platform/AtomicFileWrite.h"
#include "platform/Error.h"
#include "platform/RenameNoReplace.h"

namespace tavrin {
namespace fs = std::filesystem;

fs::path MoveKeepingName(const fs::path& file, const fs::path& folder) {
    std::error_code error;
    fs::create_directories(folder, error);
    if (error)
        throw Error("Cannot make folder " + folder.string() + ": " + error.message());
    const std::string stem = file.stem().string();
    const std::string extension = file.extension().string();
    for (int number = 1;; ++number) {
        const fs::path target =
            folder / (number == 1 ? file.filename().string()
                                  : stem + " (" + std::to_string(number) + ")" + extension);
        if (RenameNoReplace(file, target))
            return target;
    }
}

std::string OneLine(const std::string& why) {
    std::string line = why;
    for (char& c : line)
        if (c == '\n' || c == '\r' || c == '\t')
            c = ' ';
    return line;
}

fs::path MoveToFailed(const fs::path& file, const fs::path& hotFolder, const std::string& why) {
    const fs::path moved = MoveKeepingName(file, hotFolder / kFailedFolder);
    const fs::path note = moved.string() + ".txt";
    WriteFileAtomically(note, OneLine(why) + "\n");
    return moved;
}

}  // namespace tavrin
