// SPDX-License-Identifier: GPL-3.0-or-later
#include "preview/HpglNumbers.h"

#include <cstdint>

namespace tavrin {
namespace {

constexpr int kEsc = 0x1b;

bool IsDigit(int c) {
    return c >= '0' && c <= '9';
}

}  // namespace

bool ReadNumber(PlotBytes& bytes, double& value) {
    int c = bytes.Peek();
    for (;; c = bytes.Peek()) {
        if (c == ' ' || c == ',' || c == '\t' || c == '\r' || c == '\n') {
            bytes.Next();
        } else if (c == '"') {
            bytes.Next();
            while (bytes.Peek() != '"' && bytes.Peek() != PlotBytes::kEnd)
                bytes.Next();
            bytes.Take('"');
        } else {
            break;
        }
    }
    if (!IsDigit(c) && c != '-' && c != '+' && c != '.')
        return false;
    bool negative = false;
    if (c == '-' || c == '+')
        negative = bytes.Next() == '-';
    double whole = 0;
    while (IsDigit(bytes.Peek())) {
        const int digit = bytes.Next() - '0';
        if (whole < 1e15)
            whole = whole * 10 + digit;
    }
    if (bytes.Take('.')) {
        double scale = 0.1;
        while (IsDigit(bytes.Peek())) {
            whole += (bytes.Next() - '0') * scale;
            scale *= 0.1;
        }
    }
    value = negative ? -whole : whole;
    return true;
}

bool ReadEncodedNumber(PlotBytes& bytes, bool sevenBit, double& value) {
    const int bits = sevenBit ? 5 : 6;
    const int terminators = sevenBit ? 95 : 191;
    const int highest = sevenBit ? 126 : 254;
    std::uint64_t number = 0;
    int shift = 0;
    for (;;) {
        const int c = bytes.Peek();
        if (c == PlotBytes::kEnd || c == ';' || c == kEsc)
            return false;
        bytes.Next();
        if (c < 63 || c > highest)
            continue;
        const bool last = c >= terminators;
        if (shift < 60)
            number |= static_cast<std::uint64_t>(c - (last ? terminators : 63)) << shift;
        shift += bits;
        if (last)
            break;
    }
    const double magnitude = static_cast<double>(number >> 1);
    value = (number & 1) != 0 ? -magnitude : magnitude;
    return true;
}

}  // namespace tavrin
