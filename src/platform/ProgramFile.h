#pragma once

#include <filesystem>

namespace tavrin {

// The full path of the running program file (/proc/self/exe, GetModuleFileNameW on Windows);
// empty when the system cannot tell.
std::filesystem::path ProgramFilePath();

}  // namespace tavrin
