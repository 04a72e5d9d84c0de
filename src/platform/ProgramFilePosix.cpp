#include "platform/ProgramFile.h"

#include <unistd.h>

#include <system_error>

namespace tavrin {

std::filesystem::path ProgramFilePath() {
    std::error_code error;
    std::filesystem::path path = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::path() : path;
}

std::vector<std::string> ProgramArguments(int argc, char** argv) {
    return argc > 1 ? std::vector<std::string>(argv + 1, argv + argc) : std::vector<std::string>();
}

std::string CurrentUserId() {
    return std::to_string(getuid());
}

}  // namespace tavrin
