// SPDX-License-Identifier: GPL-3.0-or-later
// Windows: ReadDirectoryChangesW tells which files change. It has no word for a writer closing a
// file, so a changed file counts as complete once it can be opened with others allowed to read
// only, which fails while any writer still has it open. A light look at the folder runs beside
// it for the files no notification speaks of, as on Linux.
#include "platform/WindowsApi.h"

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstring>
#include <thread>
#include <vector>

#include "hotfolder/FolderFiles.h"
#include "hotfolder/FolderWatcher.h"
#include "platform/Error.h"
#include "platform/WindowsText.h"

namespace tavrin {

namespace fs = std::filesystem;

namespace {

constexpr DWORD kChanges =
    FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_LAST_WRITE;
// The most a change notification carries over the network; plenty for one folder.
constexpr std::size_t kChangeBufferBytes = 64 * 1024;
// How often a changed file is tried again while its writer holds it.
constexpr std::chrono::milliseconds kRetryInterval(200);

[[noreturn]] void ThrowWindowsError(const fs::path& folder, DWORD code) {
    ThrowCannotReadFolder(folder, std::strerror(ErrnoOfWindowsError(code)));
}

// A folder on another machine: a \\server\share path, or a drive letter mapped to a share.
bool RemoteFolder(const fs::path& folder) {
    std::error_code error;
    const std::wstring full = fs::absolute(folder, error).wstring();
    if (error)
        return false;
    if (full.starts_with(L"\\\\?\\UNC\\"))
        return true;
    if ((full.starts_with(L"\\\\") && !full.starts_with(L"\\\\?\\")) || full.starts_with(L"//"))
        return true;
    std::vector<wchar_t> root(full.size() + 2);
    if (!GetVolumePathNameW(full.c_str(), root.data(), static_cast<DWORD>(root.size())))
        return false;
    return GetDriveTypeW(root.data()) == DRIVE_REMOTE;
}

class ChangesWatcher final : public FolderWatcher {
public:
    ChangesWatcher(fs::path folder, std::chrono::milliseconds settle)
        : folder_(std::move(folder)), files_(folder_, settle), buffer_(kChangeBufferBytes / 4) {
        // Watching starts at once, so that nothing written before the first call is missed;
        // trouble is told by that call.
        try {
            Start();
        } catch (const Error&) {
        }
    }
    ~ChangesWatcher() override { Stop(); }
    ChangesWatcher(const ChangesWatcher&) = delete;
    ChangesWatcher& operator=(const ChangesWatcher&) = delete;

    std::vector<fs::path> Complete(std::chrono::milliseconds wait) override;

private:
    void Start();
    void Stop();
    bool Arm();
    // Takes in the changes that arrived; false when the folder went away.
    bool Collect();
    void Changed(const fs::path& name);
    // The changed files whose writers are done with them, in the order they changed.
    void TryChanged(std::vector<fs::path>& done);
    std::vector<fs::path> Paths(std::vector<fs::path> names) const;

    fs::path folder_;
    FolderFiles files_;
    std::vector<DWORD> buffer_;  // DWORD-aligned, as the notifications need
    bool started_ = false;
    HANDLE handle_ = INVALID_HANDLE_VALUE;  // INVALID_HANDLE_VALUE where it is only looked at
    HANDLE event_ = nullptr;
    OVERLAPPED overlapped_{};
    std::vector<fs::path> changed_;
    SteadyClock::time_point nextLook_{};
    SteadyClock::time_point nextTry_{};
};

void ChangesWatcher::Start() {
    const std::wstring name = folder_.wstring();
    const DWORD attributes = GetFileAttributesW(name.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        ThrowWindowsError(folder_, GetLastError());
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY))
        ThrowCannotReadFolder(folder_, std::strerror(ENOTDIR));
    if (!RemoteFolder(folder_)) {
        handle_ =
            CreateFileW(name.c_str(), FILE_LIST_DIRECTORY,
                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                        OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED, nullptr);
        if (handle_ == INVALID_HANDLE_VALUE)
            ThrowWindowsError(folder_, GetLastError());
        event_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        // Where notifications cannot be had, the folder is looked at like a share.
        if (!event_ || !Arm())
            Stop();
    }
    files_.Forget();
    changed_.clear();
    started_ = true;
    nextLook_ = SteadyClock::now();
}

bool ChangesWatcher::Arm() {
    overlapped_ = OVERLAPPED{};
    overlapped_.hEvent = event_;
    ResetEvent(event_);
    return ReadDirectoryChangesW(handle_, buffer_.data(),
                                 static_cast<DWORD>(buffer_.size() * sizeof(DWORD)), FALSE,
                                 kChanges, nullptr, &overlapped_, nullptr);
}

void ChangesWatcher::Stop() {
    if (handle_ != INVALID_HANDLE_VALUE) {
        // The buffer must outlive the read the system may still be filling.
        DWORD bytes = 0;
        if (CancelIoEx(handle_, &overlapped_))
            GetOverlappedResult(handle_, &overlapped_, &bytes, TRUE);
        CloseHandle(handle_);
    }
    if (event_)
        CloseHandle(event_);
    handle_ = INVALID_HANDLE_VALUE;
    event_ = nullptr;
    started_ = false;
}

void ChangesWatcher::Changed(const fs::path& name) {
    files_.Followed(name);
    if (std::find(changed_.begin(), changed_.end(), name) == changed_.end())
        changed_.push_back(name);
}

bool ChangesWatcher::Collect() {
    DWORD bytes = 0;
    if (!GetOverlappedResult(handle_, &overlapped_, &bytes, FALSE)) {
        if (GetLastError() != ERROR_NOTIFY_ENUM_DIR)
            return false;
        bytes = 0;
    }
    if (bytes == 0)
        files_.LostTrack();  // more changes than the buffer held
    const auto* at = reinterpret_cast<const std::byte*>(buffer_.data());
    while (bytes > 0) {
        const auto* change = reinterpret_cast<const FILE_NOTIFY_INFORMATION*>(at);
        const fs::path name(
            std::wstring(change->FileName, change->FileNameLength / sizeof(wchar_t)));
        if (!IgnoredPathName(name)) {
            switch (change->Action) {
                case FILE_ACTION_REMOVED:
                case FILE_ACTION_RENAMED_OLD_NAME:
                    files_.Gone(name);
                    std::erase(changed_, name);
                    break;
                case FILE_ACTION_RENAMED_NEW_NAME:
                    files_.Gone(name);  // a file moved in over another is a new one
                    Changed(name);
                    break;
                default:
                    Changed(name);
                    break;
            }
        }
        if (change->NextEntryOffset == 0)
            break;
        at += change->NextEntryOffset;
    }
    return Arm();
}

void ChangesWatcher::TryChanged(std::vector<fs::path>& done) {
    std::vector<fs::path> held;
    for (const fs::path& name : changed_) {
        const std::wstring path = (folder_ / name).wstring();
        const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            const DWORD error = GetLastError();
            const DWORD attributes = GetFileAttributesW(path.c_str());
            // A writer still has it (a sharing violation, or a file being deleted): later.
            if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND &&
                attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY))
                held.push_back(name);
            continue;
        }
        BY_HANDLE_FILE_INFORMATION info{};
        const bool withData =
            GetFileInformationByHandle(file, &info) &&
            !(info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) &&
            (info.nFileSizeHigh != 0 || info.nFileSizeLow != 0);
        CloseHandle(file);
        // An empty file waits for its next change.
        if (withData && files_.Finished(name))
            done.push_back(name);
    }
    changed_ = std::move(held);
}

std::vector<fs::path> ChangesWatcher::Paths(std::vector<fs::path> names) const {
    for (fs::path& name : names)
        name = folder_ / name;
    return names;
}

std::vector<fs::path> ChangesWatcher::Complete(std::chrono::milliseconds wait) {
    const auto deadline = SteadyClock::now() + wait;
    if (!started_)
        Start();
    std::vector<fs::path> done;
    for (;;) {
        if (handle_ != INVALID_HANDLE_VALUE && WaitForSingleObject(event_, 0) == WAIT_OBJECT_0 &&
            !Collect()) {
            // The folder went, or another took its name: watch what is there now. Files found
            // before are handed over first; the trouble is told by the next call.
            Stop();
            try {
                Start();
            } catch (const Error&) {
                if (!done.empty())
                    return Paths(std::move(done));
                throw;
            }
        }
        auto now = SteadyClock::now();
        if (!changed_.empty() && now >= nextTry_) {
            TryChanged(done);
            nextTry_ = now + kRetryInterval;
        }
        if (now >= nextLook_) {
            std::vector<ListedFile> listing;
            try {
                listing = ListFolder(folder_);
            } catch (const Error&) {
                Stop();
                if (!done.empty())
                    return Paths(std::move(done));
                // A folder deleted while it is watched is kept, unreadable, until the watch lets
                // go of it; then it is gone, and that is what to tell.
                Start();
                Stop();
                throw;
            }
            now = SteadyClock::now();
            for (fs::path& name : files_.Look(listing, now))
                done.push_back(std::move(name));
            nextLook_ = now + files_.LookInterval();
        }
        if (!done.empty())
            return Paths(std::move(done));
        if (now >= deadline)
            return {};
        auto until = std::min(deadline, nextLook_);
        if (!changed_.empty())
            until = std::min(until, nextTry_);
        const auto pause = until - now;
        if (handle_ == INVALID_HANDLE_VALUE) {
            std::this_thread::sleep_for(pause);
            continue;
        }
        const auto milliseconds = std::chrono::ceil<std::chrono::milliseconds>(pause).count();
        WaitForSingleObject(event_,
                            static_cast<DWORD>(std::min<std::int64_t>(milliseconds, 60'000)));
    }
}

}  // namespace

std::unique_ptr<FolderWatcher> WatchFolder(const fs::path& folder, std::chrono::seconds settle,
                                           bool pollOnly) {
    if (pollOnly || RemoteFolder(folder))
        return WatchFolderByLooking(folder, settle);
    return std::make_unique<ChangesWatcher>(folder, settle);
}

}  // namespace tavrin
