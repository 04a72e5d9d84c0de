#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "widgets/Grid.h"

namespace tavrin {

enum class TextAlignment { Left, Right, Center };
enum class ColumnButtonStyle { Auto, Ellipsis, None };
// What the in-place editor shows at its right edge.
enum class EditStyle { None, Ellipsis, List };

struct CellFont {
    std::string family;  // empty: the window's font family
    int pointSize = 0;   // 0: the window's font size
    bool bold = false;
    bool italic = false;
    bool underline = false;
    std::uint32_t color = 0;  // 0xRRGGBB

    bool operator==(const CellFont&) const = default;
};

class GridModel;
class GridColumn;

// The title row settings of one column. Unassigned values follow the grid's defaults.
class GridColumnTitle {
public:
    explicit GridColumnTitle(GridColumn& column) : column_(column) {}
    GridColumnTitle(const GridColumnTitle&) = delete;
    GridColumnTitle& operator=(const GridColumnTitle&) = delete;

    const std::string& caption() const { return caption_; }
    void setCaption(const std::string& caption);
    TextAlignment alignment() const;
    void setAlignment(TextAlignment alignment);
    CellFont font() const;
    void setFont(const CellFont& font);
    std::uint32_t color() const;
    void setColor(std::uint32_t color);

    bool captionAssigned() const { return captionAssigned_; }
    bool alignmentAssigned() const { return alignment_.has_value(); }
    bool fontAssigned() const { return font_.has_value(); }
    bool colorAssigned() const { return color_.has_value(); }

    // Clears every assigned flag and empties the caption.
    void restoreDefaults();
    void assign(const GridColumnTitle& other);

private:
    void changed();

    GridColumn& column_;
    std::string caption_;
    bool captionAssigned_ = false;
    std::optional<TextAlignment> alignment_;
    std::optional<CellFont> font_;
    std::optional<std::uint32_t> color_;
};

// The presentation and editing rules of one grid column. Colour, font, alignment and read-only
// state follow the grid until they are assigned.
class GridColumn {
public:
    static constexpr unsigned kDefaultDropDownRows = 7;

    GridColumn(GridModel* grid, int internalCol);
    GridColumn(const GridColumn&) = delete;
    GridColumn& operator=(const GridColumn&) = delete;

    const std::string& editMask() const { return editMask_; }
    void setEditMask(const std::string& mask);
    int maxLength() const { return maxLength_; }
    void setMaxLength(int length);
    bool limitToList() const { return limitToList_; }
    void setLimitToList(bool limit);
    TextAlignment alignment() const { return alignment_.value_or(TextAlignment::Left); }
    void setAlignment(TextAlignment alignment);
    ColumnButtonStyle buttonStyle() const { return buttonStyle_; }
    void setButtonStyle(ColumnButtonStyle style);
    ColumnFormat format() const { return format_; }
    // A different format empties the display mask.
    void setFormat(ColumnFormat format);
    std::uint32_t color() const;
    void setColor(std::uint32_t color);
    unsigned dropDownRows() const { return dropDownRows_; }
    void setDropDownRows(unsigned rows);
    CellFont font() const;
    void setFont(const CellFont& font);
    // The pick list is created on first use.
    const std::vector<std::string>& pickList() const;
    void setPickList(std::vector<std::string> entries);
    bool hasPickList() const { return pickList_ && !pickList_->empty(); }
    // The window's popup menu for this column; not owned.
    void* popupMenu() const { return popupMenu_; }
    void setPopupMenu(void* menu);
    bool readOnly() const;
    void setReadOnly(bool readOnly);
    GridColumnTitle& title() { return title_; }
    const GridColumnTitle& title() const { return title_; }
    const std::string& displayMask() const { return displayMask_; }
    void setDisplayMask(const std::string& mask);
    int internalCol() const { return internalCol_; }

    bool alignmentAssigned() const { return alignment_.has_value(); }
    bool colorAssigned() const { return color_.has_value(); }
    bool fontAssigned() const { return font_.has_value(); }
    bool readOnlyAssigned() const { return readOnly_.has_value(); }

    // Clears all assigned flags (the title's too), frees the pick list, button style automatic.
    void restoreDefaults();
    // Copies the assigned colour, font, alignment and read-only state, the title, DropDownRows,
    // ButtonStyle, PickList and PopupMenu, and nothing else.
    void assign(const GridColumn& other);

    GridModel* grid() const { return grid_; }
    void changed();

private:
    friend class GridModel;

    GridModel* grid_;
    int internalCol_;
    std::string editMask_;
    int maxLength_ = 0;
    bool limitToList_ = false;
    std::optional<TextAlignment> alignment_;
    ColumnButtonStyle buttonStyle_ = ColumnButtonStyle::Auto;
    ColumnFormat format_ = ColumnFormat::String;
    std::optional<std::uint32_t> color_;
    unsigned dropDownRows_ = kDefaultDropDownRows;
    std::optional<CellFont> font_;
    std::unique_ptr<std::vector<std::string>> pickList_;
    void* popupMenu_ = nullptr;
    std::optional<bool> readOnly_;
    GridColumnTitle title_;
    std::string displayMask_;
};

}  // namespace tavrin
