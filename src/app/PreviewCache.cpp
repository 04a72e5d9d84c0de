// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/PreviewCache.h"

#include <algorithm>
#include <exception>
#include <utility>

namespace tavrin {

PreviewCache::PreviewCache(std::function<void(const std::string& name)> ready)
    : ready_(std::move(ready)), worker_([this] { Work(); }) {}

PreviewCache::~PreviewCache() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    worker_.join();
}

void PreviewCache::Request(const std::string& name, int width) {
    {
        const std::lock_guard lock(mutex_);
        queued_ = Job{name, width};
    }
    wake_.notify_one();
}

std::optional<PreviewCache::Picture> PreviewCache::Find(const std::string& name) const {
    const std::lock_guard lock(mutex_);
    const auto known = entries_.find(name);
    if (known == entries_.end())
        return std::nullopt;
    return known->second.picture;
}

PreviewCache::Picture PreviewCache::Draw(const std::string& name, int width) {
    Picture picture;
    picture.width = width;
    try {
        PreviewRequest request;
        request.width = width;
        picture.preview = std::make_shared<const Preview>(RenderPreview(name, request));
    } catch (const std::exception& error) {
        picture.error = error.what();
    }
    return picture;
}

std::size_t PreviewCache::BytesOf(const Entry& entry) {
    return entry.picture.preview ? entry.picture.preview->image.pixels.size() : 0;
}

void PreviewCache::Keep(const std::string& name, Entry entry) {
    entry.used = ++uses_;
    entries_.insert_or_assign(name, std::move(entry));
    std::size_t bytes = 0;
    for (const auto& [kept, known] : entries_)
        bytes += BytesOf(known);
    while (entries_.size() > 1 && (entries_.size() > kKept || bytes > kKeptBytes)) {
        const auto oldest = std::min_element(
            entries_.begin(), entries_.end(),
            [](const auto& a, const auto& b) { return a.second.used < b.second.used; });
        bytes -= BytesOf(oldest->second);
        entries_.erase(oldest);
    }
}

void PreviewCache::Work() {
    for (;;) {
        Job job;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return stopping_ || queued_; });
            if (stopping_)
                return;
            job = std::move(*queued_);
            queued_.reset();
        }
        const FileStamp stamp = StampOfFile(job.name);
        {
            const std::lock_guard lock(mutex_);
            const auto known = entries_.find(job.name);
            if (known != entries_.end() && known->second.stamp == stamp &&
                job.width <= known->second.picture.width * kRedrawWider) {
                known->second.used = ++uses_;
                continue;
            }
        }
        Entry entry;
        entry.stamp = stamp;
        entry.picture = Draw(job.name, job.width);
        {
            const std::lock_guard lock(mutex_);
            if (stopping_)
                return;
            Keep(job.name, std::move(entry));
        }
        ready_(job.name);
    }
}

}  // namespace tavrin
