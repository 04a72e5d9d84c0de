#pragma once

#include <filesystem>
#include <string_view>

namespace tavrin {

// Replaces the file's contents so that at every moment the file on disk is either the old one
// or the new one, whole: the contents go to a temporary file in the same folder, which is
// flushed to the disk and then renamed over the file. A symbolic link is followed, so the file
// it points to is replaced and the link stays. An existing file keeps its permissions; a new
// one gets those the process's umask allows. Throws std::system_error on failure and leaves no
// temporary file behind.
void WriteFileAtomically(const std::filesystem::path& file, std::string_view contents);

}  // namespace tavrin
