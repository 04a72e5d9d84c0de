#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace tavrin {

// The full path of the running program file (/proc/self/exe, GetModuleFileNameW on Windows);
// empty when the system cannot tell.
std::filesystem::path ProgramFilePath();

// The program's arguments after its own name, in UTF-8. On Windows they are read again from the
// wide command line: main's argv is in the ANSI code page, which cannot hold every file name.
std::vector<std::string> ProgramArguments(int argc, char** argv);

// What tells the user running the program from the others on the machine: the user's number
// on POSIX systems, the user's name on Windows.
std::string CurrentUserId();

}  // namespace tavrin
