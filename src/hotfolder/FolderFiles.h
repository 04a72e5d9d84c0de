// SPDX-License-Identifier: GPL-3.0-or-later
// What the folder watchers of every system share: the look at a folder's files, the settle rule,
// and the watcher that only looks (FolderWatcher.cpp).
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "hotfolder/FolderWatcher.h"
#include "platform/FileData.h"

namespace tavrin {

using SteadyClock = std::chrono::steady_clock;

struct ListedFile {
    std::filesystem::path name;  // the file name alone
    std::uintmax_t size = 0;
    std::filesystem::file_time_type time;
};

// The regular files of `folder` (not its subfolders, not links) whose names are not ignored,
// empty ones among them. Throws Error "Cannot read folder <path>: <why>".
std::vector<ListedFile> ListFolder(const std::filesystem::path& folder);

[[noreturn]] void ThrowCannotReadFolder(const std::filesystem::path& folder,
                                        const std::string& why);

// What a watcher knows of the files of one folder, by name: which were reported complete, which
// the notifications follow (they are being written: their writer's close completes them), and
// since when each of the others has kept its size and time.
class FolderFiles {
public:
    FolderFiles(std::filesystem::path folder, std::chrono::milliseconds settle);

    // One look at the folder: the listed files that have kept a size above 0 and their time for
    // the settle time, those that settled first first. Names no longer listed are forgotten. A
    // reported file whose size or time changed counts again only when it is another file under
    // the same name (the one reported was moved away and a new one written between two looks).
    std::vector<std::filesystem::path> Look(const std::vector<ListedFile>& listing,
                                            SteadyClock::time_point now);

    // A notification says that the writer of `name`, a regular file with data, is done with it:
    // whether that makes it complete now (false when this file was reported already).
    bool Finished(const std::filesystem::path& name);
    // A notification says `name` is being written: the settle rule no longer applies to it.
    void Followed(const std::filesystem::path& name);
    // A notification says `name` went away: when it comes back it counts again.
    void Gone(const std::filesystem::path& name);
    // Notifications may have been missed (the queue overflowed): every file not reported is
    // judged by the settle rule again, from now on.
    void LostTrack();
    // The folder went, or could not be read: whatever is there when it is back is new.
    void Forget();

    // How often a watcher looks at the folder: often enough that a file counts soon after its
    // settle time.
    std::chrono::milliseconds LookInterval() const;

private:
    struct File {
        std::uintmax_t size = 0;
        std::filesystem::file_time_type time{};
        SteadyClock::time_point since{};
        bool reported = false;
        bool followed = false;
        std::optional<FileIdentity> identity;  // of the file reported
    };
    void Report(const std::filesystem::path& name, File& file);
    // Whether a reported name now has another file than the one reported (where the system can
    // tell files apart).
    bool AnotherFile(const std::filesystem::path& name, const File& file) const;

    std::filesystem::path folder_;
    std::chrono::milliseconds settle_;
    std::map<std::filesystem::path, File> files_;
};

// The watcher that finds complete files by looking only, by the settle rule.
std::unique_ptr<FolderWatcher> WatchFolderByLooking(const std::filesystem::path& folder,
                                                    std::chrono::milliseconds settle);

// Whether a file name (a path's last part) is one a hot folder leaves alone.
bool IgnoredPathName(const std::filesystem::path& name);

// A path as the engine's texts hold it: UTF-8 on every system.
std::string Utf8Path(const std::filesystem::path& path);

}  // namespace tavrin
