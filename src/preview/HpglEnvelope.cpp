// SPDX-License-Identifier: GPL-3.0-or-later
#include "preview/HpglEnvelope.h"

#include <algorithm>
#include <cstdint>
#include <string>

namespace tavrin {
namespace {

constexpr int kEsc = 0x1b;

bool IsDigit(int c) {
    return c >= '0' && c <= '9';
}

// The value field of a PCL escape: an optional sign, digits and a fraction (the fraction is
// dropped). Large values are held at a bound rather than overflowing.
std::int64_t ReadValue(PlotBytes& bytes) {
    bool negative = false;
    if (bytes.Peek() == '+' || bytes.Peek() == '-')
        negative = bytes.Next() == '-';
    std::int64_t value = 0;
    while (IsDigit(bytes.Peek()))
        value = std::min<std::int64_t>(value * 10 + (bytes.Next() - '0'), 1ll << 40);
    if (bytes.Take('.'))
        while (IsDigit(bytes.Peek()))
            bytes.Next();
    return negative ? -value : value;
}

void SkipBytes(PlotBytes& bytes, std::int64_t count) {
    for (; count > 0 && bytes.Next() != PlotBytes::kEnd; --count) {
    }
}

// ESC followed by a parameterised character, e.g. ESC*b1024W (then 1024 bytes of data) or
// ESC&l0o26A; the groups of a combined sequence end at an upper-case letter.
void SkipParameterised(PlotBytes& bytes, int parameterised) {
    if (bytes.Peek() >= 0x60 && bytes.Peek() <= 0x7e)
        bytes.Next();
    for (;;) {
        const std::int64_t value = ReadValue(bytes);
        const int end = bytes.Next();
        if (end == PlotBytes::kEnd)
            return;
        // Data follows W (raster, fonts, ...) and X of ESC&p (transparent print data).
        if (end == 'W' || end == 'w' || (parameterised == '&' && (end == 'X' || end == 'x')))
            SkipBytes(bytes, value);
        if (!(end >= 0x60 && end <= 0x7e))
            return;
    }
}

// ESC.x of serial plotters: parameters end at ':'.
void SkipDeviceControl(PlotBytes& bytes) {
    bytes.Next();
    if (!IsDigit(bytes.Peek()) && bytes.Peek() != ';')
        return;
    for (int most = 256; most > 0; --most) {
        const int c = bytes.Next();
        if (c == ':' || c == PlotBytes::kEnd)
            return;
    }
}

// The language a "@PJL ENTER LANGUAGE=..." line enters.
PlotMode EnteredBy(const std::string& line, PlotMode otherwise) {
    std::string upper;
    for (const char c : line)
        if (c != ' ' && c != '\t')
            upper += static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
    const auto at = upper.find("ENTERLANGUAGE=");
    if (at == std::string::npos)
        return otherwise;
    return upper.compare(at + 14, 4, "HPGL") == 0 ? PlotMode::HpGl : PlotMode::Pcl;
}

}  // namespace

PlotMode ReadEscape(PlotBytes& bytes, PlotMode now) {
    const int c = bytes.Peek();
    if (c == '%') {
        bytes.Next();
        const std::int64_t value = ReadValue(bytes);
        const int end = bytes.Next();
        if (end == 'X' && value == -12345)
            return PlotMode::Pjl;
        if (end == 'B')
            return PlotMode::HpGl;
        if (end == 'A')
            return PlotMode::Pcl;
        return now;
    }
    if (c == 'E') {  // a PCL reset
        bytes.Next();
        return PlotMode::Pcl;
    }
    if (c == '.') {
        bytes.Next();
        SkipDeviceControl(bytes);
        return now;
    }
    if (c >= 0x21 && c <= 0x2f) {
        bytes.Next();
        SkipParameterised(bytes, c);
        return now;
    }
    if (c >= 0x30 && c <= 0x7e)
        bytes.Next();
    return now;
}

void SkipToHpgl(PlotBytes& bytes, PlotMode now) {
    PlotMode entered = PlotMode::HpGl;
    while (now != PlotMode::HpGl) {
        const int c = bytes.Peek();
        if (c == PlotBytes::kEnd)
            return;
        if (c == kEsc) {
            bytes.Next();
            now = ReadEscape(bytes, now);
            continue;
        }
        if (now == PlotMode::Pcl) {
            bytes.Next();
            continue;
        }
        if (c == '\r' || c == '\n' || c == ' ' || c == '\t' || c == 0) {
            bytes.Next();
            continue;
        }
        if (c != '@') {
            now = entered;
            continue;
        }
        std::string line;
        for (int d = bytes.Next(); d != '\n' && d != PlotBytes::kEnd; d = bytes.Next())
            if (line.size() < 512)
                line += static_cast<char>(d);
        entered = EnteredBy(line, entered);
    }
}

}  // namespace tavrin
