#include "spool/OceHeader.h"

#include <string>

#include "RewriterTestSupport.h"

namespace tavrin::rewrite_test {
namespace {

const std::string kBegin = "BEGMF \"Oce RCF by Dorwen\";\r\n";
const std::string kDescription = "MFDESC 'Oce RCF, Version=2.5, Type=Header, Unit=Metric';\r\n";
const std::string kEnd = "ENDMF;\r\n";

class OceHeaderTest : public RewriterTest {
protected:
    OceHeaderTest() { options.smartReplots = true; }

    std::string Written(const std::string& source, int copyCount) {
        WriteOceHeader(Source(source, "plot.hpg"), copyCount, options);
        return TempBytes();
    }
};

TEST_F(OceHeaderTest, RecordLinesHaveTheirLengths) {
    EXPECT_EQ(kBegin.size(), 28u);
    EXPECT_EQ(kDescription.size(), 58u);
    EXPECT_EQ(kEnd.size(), 8u);
}

TEST_F(OceHeaderTest, OneDigitCountGivesA116ByteRecord) {
    const std::string source = "IN;PA0,0;PG;";

    const std::string result = Written(source, 3);

    EXPECT_EQ(result, kBegin + kDescription + "APPLDATA 002 \"CO=3\";\r\n" + kEnd + source);
    EXPECT_EQ(result.size() - source.size(), 116u);
}

TEST_F(OceHeaderTest, TwoDigitCountGivesA117ByteRecord) {
    const std::string source = "IN;PA0,0;PG;";

    const std::string result = Written(source, 12);

    EXPECT_EQ(result, kBegin + kDescription + "APPLDATA 002 \"CO=12\";\r\n" + kEnd + source);
    EXPECT_EQ(result.size() - source.size(), 117u);
}

TEST_F(OceHeaderTest, NoRecordBelowTwoCopiesOrWithoutCopiesByPlotter) {
    const std::string sample = ReadBytes(SamplePath("hp2xx/dt.plt"));
    for (const int count : {1, 0, -2}) {
        SCOPED_TRACE(count);
        EXPECT_EQ(Written(sample, count), sample);
    }
    options.smartReplots = false;
    EXPECT_EQ(Written(sample, 7), sample);
}

TEST_F(OceHeaderTest, RecordGoesBeforeEveryFileUnchanged) {
    const std::string record = kBegin + kDescription + "APPLDATA 002 \"CO=4\";\r\n" + kEnd;
    for (const fs::path& sample : SampleFiles()) {
        SCOPED_TRACE(sample.string());
        const std::string bytes = ReadBytes(sample);
        WriteOceHeader(sample.string(), 4, options);
        const std::string result = TempBytes();
        EXPECT_EQ(result.size(), bytes.size() + 116);
        EXPECT_TRUE(result == record + bytes);
    }
}

}  // namespace
}  // namespace tavrin::rewrite_test
