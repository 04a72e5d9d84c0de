// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace tavrin {

// Finds the files of one folder that are complete, in the order they became complete. A file
// counts as complete when its writer closed it (a notification: inotify's close-write or a
// rename into the folder; ReadDirectoryChangesW on Windows), or, where no notification comes,
// when its size and modification time have not changed for the settle time. Files already there
// when watching starts are judged by the settle rule. Left alone: empty files, hidden names
// (".x"), partial names ("*.part", "*.tmp", "~*"), and anything that is not a regular file.
// Subfolders (Printed/, Failed/, Sending/) are never looked into.
class FolderWatcher {
public:
    virtual ~FolderWatcher() = default;
    // Waits at most `wait` for news, then returns the files (full paths) that became complete
    // since the last call, each once. A file taken away and written again counts again. Throws
    // Error "Cannot read folder <path>: <why>" when the folder is gone or unreadable; a later call
    // tries again (the folder may come back).
    virtual std::vector<std::filesystem::path> Complete(std::chrono::milliseconds wait) = 0;
};

// With notifications where the system has them for this folder, else by looking.
std::unique_ptr<FolderWatcher> WatchFolder(const std::filesystem::path& folder,
                                           std::chrono::seconds settle, bool pollOnly);

// Whether a name is one a hot folder leaves alone (hidden, partial download).
bool IgnoredName(const std::string& fileName);

}  // namespace tavrin
