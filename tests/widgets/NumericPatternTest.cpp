#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "widgets/NumericPattern.h"

namespace tavrin {
namespace {

const NumberSeparators kEnglish{".", ","};
const NumberSeparators kGerman{",", "."};
const char* const kNarrowSpace = "\u202F";

TEST(FormatFloat, GivesTheTextWorkedOutByHand) {
    const struct {
        const char* pattern;
        std::vector<double> values;
        const char* texts;  // joined by '|'
        NumberSeparators separators = kEnglish;
    } rows[] = {
        // "0" gives a minimum digit count, not a maximum; the sign stays in front.
        {"00", {12, 7, 0, 123, -3, NAN, -INFINITY}, "12|07|00|123|-03|NAN|-INF"},
        {"#", {0, 5}, "|5"},
        {"0.0#", {1.5}, "1.5"},
        {"0.#0", {1.5}, "1.50"},
        {".00", {12.5, 0.25}, "12.50|.25"},
        {"0.0.0", {1.25}, "1.25"},
        // A half rounds away from zero, on the digits the user typed (1.005 and 2.675 are stored a
        // hair below the half as doubles).
        {"0", {2.5, -2.5, 0.4, 9.5, -0.4}, "3|-3|0|10|0"},
        {"0.##", {1, 1.5, 1.005}, "1|1.5|1.01"},
        {"0.00", {0.5, 2.675, 0.005, 99.999}, "0.50|2.68|0.01|100.00"},
        {"#,##0.00", {1234567.891, 0.5, -1234.5, 999.999}, "1,234,567.89|0.50|-1,234.50|1,000.00"},
        {"#,##0.00", {1234567.891}, "1.234.567,89", kGerman},
        {"#,##0", {999, 1000, 0, -1000000}, "999|1,000|0|-1,000,000"},
        {"#,##0", {1234567}, "1\u202F234\u202F567", {",", kNarrowSpace}},
        {"0,000", {5}, "0,005"},
        {"0,", {1234}, "1,234"},
        {"0.00E+00", {1234.5, 0.000123, 0}, "1.23E+03|1.23E-04|0.00E+00"},
        {"0.00E+00", {9.999, -1234.5}, "1.00E+01|-1.23E+03"},
        {"0.0E+00", {1234.5}, "1,2E+03", kGerman},
        {"0.0e-0", {1234.5, 0.05}, "1.2e3|5.0e-2"},
        {"00.0E+00", {1234.5}, "12.3E+02"},
        {"0E+0000000", {5}, "5E+0000"},
        {"0E", {5}, "5E"},
        {"0e+", {5}, "5e+"},
        {"'Hour: '00", {7}, "Hour: 07"},
        {"\"#\"0", {5}, "#5"},
        {"0' h'", {5}, "5 h"},
        {"0 kg", {5}, "5 kg"},
        {"'a;b'0", {5}, "a;b5"},
        {"$#,##0", {-1500}, "-$1,500"},
        {"'0.#,'0", {3}, "0.#,3"},
        {"'open", {3}, "open"},
        // Sections; 0.001 rounds to nothing with the positive section, so it is a zero.
        {"0.00;(0.00);'zero'", {5, -5, 0, 0.001, -0.001}, "5.00|(5.00)|zero|zero|zero"},
        {"0;;'zero'", {-5}, "-5"},
        {"0;(0)", {0, -7}, "0|(7)"},
        {";(0)", {5, -5}, "5|(5)"},
        {"0;0;0;0", {-5}, "5"},
        // The general form
        {"", {1234.5, 0, -2.5, 1.0 / 3}, "1234.5|0|-2.5|0.333333333333333"},
        {"", {0.00001, 0.000001, -1.5e-7, 100}, "0.00001|1E-6|-1.5E-7|100"},
        {"", {123456789012345, 1e15, 1234567890123456}, "123456789012345|1E15|1.23456789012346E15"},
        {"", {2.5}, "2,5", kGerman},
    };
    for (const auto& row : rows) {
        std::string texts;
        for (size_t i = 0; i < row.values.size(); ++i)
            texts += (i ? "|" : "") + FormatFloat(row.pattern, row.values[i], row.separators);
        EXPECT_EQ(texts, row.texts) << '"' << row.pattern << '"';
    }
}

TEST(TextToFloat, ReadsDecimalNumbersWithBlanksSignsAndExponentsAndRefusesEverythingElse) {
    const struct {
        const char* text;
        const char* separator;
        std::optional<double> expected;
    } rows[] = {
        {" 12.5 ", ".", 12.5},  {"-3", ".", -3},    {"+4", ".", 4},       {"1e3", ".", 1000},
        {"1.5E-2", ".", 0.015}, {".5", ".", 0.5},   {"5.", ".", 5},       {"007", ".", 7},
        {"1,5", ",", 1.5},      {"1e-400", ".", 0}, {"", ".", {}},        {"   ", ".", {}},
        {"abc", ".", {}},       {"1.2.3", ".", {}}, {"1e", ".", {}},      {"1e+", ".", {}},
        {"--1", ".", {}},       {"1 2", ".", {}},   {"0x10", ".", {}},    {"inf", ".", {}},
        {"nan", ".", {}},       {"1e400", ".", {}}, {"1,5", ".", {}},     {"-", ".", {}},
        {".", ".", {}},         {"12a", ".", {}},   {"\xD9\xA3", ".", {}}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(TextToFloat(row.text, row.separator), row.expected);
    }
}

TEST(RemoveAll, DropsEveryOccurrence) {
    EXPECT_EQ(RemoveAll("1,234,567", ","), "1234567");
    EXPECT_EQ(RemoveAll("1 2", ","), "1 2");
    EXPECT_EQ(RemoveAll("1\u202F234", kNarrowSpace), "1234");
    EXPECT_EQ(RemoveAll("abc", ""), "abc");
}

}  // namespace
}  // namespace tavrin
