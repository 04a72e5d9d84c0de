#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace tavrin::test {

// A fresh folder under /tmp, removed with everything in it when the object goes.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::filesystem::path& name) const {
        return path_ / name;
    }

private:
    std::filesystem::path path_;
};

// Writes `bytes` to `path`, replacing it.
void WriteFile(const std::filesystem::path& path, const std::string& bytes);
// Writes `size` bytes of a pattern that varies with `seed` and never repeats within a 16 KiB
// buffer, streamed, so files of any size can be made.
void WritePatternFile(const std::filesystem::path& path, std::uintmax_t size,
                      std::uint32_t seed = 1);
// Whether two files hold the same bytes (compared piece by piece).
bool SameContents(const std::filesystem::path& a, const std::filesystem::path& b);
std::string ReadFile(const std::filesystem::path& path);

}  // namespace tavrin::test
