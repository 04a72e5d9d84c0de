#include "widgets/DataGridStyle.h"

#include <gtest/gtest.h>

namespace tavrin {
namespace {

TEST(DataGridStyleTest, TheLocalesShortDateBecomesTheGridsDatePicture) {
    EXPECT_EQ(ShortDateFormat(QLocale(QLocale::Dutch, QLocale::Netherlands)).shortDate,
              "dd-mm-yyyy");
    EXPECT_EQ(ShortDateFormat(QLocale(QLocale::English, QLocale::UnitedStates)).shortDate,
              "m/d/yy");
    EXPECT_EQ(ShortDateFormat(QLocale(QLocale::German, QLocale::Germany)).shortDate, "dd.mm.yy");
}

TEST(DataGridStyleTest, FontsAndColoursGoBothWays) {
    QFont base("Sans", 9);
    FontSpec wanted{"Serif", 12, true, false, true, 0x112233};
    QFont font = ToQFont(wanted, base);
    EXPECT_EQ(font.family(), "Serif");
    EXPECT_EQ(font.pointSize(), 12);
    EXPECT_TRUE(font.bold() && font.underline() && !font.italic());
    EXPECT_EQ(FromQFont(font, ToQColor(wanted.color)), wanted);
    EXPECT_EQ(ToQFont(FontSpec{}, base).family(), "Sans");  // an empty family keeps the base
}

}  // namespace
}  // namespace tavrin
