#include <random>
#include <string>

#include "RewriterTestSupport.h"
#include "spool/HpglRewrite.h"
#include "support/HpglRewriteReference.h"

namespace tavrin::rewrite_test {
namespace {

using Case = test::HpglRewriteCase;
using test::RewriteInMemory;

class CaseMaker {
public:
    explicit CaseMaker(unsigned seed) : random_(seed) {}

    Case Make() {
        Case c;
        const std::size_t size = PickSize();
        c.bytes = Content(size);
        c.replotCount = Between(-2, 130);
        c.removeQL = Between(0, 4) != 0;
        c.smartReplots = Between(0, 4) != 0;
        c.fromStart = PickFromStart(size);
        c.fromEnd = PickFromEnd(size);
        return c;
    }

private:
    int Between(int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random_);
    }

    std::size_t PickSize() {
        switch (Between(0, 9)) {
            case 0:
                return static_cast<std::size_t>(Between(0, 12));
            case 1:
                return static_cast<std::size_t>(Between(100'000, 400'000));  // many blocks
            case 2:
            case 3:
                return static_cast<std::size_t>(Between(0, 9000));
            default:  // close to a block boundary
                return static_cast<std::size_t>(std::max(0, 2048 * Between(1, 4) + Between(-6, 6)));
        }
    }

    int PickFromStart(std::size_t size) {
        switch (Between(0, 5)) {
            case 0:
                return Between(-2, 8);
            case 1:
                return 2048 * Between(1, 3) + Between(-5, 5);
            case 2:
                return static_cast<int>(size) + Between(-5, 5);
            default:
                return Between(1, 800);
        }
    }

    int PickFromEnd(std::size_t size) {
        switch (Between(0, 5)) {
            case 0:
                return Between(-2, 6);
            case 1:
                return static_cast<int>(size % 2048) + Between(-5, 5);
            case 2:
                return Between(1, 5000);
            default:
                return Between(1, 50);
        }
    }

    std::string Content(std::size_t size) {
        static const char* const kPieces[] = {"QL",  "PG;",    "PG",  "QL;", "Q", "L",
                                              "P",   "G",      ";",   "0",   "7", "42",
                                              "QL1", "PG;PG;", "IN;", "x"};
        const bool sparse = size > 20'000;
        std::string bytes;
        bytes.reserve(size + 8);
        while (bytes.size() < size) {
            if (sparse && Between(0, 50) != 0) {
                bytes.append(static_cast<std::size_t>(Between(1, 400)), 'x');
            } else if (Between(0, 5) == 0) {
                bytes += static_cast<char>(Between(0, 255));
            } else {
                bytes += kPieces[Between(0, std::size(kPieces) - 1)];
            }
        }
        bytes.resize(size);
        // Instructions laid over block boundaries and at the very end.
        const char* const kEdgePieces[] = {"QL", "PG;", "QL99999"};
        for (std::size_t boundary = 2048; boundary < size + 3; boundary += 2048) {
            if (Between(0, 2) == 0) {
                const std::string piece = kEdgePieces[Between(0, 2)];
                const std::size_t at = boundary - static_cast<std::size_t>(Between(1, 4));
                if (at + piece.size() <= size) {
                    bytes.replace(at, piece.size(), piece);
                }
            }
        }
        if (size >= 3 && Between(0, 3) == 0) {
            bytes.replace(size - 3, 3, "PG;");
        }
        return bytes;
    }

    std::mt19937 random_;
};

class HpglRewritePropertyTest : public RewriterTest {};

TEST_F(HpglRewritePropertyTest, StreamingRewriteMatchesTheInMemoryRewrite) {
    constexpr unsigned kSeed = 20261206;
    constexpr int kCases = 4000;
    CaseMaker maker(kSeed);
    int placed = 0;
    int blanked = 0;
    for (int n = 0; n < kCases; ++n) {
        const Case c = maker.Make();
        options.removeQL = c.removeQL;
        options.smartReplots = c.smartReplots;
        options.fromStart = c.fromStart;
        options.fromEnd = c.fromEnd;

        const HpglRewrite result = RewriteHpglFile(Source(c.bytes), c.replotCount, options);
        const test::HpglRewriteExpected expected = RewriteInMemory(c);

        const std::string actual = TempBytes();
        ASSERT_EQ(result.replotPlaced, expected.replotPlaced) << "case " << n;
        ASSERT_TRUE(actual == expected.bytes)
            << "case " << n << ": size " << c.bytes.size() << ", FromStart " << c.fromStart
            << ", FromEnd " << c.fromEnd << ", count " << c.replotCount << ", QL " << c.removeQL
            << ", replots " << c.smartReplots;
        placed += result.replotPlaced ? 1 : 0;
        blanked += expected.bytes.size() == c.bytes.size() && expected.bytes != c.bytes ? 1 : 0;
    }
    // The inputs must reach both edits often, or the comparison proves little.
    EXPECT_GT(placed, kCases / 10);
    EXPECT_GT(blanked, kCases / 10);
}

}  // namespace
}  // namespace tavrin::rewrite_test
