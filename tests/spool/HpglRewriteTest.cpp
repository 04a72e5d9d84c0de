#include "spool/HpglRewrite.h"

#include <string>

#include "RewriterTestSupport.h"

namespace tavrin::rewrite_test {
namespace {

const std::string kReset = "\033E";  // ESC E, the printer reset
const std::string kUel = "\x1b%-12345X";

class HpglRewriteTest : public RewriterTest {
protected:
    HpglRewriteTest() {
        options.removeQL = true;
        options.smartReplots = true;
    }

    // Rewrites `bytes` and returns the temporary file's content.
    std::string Rewrite(const std::string& bytes, int replotCount) {
        lastResult = RewriteHpglFile(Source(bytes), replotCount, options);
        return TempBytes();
    }

    HpglRewrite lastResult;
};

// `length` bytes of filler that hold no instruction letter, digit or semicolon.
std::string Filler(std::size_t length) {
    return std::string(length, 'x');
}

TEST_F(HpglRewriteTest, WorkedExampleBlanksTheQualityAndPlacesTheReplot) {
    const std::string source = kReset + "IN;QL100;SP1;PA0,0;PD100,100;PU;PG;" + kUel;

    const std::string result = Rewrite(source, 2);

    EXPECT_EQ(result, kReset + "IN;;;;;;;SP1;PA0,0;PD100,100;PU;PG;RP2;;" + kUel);
    EXPECT_TRUE(lastResult.replotPlaced);
}

TEST_F(HpglRewriteTest, ReplotTextIsFiveBytesForAnyCount) {
    const std::string source = "IN;PA0,0;PG;" + kUel;
    const std::pair<int, std::string> cases[] = {{1, "RP1;;"},   {9, "RP9;;"},
                                                 {12, "RP12;"},  {99, "RP99;"},
                                                 {123, "RP123"}, {2147483647, "RP214"}};
    for (const auto& [count, text] : cases) {
        SCOPED_TRACE(count);
        EXPECT_EQ(Rewrite(source, count), "IN;PA0,0;PG;" + text + kUel);
    }
}

TEST_F(HpglRewriteTest, QualityWindowEndsThreeBytesBeforeFromStart) {
    options.smartReplots = false;
    options.fromStart = 600;

    const std::string lastBlanked = Filler(596) + "QL5;" + Filler(100);
    EXPECT_EQ(Rewrite(lastBlanked, 0), Filler(596) + ";;;;" + Filler(100));

    const std::string firstKept = Filler(597) + "QL5;" + Filler(100);
    EXPECT_EQ(Rewrite(firstKept, 0), firstKept);
}

TEST_F(HpglRewriteTest, QualityBlankingTakesOnlyTheDigitsThatFollow) {
    options.smartReplots = false;
    const std::pair<std::string, std::string> cases[] = {
        {"IN;QL50.5;SP1;", "IN;;;;;.5;SP1;"},
        {"IN;QL;SP1;", "IN;;;;SP1;"},
        {"LBEQLX\x03", "LBE;;X\x03"},
        {"QL100QL0;", ";;;;;;;;;"},
        {"QL007", ";;;;;"},
        {"ql5;QL-5;", "ql5;;;-5;"},
    };
    for (const auto& [source, expected] : cases) {
        SCOPED_TRACE(source);
        EXPECT_EQ(Rewrite(source, 0), expected);
    }
}

TEST_F(HpglRewriteTest, WithoutQualityOnPlotterTheHeadStaysAsItIs) {
    options.removeQL = false;
    const std::string source = kReset + "IN;QL100;QL;EQLX;PA0,0;PG;" + kUel;

    EXPECT_EQ(Rewrite(source, 1), kReset + "IN;QL100;QL;EQLX;PA0,0;PG;RP1;;" + kUel);
}

TEST_F(HpglRewriteTest, InstructionsAreNotFoundAcrossABlockBoundary) {
    options.fromStart = 3000;
    options.fromEnd = 50;

    options.smartReplots = false;
    const std::string splitQuality = Filler(2047) + "QL5;" + Filler(10);
    EXPECT_EQ(Rewrite(splitQuality, 0), splitQuality);

    const std::string digitsIntoNextBlock = Filler(2040) + "QL" + std::string(20, '7') + ";";
    EXPECT_EQ(Rewrite(digitsIntoNextBlock, 0),
              Filler(2040) + std::string(8, ';') + std::string(14, '7') + ";");

    options.smartReplots = true;
    const std::string splitPage = Filler(2046) + "PG;" + Filler(10);
    EXPECT_EQ(Rewrite(splitPage, 2), splitPage);
    EXPECT_FALSE(lastResult.replotPlaced);
}

TEST_F(HpglRewriteTest, PageInstructionMustLieInTheTail) {
    options.fromEnd = 30;

    const std::string lastQualifying = "IN;PG;" + Filler(29);
    EXPECT_EQ(Rewrite(lastQualifying, 1), "IN;PG;RP1;;" + Filler(29));
    EXPECT_TRUE(lastResult.replotPlaced);

    const std::string firstTooEarly = "IN;PG;" + Filler(30);
    EXPECT_EQ(Rewrite(firstTooEarly, 1), firstTooEarly);
    EXPECT_FALSE(lastResult.replotPlaced);

    EXPECT_EQ(Rewrite("IN;PA0,0;PG;", 3), "IN;PA0,0;PG;RP3;;");
    EXPECT_TRUE(lastResult.replotPlaced);
}

TEST_F(HpglRewriteTest, FirstQualifyingPageInstructionDecides) {
    EXPECT_EQ(Rewrite("IN;PG;PA1,1;PG;", 4), "IN;PG;RP4;;PA1,1;PG;");
}

TEST_F(HpglRewriteTest, OnlyPgWithSemicolonIsAPageInstruction) {
    for (const std::string source : {"IN;PG1;", "IN;PG", "IN;PG0;\n", "IN;pg;", "IN;P G;"}) {
        SCOPED_TRACE(source);
        EXPECT_EQ(Rewrite(source, 2), source);
        EXPECT_FALSE(lastResult.replotPlaced);
    }
}

TEST_F(HpglRewriteTest, NoReplotWithoutCopiesByPlotterOrCount) {
    const std::string source = "IN;QL5;PG;" + kUel;
    const std::string blankedOnly = "IN;;;;;PG;" + kUel;

    for (const int count : {0, -1, -3}) {
        SCOPED_TRACE(count);
        EXPECT_EQ(Rewrite(source, count), blankedOnly);
        EXPECT_FALSE(lastResult.replotPlaced);
    }
    options.smartReplots = false;
    EXPECT_EQ(Rewrite(source, 5), blankedOnly);
    EXPECT_FALSE(lastResult.replotPlaced);
}

TEST_F(HpglRewriteTest, NoQualifyingPageInstructionLeavesTheCopyUnchanged) {
    EXPECT_EQ(Rewrite("", 2), "");
    EXPECT_FALSE(lastResult.replotPlaced);

    const std::string noPage = "IN;SP1;PA0,0;PD10,10;PU;";
    EXPECT_EQ(Rewrite(noPage, 2), noPage);
    EXPECT_FALSE(lastResult.replotPlaced);
}

TEST_F(HpglRewriteTest, TemporaryFileIsReplacedByEveryCall) {
    WriteBytes(tempFile(), std::string(5000, 'z'));

    EXPECT_EQ(Rewrite("IN;PG;", 1), "IN;PG;RP1;;");
    EXPECT_EQ(Rewrite("PG;", 0), "PG;");
}

// Large enough for blocks that are copied without being looked at, between the head and the tail,
// and for reads that span many blocks.
TEST_F(HpglRewriteTest, LongFileIsEditedOnlyAtItsEnds) {
    options.fromStart = 800;
    options.fromEnd = 50;
    const std::string head = kReset + "IN;QL100;";
    std::string body;
    for (int i = 0; body.size() < 3'000'000; ++i) {
        body += "PA" + std::to_string(i % 9973) + "," + std::to_string(i % 7919) + ";PD;QL5;PG;";
    }
    const std::string tail = "PU;" + Filler(60) + "PG;";
    const std::string source = head + body + tail + kUel;

    std::string expected = kReset + "IN;;;;;;;" + body + tail + "RP2;;" + kUel;
    for (std::size_t at = expected.find("QL5"); at + 3 < 800; at = expected.find("QL5", at)) {
        expected.replace(at, 3, ";;;");
    }

    const std::string result = Rewrite(source, 2);

    EXPECT_TRUE(lastResult.replotPlaced);
    EXPECT_EQ(result.size(), source.size() + 5);
    EXPECT_TRUE(result == expected) << "the rewritten long file differs from the expected bytes";
}

}  // namespace
}  // namespace tavrin::rewrite_test
