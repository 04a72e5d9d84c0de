#include "joblist/GridColumn.h"

#include <gtest/gtest.h>

#include "joblist/GridModel.h"

namespace tavrin {
namespace {

TEST(GridColumnTest, UnassignedValuesFollowTheGrid) {
    GridModel grid;
    GridColumn& column = grid.columnAt(1);
    grid.setColor(0x123456);
    FontSpec font{"Courier", 10, true, false, false, 0x0000FF};
    grid.setFont(font);
    EXPECT_EQ(column.color(), 0x123456u);
    EXPECT_EQ(column.font(), font);
    EXPECT_EQ(column.title().font(), font);
    EXPECT_FALSE(column.readOnly());
    grid.setEditing(false);
    EXPECT_TRUE(column.readOnly());  // a grid without editing makes its columns read-only

    column.setColor(0x123456);  // the same value still counts as assigned
    column.setReadOnly(false);
    grid.setColor(0xABCDEF);
    EXPECT_TRUE(column.colorAssigned());
    EXPECT_EQ(column.color(), 0x123456u);
    EXPECT_FALSE(column.readOnly());
}

TEST(GridColumnTest, RestoreDefaultsClearsFlagsPickListAndButtonStyle) {
    GridModel grid;
    GridColumn& column = grid.columnAt(1);
    column.setAlignment(TextAlignment::Right);
    column.setColor(1);
    column.setFont(FontSpec{"Arial"});
    column.setReadOnly(true);
    column.setPickList({"A", "B"});
    column.setButtonStyle(ColumnButtonStyle::Ellipsis);
    column.setMaxLength(5);
    column.title().setCaption("T");
    column.title().setAlignment(TextAlignment::Center);
    column.restoreDefaults();
    EXPECT_FALSE(column.alignmentAssigned() || column.colorAssigned() || column.fontAssigned() ||
                 column.readOnlyAssigned());
    EXPECT_EQ(column.alignment(), TextAlignment::Left);
    EXPECT_TRUE(column.pickList().empty());
    EXPECT_EQ(column.buttonStyle(), ColumnButtonStyle::Auto);
    EXPECT_EQ(column.maxLength(), 5);  // not one of the restored settings
    EXPECT_EQ(column.title().caption(), "");
    EXPECT_FALSE(column.title().captionAssigned() || column.title().alignmentAssigned());
}

TEST(GridColumnTest, AssignCopiesOnlyTheListedSettings) {
    GridModel grid;
    GridColumn& from = grid.columnAt(1);
    GridColumn& to = grid.columnAt(2);
    int menu = 0;
    from.setColor(0xFF0000);
    from.setReadOnly(true);
    from.title().setCaption("Copies");
    from.setDropDownRows(3);
    from.setButtonStyle(ColumnButtonStyle::None);
    from.setPickList({"1", "2"});
    from.setPopupMenu(&menu);
    from.setFormat(ColumnFormat::Number);
    from.setEditMask("99");
    from.setMaxLength(2);
    to.assign(from);
    EXPECT_EQ(to.color(), 0xFF0000u);
    EXPECT_TRUE(to.readOnly());
    EXPECT_FALSE(to.fontAssigned());
    EXPECT_EQ(to.title().caption(), "Copies");
    EXPECT_EQ(to.dropDownRows(), 3u);
    EXPECT_EQ(to.buttonStyle(), ColumnButtonStyle::None);
    EXPECT_EQ(to.pickList(), (std::vector<std::string>{"1", "2"}));
    EXPECT_EQ(to.popupMenu(), &menu);
    EXPECT_EQ(to.format(), ColumnFormat::String);
    EXPECT_EQ(to.editMask(), "");
    EXPECT_EQ(to.maxLength(), 0);
    from.setPickList({"changed"});  // the copy is the column's own
    EXPECT_EQ(to.pickList().size(), 2u);
}

TEST(GridColumnTest, ANewFormatEmptiesTheDisplayMask) {
    GridModel grid;
    GridColumn& column = grid.columnAt(1);
    column.setFormat(ColumnFormat::Number);
    column.setDisplayMask("0.00");
    column.setFormat(ColumnFormat::Number);
    EXPECT_EQ(column.displayMask(), "0.00");
    column.setFormat(ColumnFormat::Date);
    EXPECT_EQ(column.displayMask(), "");
}

TEST(GridColumnTest, EditorRulesFollowButtonStylePickListAndReadOnly) {
    GridModel grid;
    GridColumn& column = grid.columnAt(1);
    EXPECT_EQ(grid.editStyle(1), EditStyle::None);
    column.setPickList({"A4", "A3"});
    EXPECT_EQ(grid.editStyle(1), EditStyle::List);
    EXPECT_FALSE(grid.editorReadOnly(1));
    column.setLimitToList(true);
    EXPECT_TRUE(grid.editorReadOnly(1));
    column.setReadOnly(true);  // a read-only column shows no list
    EXPECT_EQ(grid.editStyle(1), EditStyle::None);
    EXPECT_TRUE(grid.editorReadOnly(1));
    column.setButtonStyle(ColumnButtonStyle::Ellipsis);
    EXPECT_EQ(grid.editStyle(1), EditStyle::Ellipsis);
    column.setReadOnly(false);
    column.setButtonStyle(ColumnButtonStyle::None);
    EXPECT_EQ(grid.editStyle(1), EditStyle::None);
    EXPECT_FALSE(grid.editorReadOnly(1));
}

TEST(GridColumnTest, EditMaskHasTheEventForLastWord) {
    GridModel grid;
    grid.columnAt(2).setEditMask("!99;1;_");
    EXPECT_EQ(grid.editMask(2, 1), "!99;1;_");
    grid.OnGetEditMask = [](int col, int row, std::string& mask) {
        if (col == 2 && row == 3)
            mask = "000";
    };
    EXPECT_EQ(grid.editMask(2, 3), "000");
    EXPECT_EQ(grid.editMask(2, 1), "!99;1;_");
}

}  // namespace
}  // namespace tavrin
