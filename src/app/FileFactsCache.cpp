// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/FileFactsCache.h"

#include <exception>
#include <system_error>
#include <utility>

#include "printers/PrintFileFacts.h"

namespace tavrin {

FileFactsCache::FileFactsCache(std::function<void(const std::string& name)> read)
    : read_(std::move(read)), worker_([this] { Work(); }) {}

FileFactsCache::~FileFactsCache() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    worker_.join();
}

void FileFactsCache::Request(std::vector<std::string> names) {
    {
        const std::lock_guard lock(mutex_);
        if (queue_.empty()) {
            queue_ = std::move(names);
        } else {
            queue_.insert(queue_.end(), std::make_move_iterator(names.begin()),
                          std::make_move_iterator(names.end()));
        }
    }
    wake_.notify_one();
}

std::optional<std::string> FileFactsCache::Text(const std::string& name) const {
    const std::lock_guard lock(mutex_);
    const auto known = entries_.find(name);
    if (known == entries_.end())
        return std::nullopt;
    return known->second.text;
}

std::string FileFactsCache::Describe(const std::string& name, const FileStamp& stamp) {
    if (!stamp.found)
        return kNotFound;
    try {
        return DescribeFacts(InspectPrintFile(name));
    } catch (const std::exception& error) {
        return error.what();
    }
}

void FileFactsCache::Work() {
    for (;;) {
        std::vector<std::string> names;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
            if (stopping_)
                return;
            names.swap(queue_);
        }
        for (std::string& name : names) {
            const FileStamp stamp = StampOfFile(name);
            {
                const std::lock_guard lock(mutex_);
                if (stopping_)
                    return;
                const auto known = entries_.find(name);
                if (known != entries_.end() && known->second.stamp == stamp)
                    continue;
            }
            Entry entry{stamp, Describe(name, stamp)};
            const std::string* key = nullptr;
            {
                const std::lock_guard lock(mutex_);
                // The name becomes the key as it is, not a copy of it.
                const auto kept = entries_.insert_or_assign(std::move(name), std::move(entry));
                key = &kept.first->first;
            }
            // Only this thread changes the map, so the key stays where it is.
            read_(*key);
        }
    }
}

}  // namespace tavrin
