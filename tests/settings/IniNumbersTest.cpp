#include <gtest/gtest.h>

#include "settings/IniNumbers.h"

namespace tavrin {
namespace {

TEST(IniNumbers, Decimal) {
    EXPECT_EQ(IniTextToInt("12", 0), 12);
    EXPECT_EQ(IniTextToInt("-1", 0), -1);
    EXPECT_EQ(IniTextToInt("+7", 0), 7);
    EXPECT_EQ(IniTextToInt("2147483647", 0), 2147483647);
    EXPECT_EQ(IniTextToInt("-2147483648", 0), -2147483647 - 1);
}

TEST(IniNumbers, HexadecimalNeedsMoreThanTwoCharacters) {
    EXPECT_EQ(IniTextToInt("0x0A", 12), 10);
    EXPECT_EQ(IniTextToInt("0X1f", 12), 31);
    EXPECT_EQ(IniTextToInt("0x7FFFFFFF", 12), 2147483647);
    EXPECT_EQ(IniTextToInt("0xFFFFFFFF", 12), -1);
    EXPECT_EQ(IniTextToInt("0x", 12), 12);
    EXPECT_EQ(IniTextToInt("0", 12), 0);
    EXPECT_EQ(IniTextToInt("012", 0), 12);
}

TEST(IniNumbers, AnythingElseGivesTheDefault) {
    for (const char* text : {"ten", "", " ", "12a", "1 2", "0x1G", "0x100000000", "-0x5", "+-3",
                             "--3", "2147483648", "-2147483649", "1e3", "1.5", "$1F"}) {
        EXPECT_EQ(IniTextToInt(text, 12), 12) << '"' << text << '"';
    }
}

TEST(IniNumbers, BooleansAreNonZeroNumbersWithTheirOwnDefault) {
    EXPECT_TRUE(IniTextToBool("1", false));
    EXPECT_TRUE(IniTextToBool("2", false));
    EXPECT_TRUE(IniTextToBool("0x10", false));
    EXPECT_FALSE(IniTextToBool("0", true));
    EXPECT_TRUE(IniTextToBool("yes", true));
    EXPECT_FALSE(IniTextToBool("yes", false));
    EXPECT_EQ(IniBoolText(true), "1");
    EXPECT_EQ(IniBoolText(false), "0");
    EXPECT_EQ(IniIntText(-1), "-1");
}

}  // namespace
}  // namespace tavrin
