#include <cctype>
#include <string>

#include "RewriterTestSupport.h"
#include "spool/HpglRewrite.h"

namespace tavrin::rewrite_test {
namespace {

struct Windows {
    int fromStart;
    int fromEnd;
};

bool IsDigit(char byte) {
    return std::isdigit(static_cast<unsigned char>(byte)) != 0;
}

// Checks that `result` differs from `source` only by blanked quality instructions inside the head
// window: each changed run is "QL" and the digits after it, all turned into ";", and a run stops
// before a digit only at a block boundary.
void ExpectOnlyQualityBlanked(const std::string& source, const std::string& result, int fromStart) {
    ASSERT_EQ(source.size(), result.size());
    for (std::size_t at = 0; at < source.size(); ++at) {
        if (source[at] == result[at]) {
            continue;
        }
        ASSERT_TRUE(source.compare(at, 2, "QL") == 0 && result.compare(at, 2, ";;") == 0)
            << "byte " << at << " changed outside a quality instruction";
        EXPECT_LT(at + 3, static_cast<std::size_t>(fromStart)) << "blanked outside the head";
        std::size_t end = at + 2;
        while (end < source.size() && IsDigit(source[end]) && result[end] == ';') {
            ++end;
        }
        if (end < source.size() && IsDigit(source[end])) {
            EXPECT_EQ(end % 2048, 0u) << "digits left standing inside a block at " << end;
        }
        at = end - 1;
    }
}

// Checks the rewrite of one file: the length grows only by the replot text, which sits right
// after a "PG;" in the tail window, and the rest differs only by blanked quality instructions.
void ExpectSoundRewrite(const std::string& source, const std::string& result, bool replotPlaced,
                        const std::string& replotText, const Windows& windows) {
    if (!replotPlaced) {
        ExpectOnlyQualityBlanked(source, result, windows.fromStart);
        return;
    }
    ASSERT_EQ(result.size(), source.size() + replotText.size());
    for (std::size_t at = 3; at <= source.size(); ++at) {
        if (result.compare(at - 3, 3, "PG;") != 0 || result.compare(at, 5, replotText) != 0) {
            continue;
        }
        const std::string withoutReplot = result.substr(0, at) + result.substr(at + 5);
        if (withoutReplot.compare(at, std::string::npos, source, at, std::string::npos) != 0) {
            continue;
        }
        EXPECT_LT(source.size() - at, static_cast<std::size_t>(windows.fromEnd))
            << "replot placed outside the tail";
        ExpectOnlyQualityBlanked(source, withoutReplot, windows.fromStart);
        return;
    }
    ADD_FAILURE() << "no replot text right after a page instruction";
}

class HpglSamplesTest : public RewriterTest {
protected:
    HpglSamplesTest() {
        options.removeQL = true;
        options.smartReplots = true;
    }

    std::string Rewrite(const fs::path& sample, int replotCount, const Windows& windows) {
        options.fromStart = windows.fromStart;
        options.fromEnd = windows.fromEnd;
        lastResult = RewriteHpglFile(sample.string(), replotCount, options);
        return TempBytes();
    }

    HpglRewrite lastResult;
};

TEST_F(HpglSamplesTest, EverySampleIsRewrittenSoundly) {
    const Windows windowsToTry[] = {{600, 30}, {800, 50}, {500, 1}, {1 << 30, 5000}};
    const std::pair<int, std::string> counts[] = {{2, "RP2;;"}, {123, "RP123"}};
    for (const fs::path& sample : SampleFiles()) {
        const std::string source = ReadBytes(sample);
        for (const Windows& windows : windowsToTry) {
            for (const auto& [count, text] : counts) {
                SCOPED_TRACE(sample.string() + " FromStart " + std::to_string(windows.fromStart) +
                             " FromEnd " + std::to_string(windows.fromEnd) + " count " +
                             std::to_string(count));
                const std::string result = Rewrite(sample, count, windows);
                ExpectSoundRewrite(source, result, lastResult.replotPlaced, text, windows);
                EXPECT_EQ(ReadBytes(sample), source);
            }
        }
    }
}

TEST_F(HpglSamplesTest, DriverOutputGetsItsReplotBeforeTheJobTrailer) {
    const fs::path sample = SamplePath("jem-green-HPGL2/XANADU-PLT-test.plt");
    const std::string source = ReadBytes(sample);
    const std::string trailer = "\x1b%-12345X@PJL EOJ\n";
    ASSERT_EQ(source.substr(source.size() - 21), "PG;" + trailer);

    const std::string result = Rewrite(sample, 2, {600, 30});

    EXPECT_TRUE(lastResult.replotPlaced);
    EXPECT_EQ(result.substr(result.size() - 26), "PG;RP2;;" + source.substr(source.size() - 18));
    // Its quality instruction lies far beyond the head window and stays.
    EXPECT_TRUE(result.compare(0, source.size() - 18, source, 0, source.size() - 18) == 0);
}

TEST_F(HpglSamplesTest, QualityInstructionDeepInAFileIsBlankedWithAWideHead) {
    const fs::path sample = SamplePath("jem-green-HPGL2/XANADU-PLT-test.plt");
    const std::string source = ReadBytes(sample);
    ASSERT_EQ(source.substr(132754, 4), "QL0P");

    const std::string result = Rewrite(sample, 0, {200'000, 30});

    EXPECT_EQ(result.substr(132750, 8), source.substr(132750, 4) + ";;;P");
    EXPECT_FALSE(lastResult.replotPlaced);
}

TEST_F(HpglSamplesTest, FilesWithoutAQualifyingPageInstructionComeThroughUnchanged) {
    // pages.hp ends with a page that has no PG; the others have "PG1;", "PG0;", a bare "PG" or
    // no page instruction at all.
    for (const std::string name :
         {"hp2xx/pages.hp", "hp2xx/acad.hp", "plotutils/plot2hpgl.xout", "hp2xx/lo-slash.hp",
          "hp2xx/spectrum.plt", "hpgl-rendering/test.plt"}) {
        SCOPED_TRACE(name);
        const std::string source = ReadBytes(SamplePath(name));
        EXPECT_TRUE(Rewrite(SamplePath(name), 2, {600, 50}) == source);
        EXPECT_FALSE(lastResult.replotPlaced);
    }
}

TEST_F(HpglSamplesTest, PageInstructionFollowedByAnotherInstructionStillTakesTheReplot) {
    const std::string source = ReadBytes(SamplePath("hp2xx/inter.hp"));

    const std::string result = Rewrite(SamplePath("hp2xx/inter.hp"), 5, {600, 30});

    EXPECT_TRUE(lastResult.replotPlaced);
    EXPECT_EQ(result.substr(result.size() - 17), "PU0,0;PG;RP5;;SP;");
}

}  // namespace
}  // namespace tavrin::rewrite_test
