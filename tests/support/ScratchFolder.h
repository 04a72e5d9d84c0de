#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "support/TempFolder.h"

namespace tavrin::test {

// The names some tests use for the temporary folder and its file helpers.
using ScratchFolder = TempFolder;

inline std::string ReadBytes(const std::filesystem::path& file) {
    return ReadFile(file);
}

inline void WriteBytes(const std::filesystem::path& file, std::string_view bytes) {
    WriteFile(file, std::string(bytes));
}

}  // namespace tavrin::test
