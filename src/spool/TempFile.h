#pragma once

#include <sys/types.h>

#include <optional>
#include <string>

#include "spool/UniqueFd.h"

namespace tavrin {

// The one temporary file every rewriter writes: the folder, a "/" unless the folder already ends
// in one, and "temp.$$$".
std::string TempFileName(const std::string& tempFilesPath);

// Device and inode of a file, to tell whether two names lead to the same data.
struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
};

struct TempFileCreation {
    UniqueFd fd;    // open for writing, emptied, mode 0600
    int error = 0;  // otherwise the errno of the failed open or truncation
};

// Creates or empties the temporary file at `tempPath`, readable and writable by its owner only.
// A symbolic link at that name is never followed, and a file that has a second name, is not a
// plain file (a pipe, a device) or is the file being copied (`source`) is never emptied: each of
// these raises "Cannot create file %s" with the path. Ordinary failures of the file system come
// back in `error` so that each rewriter reports them in its own words.
TempFileCreation CreateTempFile(const std::string& tempPath, std::optional<FileIdentity> source);

// The identity of the file at `path`, if it can be found.
std::optional<FileIdentity> IdentityOfPath(const std::string& path);

}  // namespace tavrin
