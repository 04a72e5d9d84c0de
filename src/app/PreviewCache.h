// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <unordered_map>

#include "app/FileStamp.h"
#include "preview/Preview.h"

namespace tavrin {

// First-page pictures of print files (RenderPreview), drawn on a worker thread of its own so
// that the window never waits for one. Each picture is kept with the size and modification time
// its file had when it was drawn: a file asked for again is drawn again only when one of them
// has changed since, or when it is asked for much wider than it was drawn.
class PreviewCache {
public:
    // What drawing a file came to: its preview, or the text of the error that stopped it.
    struct Picture {
        std::shared_ptr<const Preview> preview;  // none when `error` says why
        std::string error;
        int width = 0;  // the width it was drawn for
    };
    // A picture is drawn again for a width more than this many times the one it was drawn for;
    // up to that the window scales it.
    static constexpr double kRedrawWider = 1.5;
    // The pictures kept at most, and the bytes their pixels may take (the newest is always
    // kept); the ones used longest ago go first.
    static constexpr std::size_t kKept = 24;
    static constexpr std::size_t kKeptBytes = 64 * 1024 * 1024;

    // `ready` is called on the worker each time a picture of `name` has been drawn.
    explicit PreviewCache(std::function<void(const std::string& name)> ready);
    // Waits for the picture being drawn; a request still queued is dropped.
    ~PreviewCache();
    PreviewCache(const PreviewCache&) = delete;
    PreviewCache& operator=(const PreviewCache&) = delete;

    // Asks for the picture of `name`, `width` pixels across, and returns at once. Only the
    // newest request waits: one that has not been started yet gives way to it.
    void Request(const std::string& name, int width);
    // The last picture drawn of `name`, whatever width it was drawn for.
    std::optional<Picture> Find(const std::string& name) const;

private:
    struct Entry {
        FileStamp stamp;
        Picture picture;
        std::uint64_t used = 0;
    };
    struct Job {
        std::string name;
        int width = 0;
    };
    static Picture Draw(const std::string& name, int width);
    static std::size_t BytesOf(const Entry& entry);
    void Keep(const std::string& name, Entry entry);
    void Work();

    std::function<void(const std::string&)> ready_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::optional<Job> queued_;
    std::unordered_map<std::string, Entry> entries_;
    std::uint64_t uses_ = 0;
    bool stopping_ = false;
    std::thread worker_;  // last, so that it starts once the rest is made
};

}  // namespace tavrin
