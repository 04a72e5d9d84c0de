// SPDX-License-Identifier: GPL-3.0-or-later
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <functional>
#include <map>
#include <random>

#include "RewriterTestSupport.h"
#include "printers/PrintLanguage.h"
#include "spool/HpglRewrite.h"
#include "spool/OceHeader.h"
#include "spool/PostScriptHeader.h"
#include "support/HpglRewriteReference.h"
#include "support/SpoolErrorText.h"

namespace tavrin::rewrite_test {
namespace {

struct HpglRewriteTest : public RewriterTest {
    // Rewrites the file at `source` over junk in the temporary file and returns what that holds.
    std::string Rewrite(const std::string& source, int count, int fromStart = 600,
                        int fromEnd = 30) {
        options.fromStart = fromStart;
        options.fromEnd = fromEnd;
        WriteBytes(tempFile, std::string(5000, 'z'));
        placed = RewriteHpglFile(source, count, options).replotPlaced;
        return TempBytes();
    }

    bool placed = false;
};

TEST_F(HpglRewriteTest, ExactBytesOfTheRewrite) {
    struct Row {
        const char* name;
        std::string source;
        int count;
        std::string expected;
        bool placed;
        int fromStart = 600, fromEnd = 30;
        bool quality = true, replots = true;  // "Quality on plotter", "Copies by plotter"
    };
    // Filler that holds no instruction letter, digit or semicolon.
    const auto X = [](std::size_t length) { return std::string(length, 'x'); };
    const std::string kReset = "\033E", pg = "IN;PA0,0;PG;";
    const Row rows[] = {
        {"WorkedExample", kReset + "IN;QL100;SP1;PA0,0;PD100,100;PU;PG;" + kUel, 2,
         kReset + "IN;;;;;;;SP1;PA0,0;PD100,100;PU;PG;RP2;;" + kUel, true},
        {"Count1", pg + kUel, 1, pg + "RP1;;" + kUel, true},
        {"Count12", pg + kUel, 12, pg + "RP12;" + kUel, true},
        {"Count123", pg + kUel, 123, pg + "RP123" + kUel, true},
        {"CountMax", pg + kUel, 2147483647, pg + "RP214" + kUel, true},
        {"CountZero", "IN;QL9;PG;", 0, "IN;;;;;PG;", false},
        {"CountMinus3", "IN;QL5;PG;", -3, "IN;;;;;PG;", false},
        {"NoReplotsBox", "IN;QL5;PG;", 5, "IN;;;;;PG;", false, 600, 30, true, false},
        {"NoQLBox", "IN;QL100;QL;EQLX;PG;", 1, "IN;QL100;QL;EQLX;PG;RP1;;", true, 600, 30, false},
        // Blanked when the "Q" lies more than 3 bytes before FromStart.
        {"LastBlanked", X(596) + "QL5;" + X(9), 0, X(596) + ";;;;" + X(9), false},
        {"FirstKept", X(597) + "QL5;" + X(9), 0, X(597) + "QL5;" + X(9), false},
        {"DecimalPoint", "IN;QL50.5;SP1;", 0, "IN;;;;;.5;SP1;", false},
        {"NoDigits", "IN;QL;SP1;", 0, "IN;;;;SP1;", false},
        {"InsideALabel", "LBEQLX\x03", 0, "LBE;;X\x03", false},
        {"TwoInARow", "QL100QL0;", 0, ";;;;;;;;;", false},
        {"LowerCaseAndSign", "ql5;QL-5;", 0, "ql5;;;-5;", false},
        // Instructions are not found across a block boundary; digits stop at one.
        {"QLAcrossBlocks", X(2047) + "QL5;", 0, X(2047) + "QL5;", false, 3000, 50, true, false},
        {"QLAtABlockStart", X(2048) + "QL5;", 0, X(2048) + ";;;;", false, 2052, 30, true, false},
        {"DigitsIntoNextBlock", X(2040) + "QL" + std::string(20, '7'), 0,
         X(2040) + std::string(8, ';') + std::string(14, '7'), false, 3000, 50, true, false},
        {"PageAcrossBlocks", X(2046) + "PG;" + X(10), 2, X(2046) + "PG;" + X(10), false, 3000, 50},
        // The page instruction must end fewer than FromEnd bytes before the end.
        {"LastInTheTail", "IN;PG;" + X(29), 1, "IN;PG;RP1;;" + X(29), true},
        {"FirstBeforeTheTail", "IN;PG;" + X(30), 1, "IN;PG;" + X(30), false},
        {"FirstQualifyingDecides", "IN;PG;PA1,1;PG;", 4, "IN;PG;RP4;;PA1,1;PG;", true},
        {"PG1", "IN;PG1;", 2, "IN;PG1;", false},
        {"BarePG", "IN;PG", 2, "IN;PG", false},
        {"LowerCasePG", "IN;pg;", 2, "IN;pg;", false},
        {"Empty", "", 2, "", false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        options.removeQL = row.quality;
        options.smartReplots = row.replots;
        EXPECT_EQ(Rewrite(Source(row.source), row.count, row.fromStart, row.fromEnd), row.expected);
        EXPECT_EQ(placed, row.placed);
    }
}

// Rewriter, copies, boxes (R copies by printer/plotter, C collate, F fit), paper size, header.
TEST_F(RewriterTest, HeaderGoesBeforeTheUnchangedFile) {
    const bool ps = false, oce = true;
    const std::tuple<bool, int, std::string, std::optional<PageSize>, std::string> rows[] = {
        {ps, 3, "RC", PageSize::A4, Copies(3) + kCollate},
        {ps, 3, "RF", PageSize::A3, Copies(3) + Size("841 1191")},
        {ps, 3, "RCF", PageSize::A0, Copies(3) + kCollate + Size("2384 3370")},
        {ps, 2, "R", PageSize::A4, Copies(2)},
        {ps, 99, "R", PageSize::A4, Copies(99)},
        {ps, 1, "RC", PageSize::A4, ""},
        {ps, -4, "RC", PageSize::A4, ""},
        {ps, 5, "C", PageSize::A4, ""},
        {ps, 0, "F", PageSize::A4, Size("595 841")},
        {ps, 1, "RF", PageSize::A5, Size("420 595")},
        {ps, 1, "F", PageSize::A2, Size("1191 1684")},
        {ps, 1, "F", PageSize::A1, Size("1684 2384")},
        {ps, 1, "F", std::nullopt, Size("")},
        {oce, 12, "R", PageSize::A4, Record("12")},
        {oce, 2, "R", PageSize::A4, Record("2")},
        {oce, 1, "R", PageSize::A4, ""},
        {oce, -2, "R", PageSize::A4, ""},
        {oce, 7, "", PageSize::A4, ""},
    };
    const std::string page = ReadFile(test::SamplesDir() / "cups/testfile.ps");
    const std::string plot = ReadFile(test::SamplesDir() / "hp2xx/dt.plt");
    for (const auto& [isOce, copies, boxes, size, header] : rows) {
        SCOPED_TRACE(header);
        options.smartReplots = boxes.find('R') != std::string::npos;
        options.psCollate = boxes.find('C') != std::string::npos;
        options.fitToPage = boxes.find('F') != std::string::npos;
        options.pageSize = size;
        const std::string& bytes = isOce ? plot : page;
        (isOce ? WriteOceHeader : WritePostScriptHeader)(Source(bytes), copies, options);
        EXPECT_EQ(TempBytes(), header + bytes);
    }
}

TEST_F(HpglRewriteTest, EverySampleIsRewrittenAsTheInMemoryRewriteDoesAndFollowsEachHeader) {
    options.removeQL = options.smartReplots = options.psCollate = options.fitToPage = true;
    options.pageSize = PageSize::A3;
    const std::pair<int, int> windows[] = {{600, 30}, {500, 1}, {1 << 30, 5000}};
    // The head window of these begins after their padding, job header or HP-GL/2 escape.
    std::map<std::string, long long> dataStarts;
    for (const fs::path& sample : test::SamplePrintFiles()) {
        const std::string source = ReadFile(sample);
        const auto dataStart = static_cast<long long>(DetectPrintLanguage(source).hpglStart);
        if (dataStart != 0)
            dataStarts[sample.filename().string()] = dataStart;
        for (const auto& [fromStart, fromEnd] : windows) {
            SCOPED_TRACE(sample.string() + " " + std::to_string(fromStart));
            const auto expected =
                test::RewriteInMemory({source, 5, true, true, fromStart, fromEnd, dataStart});
            EXPECT_TRUE(Rewrite(sample.string(), 5, fromStart, fromEnd) == expected.bytes);
            EXPECT_EQ(placed, expected.replotPlaced);
        }
        WritePostScriptHeader(sample.string(), 3, options);
        EXPECT_TRUE(TempBytes() == Copies(3) + kCollate + Size("841 1191") + source) << sample;
        WriteOceHeader(sample.string(), 4, options);
        EXPECT_TRUE(TempBytes() == Record("4") + source) << sample;
        EXPECT_EQ(ReadFile(sample), source);
    }
    EXPECT_EQ(dataStarts, (std::map<std::string, long long>{{"XANADU-PLT-test.plt", 132739}}));
}

// Runs `run` with files limited to `bytes`: writes past it fail with EFBIG, not SIGXFSZ.
template <class Run>
auto WithFileSizeLimit(rlim_t bytes, Run run) {
    rlimit saved{};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    const sighandler_t handler = ::signal(SIGXFSZ, SIG_IGN);
    const rlimit limited{bytes, saved.rlim_max};
    ::setrlimit(RLIMIT_FSIZE, &limited);
    const auto result = run();
    ::setrlimit(RLIMIT_FSIZE, &saved);
    ::signal(SIGXFSZ, handler);
    return result;
}

using Rewriter = std::pair<const char*, void (*)(const std::string&, int, const SpoolOptions&)>;

const Rewriter kRewriters[] = {
    {"Hpgl", [](const std::string& s, int n, const SpoolOptions& o) { RewriteHpglFile(s, n, o); }},
    {"PostScript", WritePostScriptHeader},
    {"Oce", WriteOceHeader}};

// Each rewriter with three copies and every option that alters the file switched on.
struct RewriterFailureTest : public RewriterTest, public ::testing::WithParamInterface<Rewriter> {
    RewriterFailureTest()
        : sample(ReadFile(test::SamplesDir() / "hp2xx/win_1.hp")), source(Source(sample)) {
        options.smartReplots = options.removeQL = options.psCollate = options.fitToPage = true;
    }

    void Run(const std::string& from) { GetParam().second(from, 3, options); }
    std::string Message(const std::string& f) {
        return test::SpoolErrorText([&] { Run(f); });
    }

    const std::string sample, source;
    const bool isHpgl = std::string(GetParam().first) == "Hpgl";
};

TEST_P(RewriterFailureTest, BadSourcesFoldersWritesAndPlantedFilesAreNamedAndHarmNothing) {
    WriteBytes(tempFile, "earlier run");
    const std::string missing = (sourceDir / "gone.plt").string();
    EXPECT_EQ(Message(missing), isHpgl ? "File not found" : "Cannot open file " + missing);
    // HP-GL/2 opens the source first; the others have written their header, and leave it so.
    const std::string left = ReadFile(tempFile);
    EXPECT_TRUE(isHpgl ? left == "earlier run" : left.ends_with("\r\n")) << left;
    EXPECT_FALSE(fs::exists(missing));

    // The source, the temporary folder, the largest file allowed, the messages of HP-GL/2 and of
    // the others. Not even root creates files in /sys; "/" at a folder's end gets no second one.
    // A limit of 10 stops the header before the missing source is noticed.
    const std::string tmp = tempDir.string(), removed = tmp + "/removed", src = sourceDir;
    const rlim_t none = RLIM_INFINITY;
    const std::tuple<std::string, std::string, rlim_t, std::string, std::string> rows[] = {
        {src, tmp, none, "File access denied", "Cannot open file " + src},
        {"/proc/self/mem", tmp, none, "I/O error 5", "Stream read error"},  // EIO at its first byte
        {source, removed, none, "File not found", "Cannot create file " + removed + "/temp.$$$"},
        {source, "/sys/", none, "File access denied", "Cannot create file /sys/temp.$$$"},
        {source, source, none, "I/O error 20", "Cannot create file " + source + "/temp.$$$"},
        {missing, tmp, 10, "File not found", "Stream write error"},
        {source, tmp, 1000, "I/O error 27", "Stream write error"},
    };
    for (const auto& [from, into, limit, hpgl, others] : rows) {
        SCOPED_TRACE(from + " into " + into);
        options.tempFilesPath = into;
        EXPECT_EQ(WithFileSizeLimit(limit, [&] { return Message(from); }), isHpgl ? hpgl : others);
        EXPECT_LE(fs::file_size(tempFile), limit);
        EXPECT_TRUE(ReadFile(source) == sample);
    }
    EXPECT_FALSE(fs::exists(removed));
    options.tempFilesPath = tmp;

    // One left from an earlier run, readable by others: made owner-only, and cut.
    WriteBytes(tempFile, std::string(10000, 'z'));
    fs::permissions(tempFile, fs::perms(0644));
    Run(source);
    EXPECT_EQ(fs::status(tempFile).permissions(), fs::perms(0600));
    EXPECT_LT(fs::file_size(tempFile), 10000u);
    fs::remove(tempFile);

    const std::string refusal = "Cannot create file " + tempFile.string();
    const fs::path victim = sourceDir / "drawing.plt", target = sourceDir / "made-through-link";
    WriteBytes(victim, "the user's own drawing");
    fs::permissions(victim, fs::perms(0644));
    const std::function<void()> plants[] = {
        [&] { fs::create_symlink(victim, tempFile); },
        [&] { fs::create_symlink(target, tempFile); },
        [&] { fs::create_hard_link(victim, tempFile); },
        [&] { ASSERT_EQ(::mkfifo(tempFile.c_str(), 0600), 0); },  // refused without waiting
    };
    for (const auto& plant : plants) {
        plant();
        const fs::file_type planted = fs::symlink_status(tempFile).type();
        EXPECT_EQ(Message(source), refusal);
        EXPECT_EQ(fs::symlink_status(tempFile).type(), planted);
        fs::remove(tempFile);
    }
    EXPECT_EQ(ReadFile(victim), "the user's own drawing");
    EXPECT_EQ(fs::status(victim).permissions(), fs::perms(0644));
    EXPECT_FALSE(fs::exists(target));
    // A source that is the temporary file itself is not emptied.
    WriteBytes(tempFile, sample);
    EXPECT_EQ(Message(tempFile.string()), refusal);
    EXPECT_TRUE(ReadFile(tempFile) == sample);
}

INSTANTIATE_TEST_SUITE_P(Rewriters, RewriterFailureTest, ::testing::ValuesIn(kRewriters),
                         [](const auto& info) { return std::string(info.param.first); });

using Case = test::HpglRewriteCase;

struct CaseMaker {
    explicit CaseMaker(unsigned seed) : random_(seed) {}

    // A braced list is evaluated in order: the same cases on every run.
    Case Make() {
        const auto size = static_cast<std::size_t>(PickSize());
        Case c{Content(size),      Between(-2, 130),    Between(0, 4) != 0,
               Between(0, 4) != 0, PickFromStart(size), PickFromEnd(size)};
        // Now and then wrapped as drivers write it: padding, a PJL header, an HP-GL/2 escape.
        if (Between(0, 3) == 0) {
            const char* const kEnter[] = {"", "\x1b%-1B", "\x1b%0B", "\x1b%1BQL1;"};
            c.bytes = std::string(static_cast<std::size_t>(Between(0, 5000)), '\0') +
                      "\x1b%-12345X@PJL JOB\r\n@PJL ENTER LANGUAGE=HPGL2\r\n" +
                      kEnter[Between(0, 3)] + c.bytes;
            c.dataStart = static_cast<long long>(DetectPrintLanguage(c.bytes).hpglStart);
        }
        return c;
    }

private:
    int Between(int low, int high) { return std::uniform_int_distribution(low, high)(random_); }

    // Many blocks now and then, mostly close to a block boundary.
    int PickSize() {
        const int kind = Between(0, 9);
        return kind == 0   ? Between(0, 12)
               : kind == 1 ? Between(100'000, 400'000)
               : kind <= 3 ? Between(0, 9000)
                           : std::max(0, 2048 * Between(1, 4) + Between(-6, 6));
    }
    int PickFromStart(std::size_t size) {
        const int kind = Between(0, 5);
        return kind == 0   ? Between(-2, 8)
               : kind == 1 ? 2048 * Between(1, 3) + Between(-5, 5)
               : kind == 2 ? static_cast<int>(size) + Between(-5, 5)
                           : Between(1, 800);
    }
    int PickFromEnd(std::size_t size) {
        const int kind = Between(0, 5);
        return kind == 0   ? Between(-2, 6)
               : kind == 1 ? static_cast<int>(size % 2048) + Between(-5, 5)
               : kind == 2 ? Between(1, 5000)
                           : Between(1, 50);
    }

    std::string Content(std::size_t size) {
        static const char* const kPieces[] = {"QL",  "PG;",    "PG",  "QL;", "Q", "L",
                                              "P",   "G",      ";",   "0",   "7", "42",
                                              "QL1", "PG;PG;", "IN;", "x"};
        const bool sparse = size > 20'000;
        std::string bytes;
        while (bytes.size() < size) {
            if (sparse && Between(0, 50) != 0)
                bytes.append(static_cast<std::size_t>(Between(1, 400)), 'x');
            else if (Between(0, 5) == 0)
                bytes += static_cast<char>(Between(0, 255));
            else
                bytes += kPieces[Between(0, std::size(kPieces) - 1)];
        }
        bytes.resize(size);
        // Instructions laid over block boundaries and at the very end.
        const char* const kEdgePieces[] = {"QL", "PG;", "QL99999"};
        for (std::size_t boundary = 2048; boundary < size + 3; boundary += 2048) {
            if (Between(0, 2) == 0) {
                const std::string piece = kEdgePieces[Between(0, 2)];
                const std::size_t at = boundary - static_cast<std::size_t>(Between(1, 4));
                if (at + piece.size() <= size)
                    bytes.replace(at, piece.size(), piece);
            }
        }
        if (size >= 3 && Between(0, 3) == 0)
            bytes.replace(size - 3, 3, "PG;");
        return bytes;
    }

    std::mt19937 random_;
};

TEST_F(HpglRewriteTest, StreamingRewriteMatchesTheInMemoryRewriteOnMadeUpFiles) {
    constexpr int kCases = 4000;
    CaseMaker maker(20261206);
    int placements = 0, blanked = 0;
    for (int n = 0; n < kCases; ++n) {
        const Case c = maker.Make();
        options.removeQL = c.removeQL;
        options.smartReplots = c.smartReplots;
        const std::string actual = Rewrite(Source(c.bytes), c.replotCount, c.fromStart, c.fromEnd);
        const test::HpglRewriteExpected expected = test::RewriteInMemory(c);
        ASSERT_EQ(placed, expected.replotPlaced) << "case " << n;
        ASSERT_TRUE(actual == expected.bytes)
            << "case " << n << ": size " << c.bytes.size() << ", FromStart " << c.fromStart
            << ", FromEnd " << c.fromEnd << ", count " << c.replotCount << ", QL " << c.removeQL
            << ", replots " << c.smartReplots;
        placements += placed ? 1 : 0;
        blanked += expected.bytes.size() == c.bytes.size() && expected.bytes != c.bytes ? 1 : 0;
    }
    // The inputs must reach both edits often, or the comparison proves little.
    EXPECT_GT(placements, kCases / 10);
    EXPECT_GT(blanked, kCases / 10);
}

}  // namespace
}  // namespace tavrin::rewrite_test
