#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "joblist/JobListLines.h"

namespace tavrin {
namespace {

using Lines = std::vector<std::string>;

std::vector<std::string> Tokens(const std::string& line) {
    std::vector<std::string> fields{"left", "over"};
    TokenizeGridString(line, ';', fields);
    return fields;
}

TEST(TokenizeGridString, SplitsAtEverySeparatorAndKeepsEmptyFieldsAndBlanks) {
    EXPECT_EQ(Tokens("a;b;c"), (Lines{"a", "b", "c"}));
    EXPECT_EQ(Tokens("/plots/sheet 1.plt;3"), (Lines{"/plots/sheet 1.plt", "3"}));
    EXPECT_EQ(Tokens(" a ; b "), (Lines{" a ", " b "}));
    EXPECT_EQ(Tokens(";"), (Lines{"", ""}));
    EXPECT_EQ(Tokens(";;x;"), (Lines{"", "", "x", ""}));
    EXPECT_EQ(Tokens("a;;"), (Lines{"a", "", ""}));
}

TEST(TokenizeGridString, EmptyLineIsOneEmptyFieldAndOldFieldsAreDropped) {
    EXPECT_EQ(Tokens(""), (Lines{""}));
    EXPECT_EQ(Tokens("single"), (Lines{"single"}));
}

TEST(TokenizeGridString, HonoursTheGivenSeparatorOnly) {
    std::vector<std::string> fields;
    TokenizeGridString("a;b,c", ',', fields);
    EXPECT_EQ(fields, (Lines{"a;b", "c"}));
}

TEST(JobListLines, CrLfCrAndLfEachEndALine) {
    const Lines expected{";", "/a.plt;1", "/b.plt;3"};
    EXPECT_EQ(SplitJobListText(";\r\n/a.plt;1\r\n/b.plt;3\r\n"), expected);
    EXPECT_EQ(SplitJobListText(";\n/a.plt;1\n/b.plt;3\n"), expected);
    EXPECT_EQ(SplitJobListText(";\r/a.plt;1\r/b.plt;3\r"), expected);
    EXPECT_EQ(SplitJobListText(";\r/a.plt;1\n/b.plt;3\r\n"), expected);
}

TEST(JobListLines, LastLineWithoutEndMarkIsALine) {
    EXPECT_EQ(SplitJobListText("a\r\nb"), (Lines{"a", "b"}));
    EXPECT_EQ(SplitJobListText("only"), (Lines{"only"}));
}

TEST(JobListLines, EmptyLinesCountAndEmptyTextHasNone) {
    EXPECT_EQ(SplitJobListText(""), Lines{});
    EXPECT_EQ(SplitJobListText("\r\n"), (Lines{""}));
    EXPECT_EQ(SplitJobListText("\r"), (Lines{""}));
    EXPECT_EQ(SplitJobListText("\n\n"), (Lines{"", ""}));
    // LF CR is two line ends, CR LF only one.
    EXPECT_EQ(SplitJobListText("a\n\rb"), (Lines{"a", "", "b"}));
    EXPECT_EQ(SplitJobListText("a\r\r\nb"), (Lines{"a", "", "b"}));
}

TEST(JobListLines, NulByteEndsTheText) {
    EXPECT_EQ(SplitJobListText(std::string("a;1\r\nb;2\0c;3\r\n", 14)), (Lines{"a;1", "b;2"}));
    EXPECT_EQ(SplitJobListText(std::string("a;1\r\n\0b;2\r\n", 11)), (Lines{"a;1"}));
    EXPECT_EQ(SplitJobListText(std::string("\0a;1\r\n", 6)), Lines{});
    EXPECT_EQ(SplitJobListText(std::string("a\r\0\nb", 5)), (Lines{"a"}));
}

TEST(JobListLines, CrLfSplitAcrossTwoPiecesIsOneLineEnd) {
    JobListLineSplitter splitter;
    EXPECT_TRUE(splitter.Feed("a;1\r"));
    EXPECT_TRUE(splitter.Feed("\nb;2\r"));
    EXPECT_TRUE(splitter.Feed("\n"));
    EXPECT_EQ(splitter.Finish(), (Lines{"a;1", "b;2"}));
}

TEST(JobListLines, LineSplitAcrossPiecesIsJoined) {
    JobListLineSplitter splitter;
    splitter.Feed("/plots/ver");
    splitter.Feed("y long name.plt;");
    splitter.Feed("2");
    EXPECT_EQ(splitter.Finish(), (Lines{"/plots/very long name.plt;2"}));
}

TEST(JobListLines, PiecesAfterNulAreIgnored) {
    JobListLineSplitter splitter;
    EXPECT_TRUE(splitter.Feed("a"));
    EXPECT_FALSE(splitter.Feed(std::string("b\0c", 3)));
    EXPECT_TRUE(splitter.ended());
    EXPECT_FALSE(splitter.Feed("d\r\ne\r\n"));
    EXPECT_EQ(splitter.Finish(), (Lines{"ab"}));
}

}  // namespace
}  // namespace tavrin
