#include "spool/PostScriptHeader.h"

#include <string>

#include "RewriterTestSupport.h"

namespace tavrin::rewrite_test {
namespace {

const std::string kCopies3 = "<< /NumCopies 3 >> setpagedevice\r\n";
const std::string kCollate = "<< /Collate true >> setpagedevice\r\n";
const std::string kPolicy = "<< /Policies << /PageSize 3 >> >> setpagedevice\r\n";

std::string PageSizeLine(const std::string& pair) {
    return "<< /PageSize [ " + pair + " ] >> setpagedevice\r\n";
}

class PostScriptHeaderTest : public RewriterTest {
protected:
    // Writes the header in front of the real PostScript sample and returns what follows nothing
    // but the header: the header itself, after checking that the sample follows it unchanged.
    std::string HeaderWritten(int copyCount) {
        const std::string sample = ReadBytes(SamplePath("cups/testfile.ps"));
        WritePostScriptHeader(Source(sample, "testfile.ps"), copyCount, options);
        const std::string result = TempBytes();
        EXPECT_GE(result.size(), sample.size());
        const std::size_t headerLength = result.size() - sample.size();
        EXPECT_TRUE(result.compare(headerLength, std::string::npos, sample) == 0)
            << "the file does not follow the header unchanged";
        return result.substr(0, headerLength);
    }
};

TEST_F(PostScriptHeaderTest, HeadersForTheCallsOfASpoolRun) {
    struct Row {
        int copies;
        bool smartReplots;
        bool collate;
        bool fitToPage;
        PageSize size;
        std::string header;
    };
    const Row rows[] = {
        {3, true, true, false, PageSize::A4, kCopies3 + kCollate},
        {3, true, false, true, PageSize::A3, kCopies3 + PageSizeLine("841 1191") + kPolicy},
        {1, true, true, false, PageSize::A4, ""},
        {1, true, false, false, PageSize::A4, ""},
        {0, false, false, true, PageSize::A4, PageSizeLine("595 841") + kPolicy},
        {1, false, false, true, PageSize::A4, PageSizeLine("595 841") + kPolicy},
        {3, true, true, true, PageSize::A0,
         kCopies3 + kCollate + PageSizeLine("2384 3370") + kPolicy},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.header);
        options.smartReplots = row.smartReplots;
        options.psCollate = row.collate;
        options.fitToPage = row.fitToPage;
        options.pageSize = row.size;
        EXPECT_EQ(HeaderWritten(row.copies), row.header);
    }
}

TEST_F(PostScriptHeaderTest, CopiesLineNeedsCopiesByPrinterAndTwoOrMore) {
    options.smartReplots = true;
    EXPECT_EQ(HeaderWritten(2), "<< /NumCopies 2 >> setpagedevice\r\n");
    EXPECT_EQ(HeaderWritten(99), "<< /NumCopies 99 >> setpagedevice\r\n");
    EXPECT_EQ(HeaderWritten(-4), "");

    options.smartReplots = false;
    options.psCollate = true;
    EXPECT_EQ(HeaderWritten(5), "");
}

TEST_F(PostScriptHeaderTest, EachPaperSizeHasItsPair) {
    options.fitToPage = true;
    const std::pair<PageSize, std::string> sizes[] = {
        {PageSize::A5, "420 595"},   {PageSize::A4, "595 841"},   {PageSize::A3, "841 1191"},
        {PageSize::A2, "1191 1684"}, {PageSize::A1, "1684 2384"}, {PageSize::A0, "2384 3370"}};
    for (const auto& [size, pair] : sizes) {
        SCOPED_TRACE(pair);
        options.pageSize = size;
        EXPECT_EQ(HeaderWritten(1), PageSizeLine(pair) + kPolicy);
    }
    options.pageSize = std::nullopt;
    EXPECT_EQ(HeaderWritten(1), "<< /PageSize [  ] >> setpagedevice\r\n" + kPolicy);
}

TEST_F(PostScriptHeaderTest, HeaderGoesBeforeTheFirstByteOfEveryFile) {
    options.smartReplots = true;
    options.psCollate = true;
    options.fitToPage = true;
    options.pageSize = PageSize::A3;
    const std::string header = kCopies3 + kCollate + PageSizeLine("841 1191") + kPolicy;
    for (const fs::path& sample : SampleFiles()) {
        SCOPED_TRACE(sample.string());
        const std::string bytes = ReadBytes(sample);
        WritePostScriptHeader(sample.string(), 3, options);
        const std::string result = TempBytes();
        EXPECT_EQ(result.size(), bytes.size() + header.size());
        EXPECT_TRUE(result == header + bytes);
    }
}

TEST_F(PostScriptHeaderTest, JobControlPrefixStaysBehindTheHeader) {
    options.fitToPage = true;
    const std::string source = "\x1b%-12345X@PJL ENTER LANGUAGE=POSTSCRIPT\r\n%!PS\nshowpage\n";

    WritePostScriptHeader(Source(source, "pjl.ps"), 1, options);

    EXPECT_EQ(TempBytes(), PageSizeLine("595 841") + kPolicy + source);
}

TEST_F(PostScriptHeaderTest, NoHeaderGivesAPlainCopy) {
    const std::string sample = ReadBytes(SamplePath("pret/cups.ps"));

    WritePostScriptHeader(SamplePath("pret/cups.ps").string(), 3, options);

    EXPECT_TRUE(TempBytes() == sample);
}

}  // namespace
}  // namespace tavrin::rewrite_test
