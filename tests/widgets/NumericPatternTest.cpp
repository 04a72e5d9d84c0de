#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "widgets/NumericPattern.h"

namespace tavrin {
namespace {

const NumberSeparators kEnglish{".", ","};
const NumberSeparators kGerman{",", "."};

struct PatternCase {
    const char* pattern;
    double value;
    const char* expected;
};

void PrintTo(const PatternCase& c, std::ostream* os) {
    *os << '"' << c.pattern << "\" with " << c.value;
}

class FormatFloatTable : public ::testing::TestWithParam<PatternCase> {};

TEST_P(FormatFloatTable, GivesTheTextWorkedOutByHand) {
    const PatternCase& c = GetParam();
    EXPECT_EQ(FormatFloat(c.pattern, c.value, kEnglish), c.expected);
}

// "0" gives a minimum digit count, not a maximum; the sign stays in front.
INSTANTIATE_TEST_SUITE_P(TwoDigitPattern, FormatFloatTable,
                         ::testing::Values(PatternCase{"00", 12, "12"}, PatternCase{"00", 7, "07"},
                                           PatternCase{"00", 0, "00"},
                                           PatternCase{"00", 123, "123"},
                                           PatternCase{"00", -3, "-03"}));

INSTANTIATE_TEST_SUITE_P(
    Placeholders, FormatFloatTable,
    ::testing::Values(PatternCase{"#", 0, ""}, PatternCase{"#", 5, "5"},
                      PatternCase{"0.##", 1, "1"}, PatternCase{"0.##", 1.5, "1.5"},
                      PatternCase{"0.0#", 1.5, "1.5"}, PatternCase{"0.#0", 1.5, "1.50"},
                      PatternCase{"0.00", 0.5, "0.50"}, PatternCase{".00", 12.5, "12.50"},
                      PatternCase{".00", 0.25, ".25"}, PatternCase{"0.0.0", 1.25, "1.25"}));

// A half rounds away from zero, on the digits the user typed (1.005 and 2.675 are stored a hair
// below the half as doubles).
INSTANTIATE_TEST_SUITE_P(Rounding, FormatFloatTable,
                         ::testing::Values(PatternCase{"0", 2.5, "3"}, PatternCase{"0", -2.5, "-3"},
                                           PatternCase{"0", 0.4, "0"},
                                           PatternCase{"0.##", 1.005, "1.01"},
                                           PatternCase{"0.00", 2.675, "2.68"},
                                           PatternCase{"0.00", 0.005, "0.01"},
                                           PatternCase{"0", 9.5, "10"}, PatternCase{"0", -0.4, "0"},
                                           PatternCase{"0.00", 99.999, "100.00"}));

INSTANTIATE_TEST_SUITE_P(
    Thousands, FormatFloatTable,
    ::testing::Values(PatternCase{"#,##0.00", 1234567.891, "1,234,567.89"},
                      PatternCase{"#,##0.00", 0.5, "0.50"},
                      PatternCase{"#,##0.00", -1234.5, "-1,234.50"},
                      PatternCase{"#,##0.00", 999.999, "1,000.00"},
                      PatternCase{"#,##0", 999, "999"}, PatternCase{"#,##0", 1000, "1,000"},
                      PatternCase{"#,##0", 0, "0"}, PatternCase{"#,##0", -1000000, "-1,000,000"},
                      PatternCase{"0,000", 5, "0,005"}, PatternCase{"0,", 1234, "1,234"}));

INSTANTIATE_TEST_SUITE_P(Exponents, FormatFloatTable,
                         ::testing::Values(PatternCase{"0.00E+00", 1234.5, "1.23E+03"},
                                           PatternCase{"0.00E+00", 0.000123, "1.23E-04"},
                                           PatternCase{"0.00E+00", 0, "0.00E+00"},
                                           PatternCase{"0.00E+00", 9.999, "1.00E+01"},
                                           PatternCase{"0.00E+00", -1234.5, "-1.23E+03"},
                                           PatternCase{"0.0e-0", 1234.5, "1.2e3"},
                                           PatternCase{"0.0e-0", 0.05, "5.0e-2"},
                                           PatternCase{"00.0E+00", 1234.5, "12.3E+02"},
                                           PatternCase{"0E+0000000", 5, "5E+0000"},
                                           PatternCase{"0E", 5, "5E"},
                                           PatternCase{"0e+", 5, "5e+"}));

INSTANTIATE_TEST_SUITE_P(
    QuotedAndLiteralText, FormatFloatTable,
    ::testing::Values(PatternCase{"'Hour: '00", 7, "Hour: 07"}, PatternCase{"\"#\"0", 5, "#5"},
                      PatternCase{"0' h'", 5, "5 h"}, PatternCase{"0 kg", 5, "5 kg"},
                      PatternCase{"'a;b'0", 5, "a;b5"}, PatternCase{"$#,##0", -1500, "-$1,500"},
                      PatternCase{"'0.#,'0", 3, "0.#,3"}, PatternCase{"'open", 3, "open"}));

INSTANTIATE_TEST_SUITE_P(
    Sections, FormatFloatTable,
    ::testing::Values(PatternCase{"0.00;(0.00);'zero'", 5, "5.00"},
                      PatternCase{"0.00;(0.00);'zero'", -5, "(5.00)"},
                      PatternCase{"0.00;(0.00);'zero'", 0, "zero"},
                      // rounds to nothing with the positive section, so it is a zero
                      PatternCase{"0.00;(0.00);'zero'", 0.001, "zero"},
                      PatternCase{"0.00;(0.00);'zero'", -0.001, "zero"},
                      PatternCase{"0;;'zero'", -5, "-5"}, PatternCase{"0;(0)", 0, "0"},
                      PatternCase{"0;(0)", -7, "(7)"}, PatternCase{";(0)", 5, "5"},
                      PatternCase{";(0)", -5, "(5)"}, PatternCase{"0;0;0;0", -5, "5"}));

INSTANTIATE_TEST_SUITE_P(
    GeneralForm, FormatFloatTable,
    ::testing::Values(PatternCase{"", 1234.5, "1234.5"}, PatternCase{"", 0, "0"},
                      PatternCase{"", -2.5, "-2.5"}, PatternCase{"", 1.0 / 3, "0.333333333333333"},
                      PatternCase{"", 0.00001, "0.00001"}, PatternCase{"", 0.000001, "1E-6"},
                      PatternCase{"", 123456789012345, "123456789012345"},
                      PatternCase{"", 1e15, "1E15"},
                      PatternCase{"", 1234567890123456, "1.23456789012346E15"},
                      PatternCase{"", -1.5e-7, "-1.5E-7"}, PatternCase{"", 100, "100"}));

TEST(FormatFloat, UsesTheSeparatorsItIsGiven) {
    EXPECT_EQ(FormatFloat("#,##0.00", 1234567.891, kGerman), "1.234.567,89");
    EXPECT_EQ(FormatFloat("", 2.5, kGerman), "2,5");
    EXPECT_EQ(FormatFloat("0.0E+00", 1234.5, kGerman), "1,2E+03");
    const NumberSeparators narrowSpace{",", "\xE2\x80\xAF"};
    EXPECT_EQ(FormatFloat("#,##0", 1234567, narrowSpace),
              "1\xE2\x80\xAF"
              "234\xE2\x80\xAF"
              "567");
}

TEST(FormatFloat, ShowsValuesThatAreNoNumbers) {
    EXPECT_EQ(FormatFloat("00", std::nan(""), kEnglish), "NAN");
    EXPECT_EQ(FormatFloat("00", -INFINITY, kEnglish), "-INF");
}

TEST(TextToFloat, ReadsDecimalNumbersWithBlanksSignsAndExponents) {
    EXPECT_EQ(TextToFloat(" 12.5 ", "."), 12.5);
    EXPECT_EQ(TextToFloat("-3", "."), -3);
    EXPECT_EQ(TextToFloat("+4", "."), 4);
    EXPECT_EQ(TextToFloat("1e3", "."), 1000);
    EXPECT_EQ(TextToFloat("1.5E-2", "."), 0.015);
    EXPECT_EQ(TextToFloat(".5", "."), 0.5);
    EXPECT_EQ(TextToFloat("5.", "."), 5);
    EXPECT_EQ(TextToFloat("007", "."), 7);
    EXPECT_EQ(TextToFloat("1,5", ","), 1.5);
    EXPECT_EQ(TextToFloat("1e-400", "."), 0);
}

TEST(TextToFloat, RefusesEverythingElse) {
    for (const char* text : {"", "   ", "abc", "1.2.3", "1e", "1e+", "--1", "1 2", "0x10", "inf",
                             "nan", "1e400", "1,5", "-", ".", "12a", "\xD9\xA3"}) {
        EXPECT_FALSE(TextToFloat(text, ".").has_value()) << text;
    }
}

TEST(RemoveAll, DropsEveryOccurrence) {
    EXPECT_EQ(RemoveAll("1,234,567", ","), "1234567");
    EXPECT_EQ(RemoveAll("1 2", ","), "1 2");
    EXPECT_EQ(RemoveAll("1\xE2\x80\xAF"
                        "234",
                        "\xE2\x80\xAF"),
              "1234");
    EXPECT_EQ(RemoveAll("abc", ""), "abc");
}

}  // namespace
}  // namespace tavrin
