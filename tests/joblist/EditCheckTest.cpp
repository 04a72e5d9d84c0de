#include <gtest/gtest.h>

#include "joblist/DisplayMask.h"
#include "joblist/GridModel.h"

namespace tavrin {
namespace {

class EditCheckTest : public ::testing::Test {
protected:
    EditCheckTest() {
        grid.columnAt(1).setFormat(ColumnFormat::Number);
        grid.columnAt(2).setFormat(ColumnFormat::Date);
    }
    // Types `text` into a cell that held `before`, then ends the edit.
    EditCheck Edit(int col, const std::string& before, const std::string& text) {
        grid.setCell(col, 1, text);
        return grid.checkEditEnd(col, 1, before);
    }
    GridModel grid;
};

TEST_F(EditCheckTest, NumbersAreWrittenBackInShortestForm) {
    EXPECT_EQ(Edit(1, "1", "007"), EditCheck::Rewritten);
    EXPECT_EQ(grid.cell(1, 1), "7");
    Edit(1, "1", " 1.50 ");
    EXPECT_EQ(grid.cell(1, 1), "1.5");  // a fraction passes; the spool run refuses it later
    Edit(1, "1", "+2");
    EXPECT_EQ(grid.cell(1, 1), "2");
    Edit(1, "1", "-0");
    EXPECT_EQ(grid.cell(1, 1), "0");
    Edit(1, "1", "1e20");
    EXPECT_EQ(grid.cell(1, 1), "1E20");
}

TEST_F(EditCheckTest, ATextThatIsNoNumberGetsTheOldTextBack) {
    for (const char* bad : {"abc", "3x", "inf", "nan", "0x10", "1,5", "."}) {
        SCOPED_TRACE(bad);
        EXPECT_EQ(Edit(1, "4", bad), EditCheck::Restored);
        EXPECT_EQ(grid.cell(1, 1), "4");
    }
}

TEST_F(EditCheckTest, EmptyCellsAndStringColumnsAreNotChecked) {
    EXPECT_EQ(Edit(1, "4", ""), EditCheck::Unchecked);
    EXPECT_EQ(grid.cell(1, 1), "");
    EXPECT_EQ(Edit(3, "x", "007"), EditCheck::Unchecked);
    EXPECT_EQ(grid.cell(3, 1), "007");
    EXPECT_EQ(grid.checkEditEnd(9, 1, "x"), EditCheck::Unchecked);  // no column object
}

TEST_F(EditCheckTest, DatesAreReadInTheShortDateOrder) {
    EXPECT_EQ(Edit(2, "", "3-4-2024"), EditCheck::Rewritten);
    EXPECT_EQ(grid.cell(2, 1), "03-04-2024");
    Edit(2, "", "29/2/24");
    EXPECT_EQ(grid.cell(2, 1), "29-02-2024");
    grid.setDateFormat({"mm/dd/yyyy"});
    Edit(2, "", "12/31/1999");
    EXPECT_EQ(grid.cell(2, 1), "12/31/1999");
    EXPECT_EQ(Edit(2, "01/01/2000", "31/12/1999"), EditCheck::Restored);
    EXPECT_EQ(grid.cell(2, 1), "01/01/2000");
}

TEST_F(EditCheckTest, AWordForTodayGivesTodaysDate) {
    const std::string today = FormatDateTimePicture(Today(), "dd-mm-yyyy");
    for (const char* word : {"today", "Now", "heden", "j", "D"}) {
        Edit(2, "", word);
        EXPECT_EQ(grid.cell(2, 1), today) << word;
    }
}

TEST_F(EditCheckTest, ImpossibleDatesAreRefused) {
    for (const char* bad : {"31-02-2024", "29-02-2023", "1-13-2020", "x", "1-2-3-4", "12:00"}) {
        SCOPED_TRACE(bad);
        EXPECT_EQ(Edit(2, "01-01-2020", bad), EditCheck::Restored);
        EXPECT_EQ(grid.cell(2, 1), "01-01-2020");
    }
}

TEST(DisplayMaskTest, NumberPictures) {
    EXPECT_EQ(FormatNumberPicture(3.14159, "0.00"), "3.14");
    EXPECT_EQ(FormatNumberPicture(1234567.891, "#,##0.00"), "1,234,567.89");
    EXPECT_EQ(FormatNumberPicture(2.5, "0.##"), "2.5");
    EXPECT_EQ(FormatNumberPicture(2, "0.##"), "2");
    EXPECT_EQ(FormatNumberPicture(7, "000"), "007");
    EXPECT_EQ(FormatNumberPicture(0.5, "#.00"), ".50");
    EXPECT_EQ(FormatNumberPicture(-3, "0"), "-3");
    EXPECT_EQ(FormatNumberPicture(-3, "0;(0)"), "(3)");
    EXPECT_EQ(FormatNumberPicture(0, "0;(0);'none'"), "none");
    EXPECT_EQ(FormatNumberPicture(4, "0 'copies'"), "4 copies");
    EXPECT_EQ(FormatNumberPicture(-0.001, "0.00"), "0.00");
}

TEST(DisplayMaskTest, DateTimePictures) {
    DateTime value{2024, 3, 7, 9, 5, 2};
    EXPECT_EQ(FormatDateTimePicture(value, "dd/mm/yyyy"), "07/03/2024");
    EXPECT_EQ(FormatDateTimePicture(value, "d mmmm yy"), "7 March 24");
    EXPECT_EQ(FormatDateTimePicture(value, "ddd d mmm"), "Thu 7 Mar");
    EXPECT_EQ(FormatDateTimePicture(value, "dddd"), "Thursday");
    EXPECT_EQ(FormatDateTimePicture(value, "hh:mm:ss"), "09:05:02");
    EXPECT_EQ(FormatDateTimePicture(value, "h:nn 'h'"), "9:05 h");
}

TEST(DisplayMaskTest, CellsThatDoNotConvertGiveNoText) {
    EXPECT_EQ(FormatNumberCell("12.5", "0.0"), "12.5");
    EXPECT_FALSE(FormatNumberCell("twelve", "0.0"));
    EXPECT_EQ(FormatDateCell("7-3-2024 14:30", "yyyy-mm-dd hh:nn", DateFormat{}),
              "2024-03-07 14:30");
    EXPECT_FALSE(FormatDateCell("32-1-2024", "yyyy", DateFormat{}));
}

}  // namespace
}  // namespace tavrin
