#include "spool/TempFile.h"

namespace tavrin {

std::string TempFileName(const std::string& tempFilesPath) {
    std::string name = tempFilesPath;
    if (name.empty() || name.back() != kFolderSeparator) {
        name += kFolderSeparator;
    }
    return name + "temp.$$$";
}

}  // namespace tavrin
