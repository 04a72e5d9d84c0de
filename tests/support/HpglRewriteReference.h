// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>

namespace tavrin::test {

// One HP-GL/2 rewrite: the file and the options that the rewrite reads.
struct HpglRewriteCase {
    std::string bytes;
    int replotCount = 0;
    bool removeQL = false;
    bool smartReplots = false;
    int fromStart = 0;
    int fromEnd = 0;
    long long dataStart = 0;  // where the HP-GL/2 data begins, after padding and a job header
};

struct HpglRewriteExpected {
    std::string bytes;
    bool replotPlaced = false;
};

// The rewrite done the plain way, on the whole file in memory: block by block, position by
// position, the quality test and then the page test.
inline HpglRewriteExpected RewriteInMemory(const HpglRewriteCase& c) {
    constexpr long long kBlock = 2048;
    std::string data = c.bytes;
    const long long size = static_cast<long long>(data.size());
    const auto is = [&](long long at, const char* text) {
        return data.compare(static_cast<std::size_t>(at), std::strlen(text), text) == 0;
    };
    bool matched = false;
    long long insertion = -1;
    for (long long b = 0; b < size; b += kBlock) {
        const long long m = std::min(kBlock, size - b);
        for (long long i = 0; i < m; ++i) {
            if (c.removeQL && i + 1 < m && is(b + i, "QL") && b + i >= c.dataStart &&
                b + i + 3 < c.dataStart + c.fromStart) {
                data[b + i] = data[b + i + 1] = ';';
                for (long long d = i + 2;
                     d < m && std::isdigit(static_cast<unsigned char>(data[b + d])); ++d) {
                    data[b + d] = ';';
                }
            }
            if (c.smartReplots && !matched && i + 2 < m && is(b + i, "PG;") &&
                size - (b + i + 3) < c.fromEnd) {
                matched = true;
                insertion = b + i + 3;
                break;
            }
        }
    }
    if (c.smartReplots && c.replotCount > 0 && matched) {
        const std::string text = ("RP" + std::to_string(c.replotCount) + ";;;").substr(0, 5);
        data.insert(static_cast<std::size_t>(insertion), text);
        return {data, true};
    }
    return {data, false};
}

}  // namespace tavrin::test
