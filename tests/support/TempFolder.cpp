#include "support/TempFolder.h"

#include <stdlib.h>

#include <fstream>
#include <stdexcept>
#include <vector>

namespace tavrin::test {

TempFolder::TempFolder() {
    std::string pattern = "/tmp/tavrin-test-XXXXXX";
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("cannot make a temporary folder");
    path_ = pattern;
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
}

void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path.string());
}

void WritePatternFile(const std::filesystem::path& path, std::uintmax_t size, std::uint32_t seed) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    std::vector<char> buffer(1 << 16);
    std::uint32_t state = seed * 2654435761u + 12345u;
    while (size > 0) {
        const std::size_t piece =
            size < buffer.size() ? static_cast<std::size_t>(size) : buffer.size();
        for (std::size_t i = 0; i < piece; ++i) {
            state = state * 1664525u + 1013904223u;
            buffer[i] = static_cast<char>(state >> 24);
        }
        out.write(buffer.data(), static_cast<std::streamsize>(piece));
        size -= piece;
    }
    if (!out)
        throw std::runtime_error("cannot write " + path.string());
}

bool SameContents(const std::filesystem::path& a, const std::filesystem::path& b) {
    std::ifstream left(a, std::ios::binary);
    std::ifstream right(b, std::ios::binary);
    if (!left || !right)
        return false;
    std::vector<char> x(1 << 16), y(1 << 16);
    while (true) {
        left.read(x.data(), static_cast<std::streamsize>(x.size()));
        right.read(y.data(), static_cast<std::streamsize>(y.size()));
        if (left.gcount() != right.gcount())
            return false;
        if (!std::equal(x.begin(), x.begin() + left.gcount(), y.begin()))
            return false;
        if (left.gcount() == 0 || !left || !right)
            return !left && !right;
    }
}

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace tavrin::test
