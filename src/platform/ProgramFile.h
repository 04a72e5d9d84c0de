#pragma once

#include <filesystem>
#include <string>

namespace tavrin {

// The full path of the running program file (/proc/self/exe, GetModuleFileNameW on Windows);
// empty when the system cannot tell.
std::filesystem::path ProgramFilePath();

// What tells the user running the program from the others on the machine: the user's number
// on POSIX systems, the user's name on Windows.
std::string CurrentUserId();

}  // namespace tavrin
