// SPDX-License-Identifier: GPL-3.0-or-later
// The three rewriters: the HP-GL/2 replot and quality edits, the PostScript and Oce headers, and
// what they do with sources and temporary files they cannot use.
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <functional>
#include <string>
#include <tuple>

#include "RewriterTestSupport.h"
#include "spool/HpglRewrite.h"
#include "spool/OceHeader.h"
#include "spool/PostScriptHeader.h"
#include "spool/TempFile.h"
#include "support/HpglRewriteReference.h"
#include "support/SpoolErrorText.h"

namespace tavrin::rewrite_test {
namespace {

const std::string kReset = "\033E";  // ESC E, the printer reset
const std::string kUel = "\x1b%-12345X";

// `length` bytes of filler that hold no instruction letter, digit or semicolon.
std::string X(std::size_t length) {
    return std::string(length, 'x');
}

class HpglRewriteTest : public RewriterTest {
protected:
    // Rewrites the file at `source` over junk in the temporary file and returns what that holds.
    std::string Rewrite(const std::string& source, int count, int fromStart = 600,
                        int fromEnd = 30) {
        options.fromStart = fromStart;
        options.fromEnd = fromEnd;
        WriteBytes(tempFile(), std::string(5000, 'z'));
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
        int fromStart = 600;
        int fromEnd = 30;
        bool quality = true;  // "Quality on plotter"
        bool replots = true;  // "Copies by plotter"
    };
    const std::string pg = "IN;PA0,0;PG;";
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
        {"NoQualityBox", "IN;QL100;QL;EQLX;PG;", 1, "IN;QL100;QL;EQLX;PG;RP1;;", true, 600, 30,
         false},
        // Blanked when the "Q" lies more than 3 bytes before FromStart.
        {"LastBlanked", X(596) + "QL5;" + X(9), 0, X(596) + ";;;;" + X(9), false},
        {"FirstKept", X(597) + "QL5;" + X(9), 0, X(597) + "QL5;" + X(9), false},
        {"DecimalPoint", "IN;QL50.5;SP1;", 0, "IN;;;;;.5;SP1;", false},
        {"NoDigits", "IN;QL;SP1;", 0, "IN;;;;SP1;", false},
        {"InsideALabel", "LBEQLX\x03", 0, "LBE;;X\x03", false},
        {"TwoInARow", "QL100QL0;", 0, ";;;;;;;;;", false},
        {"LowerCaseAndSign", "ql5;QL-5;", 0, "ql5;;;-5;", false},
        // Instructions are not found across a block boundary; digits stop at one.
        {"QualityAcrossBlocks", X(2047) + "QL5;", 0, X(2047) + "QL5;", false, 3000, 50, true,
         false},
        {"QualityAtABlockStart", X(2048) + "QL5;", 0, X(2048) + ";;;;", false, 2052, 30, true,
         false},
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

TEST_F(HpglRewriteTest, DriverOutputGetsItsReplotBeforeTheJobTrailerAndItsDeepQualityBlanked) {
    options.removeQL = options.smartReplots = true;
    const std::string sample =
        (test::SamplesDir() / "jem-green-HPGL2/XANADU-PLT-test.plt").string();
    const std::string source = ReadBytes(sample);
    const std::size_t trailer = source.size() - 18;  // "ESC%-12345X@PJL EOJ\n"
    // Its quality instruction lies far beyond the usual head window and stays.
    EXPECT_TRUE(Rewrite(sample, 2) == source.substr(0, trailer) + "RP2;;" + source.substr(trailer));
    EXPECT_TRUE(placed);

    std::string blanked = source;
    blanked.replace(132754, 3, ";;;");
    EXPECT_TRUE(Rewrite(sample, 0, 200'000) == blanked);
}

TEST_F(HpglRewriteTest, EverySampleIsRewrittenAsTheInMemoryRewriteDoes) {
    options.removeQL = options.smartReplots = true;
    const std::pair<int, int> windows[] = {{600, 30}, {500, 1}, {1 << 30, 5000}};
    for (const fs::path& sample : test::SamplePrintFiles()) {
        const std::string source = ReadBytes(sample);
        for (const auto& [fromStart, fromEnd] : windows) {
            SCOPED_TRACE(sample.string() + " " + std::to_string(fromStart));
            const auto expected =
                test::RewriteInMemory({source, 5, true, true, fromStart, fromEnd});
            EXPECT_TRUE(Rewrite(sample.string(), 5, fromStart, fromEnd) == expected.bytes);
            EXPECT_EQ(placed, expected.replotPlaced);
        }
        EXPECT_EQ(ReadBytes(sample), source);
    }
}

using HeaderRewriteTest = RewriterTest;

const std::string kCopies3 = "<< /NumCopies 3 >> setpagedevice\r\n";
const std::string kCollate = "<< /Collate true >> setpagedevice\r\n";

std::string Size(const std::string& pair) {
    return "<< /PageSize [ " + pair +
           " ] >> setpagedevice\r\n"
           "<< /Policies << /PageSize 3 >> >> setpagedevice\r\n";
}

std::string Record(const std::string& count) {
    return "BEGMF \"Oce RCF by Dorwen\";\r\n"
           "MFDESC 'Oce RCF, Version=2.5, Type=Header, Unit=Metric';\r\n"
           "APPLDATA 002 \"CO=" +
           count + "\";\r\nENDMF;\r\n";
}

TEST_F(HeaderRewriteTest, HeaderGoesBeforeTheUnchangedFileOfEverySample) {
    // The rewriter, the copies, the boxes (R "Copies by printer/plotter", C collate, F fit), the
    // paper size, and the header expected.
    const bool ps = false, oce = true;
    const std::tuple<bool, int, std::string, std::optional<PageSize>, std::string> rows[] = {
        {ps, 3, "RC", PageSize::A4, kCopies3 + kCollate},
        {ps, 3, "RF", PageSize::A3, kCopies3 + Size("841 1191")},
        {ps, 3, "RCF", PageSize::A0, kCopies3 + kCollate + Size("2384 3370")},
        {ps, 2, "R", PageSize::A4, "<< /NumCopies 2 >> setpagedevice\r\n"},
        {ps, 99, "R", PageSize::A4, "<< /NumCopies 99 >> setpagedevice\r\n"},
        {ps, 1, "RC", PageSize::A4, ""},
        {ps, -4, "RC", PageSize::A4, ""},
        {ps, 5, "C", PageSize::A4, ""},
        {ps, 0, "F", PageSize::A4, Size("595 841")},
        {ps, 1, "RF", PageSize::A5, Size("420 595")},
        {ps, 1, "F", PageSize::A2, Size("1191 1684")},
        {ps, 1, "F", PageSize::A1, Size("1684 2384")},
        {ps, 1, "F", std::nullopt, Size("")},
        {oce, 3, "R", PageSize::A4, Record("3")},
        {oce, 12, "R", PageSize::A4, Record("12")},
        {oce, 2, "R", PageSize::A4, Record("2")},
        {oce, 1, "R", PageSize::A4, ""},
        {oce, -2, "R", PageSize::A4, ""},
        {oce, 7, "", PageSize::A4, ""},
    };
    const std::string page = ReadBytes(test::SamplesDir() / "cups/testfile.ps");
    const std::string plot = ReadBytes(test::SamplesDir() / "hp2xx/dt.plt");
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

    // Every sample follows the header byte for byte.
    options.smartReplots = options.psCollate = options.fitToPage = true;
    options.pageSize = PageSize::A3;
    for (const fs::path& sample : test::SamplePrintFiles()) {
        SCOPED_TRACE(sample.string());
        const std::string bytes = ReadBytes(sample);
        WritePostScriptHeader(sample.string(), 3, options);
        EXPECT_TRUE(TempBytes() == kCopies3 + kCollate + Size("841 1191") + bytes);
        WriteOceHeader(sample.string(), 4, options);
        EXPECT_TRUE(TempBytes() == Record("4") + bytes);
        EXPECT_EQ(ReadBytes(sample), bytes);
    }
}

// Runs `run` while files of this process cannot grow beyond `bytes`: writes past it fail with
// EFBIG instead of raising SIGXFSZ.
template <class Run>
void WithFileSizeLimit(rlim_t bytes, Run run) {
    rlimit saved{};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    const sighandler_t handler = ::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved;
    limited.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &limited);
    run();
    ::setrlimit(RLIMIT_FSIZE, &saved);
    ::signal(SIGXFSZ, handler);
}

struct Rewriter {
    const char* name;
    void (*run)(const std::string& source, int copies, const SpoolOptions& options);
};

const Rewriter kRewriters[] = {
    {"Hpgl", [](const std::string& s, int n, const SpoolOptions& o) { RewriteHpglFile(s, n, o); }},
    {"PostScript", WritePostScriptHeader},
    {"Oce", WriteOceHeader}};

// Each rewriter with three copies and every option that alters the file switched on.
class RewriterFailureTest : public RewriterTest, public ::testing::WithParamInterface<Rewriter> {
protected:
    RewriterFailureTest()
        : sample(ReadBytes(test::SamplesDir() / "hp2xx/win_1.hp")), source(Source(sample)) {
        options.smartReplots = options.removeQL = options.psCollate = options.fitToPage = true;
    }

    bool isHpgl() const { return std::string(GetParam().name) == "Hpgl"; }
    void Run(const std::string& from) { GetParam().run(from, 3, options); }
    std::string Message(const std::string& from) {
        return test::SpoolErrorText([&] { Run(from); });
    }

    const std::string sample;
    const std::string source;
};

TEST_P(RewriterFailureTest, BadSourcesTemporaryFoldersAndWritesAreNamedAndHarmNothing) {
    const auto expect = [&](const std::string& from, const std::string& hpgl,
                            const std::string& others) {
        SCOPED_TRACE(from + " into " + options.tempFilesPath);
        EXPECT_EQ(Message(from), isHpgl() ? hpgl : others);
        EXPECT_TRUE(ReadBytes(source) == sample);
    };
    WriteBytes(tempFile(), "earlier run");
    const std::string missing = (sourceDir() / "gone.plt").string();
    expect(missing, "File not found", "Cannot open file " + missing);
    // HP-GL/2 opens the source first; the others have written their header, and leave it so.
    const std::string left = ReadBytes(tempFile());
    EXPECT_TRUE(isHpgl() ? left == "earlier run" : left.ends_with("\r\n")) << left;
    EXPECT_FALSE(fs::exists(missing));
    expect(sourceDir().string(), "File access denied", "Cannot open file " + sourceDir().string());
    // Opens like a plain file; reading its first bytes fails with EIO.
    expect("/proc/self/mem", "I/O error 5", "Stream read error");

    // No one may create files in /sys, not even root. A folder ending in "/" gets no second one.
    const std::string removed = (tempDir() / "removed").string();
    const std::string folders[][3] = {
        {removed, "File not found", "Cannot create file " + removed + "/temp.$$$"},
        {"/sys/", "File access denied", "Cannot create file /sys/temp.$$$"},
        {source, "I/O error 20", "Cannot create file " + source + "/temp.$$$"}};
    for (const auto& [folder, hpgl, others] : folders) {
        options.tempFilesPath = folder;
        expect(source, hpgl, others);
    }
    EXPECT_FALSE(fs::exists(tempDir() / "removed"));

    // The first limit stops the header, before a missing source is noticed; the second the copy
    // of the file after it.
    options.tempFilesPath = tempDir().string();
    const std::tuple<rlim_t, std::string, std::string> writes[] = {{10, missing, "File not found"},
                                                                   {1000, source, "I/O error 27"}};
    for (const auto& [limit, from, hpgl] : writes) {
        std::string message;
        WithFileSizeLimit(limit, [&] { message = Message(from); });
        EXPECT_EQ(message, isHpgl() ? hpgl : "Stream write error") << limit;
        EXPECT_LE(fs::file_size(tempFile()), limit);
    }
    EXPECT_TRUE(ReadBytes(source) == sample);
}

TEST_P(RewriterFailureTest, TemporaryFileIsOwnerOnlyAndWhatIsPlantedAtItsNameIsRefusedAndKept) {
    const mode_t savedMask = ::umask(0);
    Run(source);
    ::umask(savedMask);
    EXPECT_EQ(fs::status(tempFile()).permissions(), fs::perms(0600));

    // One left from an earlier run, readable by others.
    WriteBytes(tempFile(), std::string(10000, 'z'));
    fs::permissions(tempFile(), fs::perms(0644));
    Run(source);
    EXPECT_EQ(fs::status(tempFile()).permissions(), fs::perms(0600));
    EXPECT_LT(fs::file_size(tempFile()), 10000u);
    fs::remove(tempFile());

    const std::string refusal = "Cannot create file " + tempFile().string();
    const fs::path victim = sourceDir() / "drawing.plt", target = sourceDir() / "made-through-link";
    WriteBytes(victim, "the user's own drawing");
    fs::permissions(victim, fs::perms(0644));
    const std::function<void()> plants[] = {
        [&] { fs::create_symlink(victim, tempFile()); },
        [&] { fs::create_symlink(target, tempFile()); },
        [&] { fs::create_hard_link(victim, tempFile()); },
        [&] { ASSERT_EQ(::mkfifo(tempFile().c_str(), 0600), 0); },  // refused without waiting
    };
    for (const auto& plant : plants) {
        plant();
        const fs::file_type planted = fs::symlink_status(tempFile()).type();
        EXPECT_EQ(Message(source), refusal);
        EXPECT_EQ(fs::symlink_status(tempFile()).type(), planted);
        fs::remove(tempFile());
    }
    EXPECT_EQ(ReadBytes(victim), "the user's own drawing");
    EXPECT_EQ(fs::status(victim).permissions(), fs::perms(0644));
    EXPECT_FALSE(fs::exists(target));
    // A source that is the temporary file itself is not emptied.
    WriteBytes(tempFile(), sample);
    EXPECT_EQ(Message(tempFile().string()), refusal);
    EXPECT_TRUE(ReadBytes(tempFile()) == sample);
}

INSTANTIATE_TEST_SUITE_P(Rewriters, RewriterFailureTest, ::testing::ValuesIn(kRewriters),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tavrin::rewrite_test
