// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

#include "app/FileStamp.h"

namespace tavrin {

// What print files hold, as DescribeFacts words it, read on a worker thread of its own. Each
// text is kept with the size and modification time its file had when it was read: a file asked
// for again is read again only when one of them has changed since.
class FileFactsCache {
public:
    static constexpr const char* kNotFound = "File not found";

    // `read` is called on the worker each time a file has been read (or found missing).
    explicit FileFactsCache(std::function<void(const std::string& name)> read);
    // Waits for the file being read; the files still queued are dropped.
    ~FileFactsCache();
    FileFactsCache(const FileFactsCache&) = delete;
    FileFactsCache& operator=(const FileFactsCache&) = delete;

    // Queues a look at each of the files `names` and returns at once.
    void Request(std::vector<std::string> names);
    // The text of the last reading of `name`: its facts, kNotFound, or why it could not be read.
    std::optional<std::string> Text(const std::string& name) const;

private:
    struct Entry {
        FileStamp stamp;
        std::string text;
    };
    static std::string Describe(const std::string& name, const FileStamp& stamp);
    void Work();

    std::function<void(const std::string&)> read_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::vector<std::string> queue_;
    std::unordered_map<std::string, Entry> entries_;
    bool stopping_ = false;
    std::thread worker_;  // last, so that it starts once the rest is made
};

}  // namespace tavrin
