// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <istream>
#include <vector>

namespace tavrin {

// The bytes of a plot file, read from its stream a piece at a time.
class PlotBytes {
public:
    static constexpr int kEnd = -1;

    explicit PlotBytes(std::istream& file, std::size_t pieceBytes = 256 * 1024)
        : file_(file), piece_(pieceBytes) {}

    // The next byte (0..255) without taking it, or kEnd.
    int Peek() {
        if (at_ == size_ && !Fill())
            return kEnd;
        return static_cast<unsigned char>(piece_[at_]);
    }
    int Next() {
        const int c = Peek();
        at_ += c != kEnd;
        return c;
    }
    // Takes the next byte when it is `c`.
    bool Take(int c) {
        if (Peek() != c)
            return false;
        ++at_;
        return true;
    }

private:
    bool Fill() {
        if (!file_)
            return false;
        file_.read(piece_.data(), static_cast<std::streamsize>(piece_.size()));
        size_ = static_cast<std::size_t>(file_.gcount());
        at_ = 0;
        return size_ > 0;
    }

    std::istream& file_;
    std::vector<char> piece_;
    std::size_t at_ = 0;
    std::size_t size_ = 0;
};

}  // namespace tavrin
