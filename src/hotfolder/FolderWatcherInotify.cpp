// SPDX-License-Identifier: GPL-3.0-or-later
// Linux: inotify tells when a writer closes a file or a file is moved in. A light look at the
// folder runs beside it for the files no notification speaks of: those there before watching
// started, and those of notifications lost when the queue overflowed.
#include <linux/magic.h>
#include <poll.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <thread>

#include "hotfolder/FolderFiles.h"
#include "hotfolder/FolderWatcher.h"
#include "platform/Error.h"

namespace tavrin {

namespace fs = std::filesystem;

namespace {

constexpr std::uint32_t kFolderGone = IN_DELETE_SELF | IN_MOVE_SELF | IN_IGNORED | IN_UNMOUNT;
// A file being written is followed from its first write to its writer's close; a name merely
// made (a hard link) is left to the settle rule.
constexpr std::uint32_t kEvents = IN_CLOSE_WRITE | IN_MOVED_TO | IN_MODIFY | IN_DELETE |
                                  IN_MOVED_FROM | IN_DELETE_SELF | IN_MOVE_SELF;

// File systems whose files other machines write: inotify hears only what this machine does, so
// such folders are looked at instead. FUSE is among them as a whole (sshfs and its kind); statfs
// cannot tell its local file systems apart. The types linux/magic.h lacks are spelled out.
constexpr std::array<unsigned long, 17> kSharedFileSystems = {
    NFS_SUPER_MAGIC,  SMB_SUPER_MAGIC,  CIFS_SUPER_MAGIC, SMB2_SUPER_MAGIC,
    FUSE_SUPER_MAGIC, CODA_SUPER_MAGIC, AFS_SUPER_MAGIC,  AFS_FS_MAGIC,
    CEPH_SUPER_MAGIC, V9FS_MAGIC,       NCP_SUPER_MAGIC,  OCFS2_SUPER_MAGIC,
    0x01161970,  // GFS2
    0x0BD00BD0,  // Lustre
    0x47504653,  // GPFS
    0x786F4256,  // VirtualBox shared folders
    0x013111A8,  // IBRIX
};

bool SharedFileSystem(const fs::path& folder) {
    struct statfs info {};
    if (::statfs(folder.c_str(), &info) != 0)
        return false;  // the watch that follows says what is wrong
    const auto type = static_cast<unsigned long>(static_cast<std::uint32_t>(info.f_type));
    return std::find(kSharedFileSystems.begin(), kSharedFileSystems.end(), type) !=
           kSharedFileSystems.end();
}

[[noreturn]] void ThrowErrno(const fs::path& folder, int error) {
    ThrowCannotReadFolder(folder, std::strerror(error));
}

class InotifyWatcher final : public FolderWatcher {
public:
    InotifyWatcher(fs::path folder, std::chrono::milliseconds settle)
        : folder_(std::move(folder)), files_(folder_, settle) {
        // Watching starts at once, so that nothing written before the first call is missed;
        // trouble is told by that call.
        try {
            Start();
        } catch (const Error&) {
        }
    }
    ~InotifyWatcher() override { Stop(); }
    InotifyWatcher(const InotifyWatcher&) = delete;
    InotifyWatcher& operator=(const InotifyWatcher&) = delete;

    std::vector<fs::path> Complete(std::chrono::milliseconds wait) override;

private:
    void Start();
    void Stop();
    // Reads what the queue holds; false when the folder went away.
    bool ReadEvents(std::vector<fs::path>& done);
    void Event(const inotify_event& event, std::vector<fs::path>& done);
    bool FileWithData(const fs::path& name) const;
    std::vector<fs::path> Paths(std::vector<fs::path> names) const;

    fs::path folder_;
    FolderFiles files_;
    bool started_ = false;
    int queue_ = -1;  // the inotify descriptor; -1 where the folder is only looked at
    SteadyClock::time_point nextLook_{};
};

void InotifyWatcher::Start() {
    struct stat info {};
    if (::stat(folder_.c_str(), &info) != 0)
        ThrowErrno(folder_, errno);
    if (!S_ISDIR(info.st_mode))
        ThrowErrno(folder_, ENOTDIR);
    if (!SharedFileSystem(folder_)) {
        queue_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        // Out of inotify instances or watches, the folder is looked at like a share.
        if (queue_ >= 0 && ::inotify_add_watch(queue_, folder_.c_str(), kEvents | IN_ONLYDIR) < 0) {
            const int error = errno;
            Stop();
            if (error != ENOSPC && error != ENOMEM)
                ThrowErrno(folder_, error);
        }
    }
    files_.Forget();
    started_ = true;
    nextLook_ = SteadyClock::now();
}

void InotifyWatcher::Stop() {
    if (queue_ >= 0)
        ::close(queue_);
    queue_ = -1;
    started_ = false;
}

bool InotifyWatcher::FileWithData(const fs::path& name) const {
    struct stat info {};
    return ::lstat((folder_ / name).c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           info.st_size > 0;
}

void InotifyWatcher::Event(const inotify_event& event, std::vector<fs::path>& done) {
    if (event.mask & IN_Q_OVERFLOW) {
        files_.LostTrack();
        return;
    }
    if (event.len == 0 || (event.mask & IN_ISDIR))
        return;
    const fs::path name(event.name);
    if (IgnoredPathName(name))
        return;
    if (event.mask & (IN_DELETE | IN_MOVED_FROM)) {
        files_.Gone(name);
    } else if (event.mask & IN_MODIFY) {
        files_.Followed(name);
    } else if (event.mask & (IN_CLOSE_WRITE | IN_MOVED_TO)) {
        // A file moved in over another is a new one.
        if (event.mask & IN_MOVED_TO)
            files_.Gone(name);
        if (FileWithData(name) && files_.Finished(name))
            done.push_back(name);
    }
}

bool InotifyWatcher::ReadEvents(std::vector<fs::path>& done) {
    alignas(inotify_event) char buffer[16384];
    bool there = true;
    for (;;) {
        const ssize_t got = ::read(queue_, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return there;  // EAGAIN: nothing more for now
        for (const char* at = buffer; at < buffer + got;) {
            const auto* event = reinterpret_cast<const inotify_event*>(at);
            if (event->mask & kFolderGone)
                there = false;
            else
                Event(*event, done);
            at += sizeof(inotify_event) + event->len;
        }
    }
}

std::vector<fs::path> InotifyWatcher::Paths(std::vector<fs::path> names) const {
    for (fs::path& name : names)
        name = folder_ / name;
    return names;
}

std::vector<fs::path> InotifyWatcher::Complete(std::chrono::milliseconds wait) {
    const auto deadline = SteadyClock::now() + wait;
    if (!started_)
        Start();
    std::vector<fs::path> done;
    for (;;) {
        if (queue_ >= 0 && !ReadEvents(done)) {
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
        if (now >= nextLook_) {
            std::vector<ListedFile> listing;
            try {
                listing = ListFolder(folder_);
            } catch (const Error&) {
                Stop();
                if (!done.empty())
                    return Paths(std::move(done));
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
        const auto pause = std::min(deadline, nextLook_) - now;
        if (queue_ < 0) {
            std::this_thread::sleep_for(pause);
            continue;
        }
        const auto milliseconds = std::chrono::ceil<std::chrono::milliseconds>(pause).count();
        pollfd ready{queue_, POLLIN, 0};
        ::poll(&ready, 1, static_cast<int>(std::min<std::int64_t>(milliseconds, 60'000)));
    }
}

}  // namespace

std::unique_ptr<FolderWatcher> WatchFolder(const fs::path& folder, std::chrono::seconds settle,
                                           bool pollOnly) {
    if (pollOnly || SharedFileSystem(folder))
        return WatchFolderByLooking(folder, settle);
    return std::make_unique<InotifyWatcher>(folder, settle);
}

}  // namespace tavrin
