// SPDX-License-Identifier: GPL-3.0-or-later
#include "hotfolder/FolderWatcher.h"

#include <algorithm>
#include <system_error>
#include <thread>
#include <tuple>
#include <utility>

#include "hotfolder/FolderFiles.h"
#include "platform/Error.h"

namespace tavrin {

namespace fs = std::filesystem;

namespace {

bool EndsWithFolded(std::string_view text, std::string_view ending) {
    if (text.size() < ending.size())
        return false;
    text.remove_prefix(text.size() - ending.size());
    return std::equal(text.begin(), text.end(), ending.begin(), [](char a, char b) {
        return (a >= 'A' && a <= 'Z' ? static_cast<char>(a - 'A' + 'a') : a) == b;
    });
}

class LookingWatcher final : public FolderWatcher {
public:
    LookingWatcher(fs::path folder, std::chrono::milliseconds settle)
        : folder_(std::move(folder)), files_(folder_, settle) {}

    std::vector<fs::path> Complete(std::chrono::milliseconds wait) override {
        const auto deadline = SteadyClock::now() + wait;
        for (;;) {
            std::vector<ListedFile> listing;
            try {
                listing = ListFolder(folder_);
            } catch (const Error&) {
                files_.Forget();
                throw;
            }
            // Taken after the look, so that no change seen in it can be later than this.
            const auto now = SteadyClock::now();
            std::vector<fs::path> done = files_.Look(listing, now);
            if (!done.empty()) {
                for (fs::path& name : done)
                    name = folder_ / name;
                return done;
            }
            if (now >= deadline)
                return {};
            std::this_thread::sleep_for(
                std::min<SteadyClock::duration>(files_.LookInterval(), deadline - now));
        }
    }

private:
    fs::path folder_;
    FolderFiles files_;
};

}  // namespace

bool IgnoredName(const std::string& fileName) {
    if (fileName.empty() || fileName.front() == '.' || fileName.front() == '~')
        return true;
    return EndsWithFolded(fileName, ".part") || EndsWithFolded(fileName, ".tmp");
}

bool IgnoredPathName(const fs::path& name) {
    return IgnoredName(Utf8Path(name));
}

std::string Utf8Path(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

void ThrowCannotReadFolder(const fs::path& folder, const std::string& why) {
    throw Error(FormatMessage("Cannot read folder %s", Utf8Path(folder)) + ": " + why);
}

std::vector<ListedFile> ListFolder(const fs::path& folder) {
    std::vector<ListedFile> listing;
    std::error_code error;
    for (fs::directory_iterator entry(folder, error); !error && entry != fs::directory_iterator();
         entry.increment(error)) {
        fs::path name = entry->path().filename();
        if (IgnoredPathName(name))
            continue;
        // A file that goes while it is looked at is simply not listed.
        std::error_code fileError;
        if (entry->symlink_status(fileError).type() != fs::file_type::regular)
            continue;
        const std::uintmax_t size = entry->file_size(fileError);
        if (fileError)
            continue;
        const fs::file_time_type time = entry->last_write_time(fileError);
        if (fileError)
            continue;
        listing.push_back({std::move(name), size, time});
    }
    if (error)
        ThrowCannotReadFolder(folder, error.message());
    return listing;
}

FolderFiles::FolderFiles(fs::path folder, std::chrono::milliseconds settle)
    : folder_(std::move(folder)), settle_(settle) {}

std::vector<fs::path> FolderFiles::Look(const std::vector<ListedFile>& listing,
                                        SteadyClock::time_point now) {
    std::map<fs::path, File> listed;
    std::vector<std::tuple<SteadyClock::time_point, fs::path>> settled;
    for (const ListedFile& entry : listing) {
        File file;
        if (const auto known = files_.find(entry.name); known != files_.end()) {
            file = known->second;
        } else {
            file.size = entry.size;
            file.time = entry.time;
            file.since = now;
        }
        if (file.size != entry.size || file.time != entry.time) {
            if (AnotherFile(entry.name, file))
                file = File{};
            file.size = entry.size;
            file.time = entry.time;
            file.since = now;
        }
        if (!file.reported && !file.followed && file.size > 0 && now - file.since >= settle_) {
            settled.emplace_back(file.since, entry.name);
            Report(entry.name, file);
        }
        listed.emplace(entry.name, std::move(file));
    }
    files_ = std::move(listed);
    std::sort(settled.begin(), settled.end());
    std::vector<fs::path> done;
    for (auto& [since, name] : settled)
        done.push_back(std::move(name));
    return done;
}

void FolderFiles::Report(const fs::path& name, File& file) {
    file.reported = true;
    file.followed = false;
    file.identity = IdentityOfPath(Utf8Path(folder_ / name));
}

bool FolderFiles::AnotherFile(const fs::path& name, const File& file) const {
    if (!file.reported || !file.identity)
        return false;
    const std::optional<FileIdentity> identity = IdentityOfPath(Utf8Path(folder_ / name));
    return identity && *identity != *file.identity;
}

bool FolderFiles::Finished(const fs::path& name) {
    File& file = files_[name];
    if (file.reported && !AnotherFile(name, file))
        return false;
    Report(name, file);
    return true;
}

void FolderFiles::Followed(const fs::path& name) {
    File& file = files_[name];
    if (!file.reported)
        file.followed = true;
}

void FolderFiles::Gone(const fs::path& name) {
    files_.erase(name);
}

void FolderFiles::LostTrack() {
    std::erase_if(files_, [](const auto& entry) { return !entry.second.reported; });
}

void FolderFiles::Forget() {
    files_.clear();
}

std::chrono::milliseconds FolderFiles::LookInterval() const {
    return std::clamp<std::chrono::milliseconds>(settle_ / 4, std::chrono::milliseconds(100),
                                                 std::chrono::milliseconds(1000));
}

std::unique_ptr<FolderWatcher> WatchFolderByLooking(const fs::path& folder,
                                                    std::chrono::milliseconds settle) {
    return std::make_unique<LookingWatcher>(folder, settle);
}

}  // namespace tavrin
