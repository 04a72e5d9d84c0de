#include "widgets/GridColumn.h"

#include "widgets/GridModel.h"

namespace tavrin {

void GridColumnTitle::changed() {
    column_.changed();
}

void GridColumnTitle::setCaption(const std::string& caption) {
    caption_ = caption;
    captionAssigned_ = true;
    changed();
}

TextAlignment GridColumnTitle::alignment() const {
    return alignment_.value_or(TextAlignment::Left);
}

void GridColumnTitle::setAlignment(TextAlignment alignment) {
    alignment_ = alignment;
    changed();
}

CellFont GridColumnTitle::font() const {
    if (font_)
        return *font_;
    return column_.grid() ? column_.grid()->font() : CellFont{};
}

void GridColumnTitle::setFont(const CellFont& font) {
    font_ = font;
    changed();
}

std::uint32_t GridColumnTitle::color() const {
    if (color_)
        return *color_;
    return column_.grid() ? column_.grid()->fixedColor() : GridModel::kFixedColor;
}

void GridColumnTitle::setColor(std::uint32_t color) {
    color_ = color;
    changed();
}

void GridColumnTitle::restoreDefaults() {
    caption_.clear();
    captionAssigned_ = false;
    alignment_.reset();
    font_.reset();
    color_.reset();
    changed();
}

void GridColumnTitle::assign(const GridColumnTitle& other) {
    caption_ = other.caption_;
    captionAssigned_ = other.captionAssigned_;
    alignment_ = other.alignment_;
    font_ = other.font_;
    color_ = other.color_;
    changed();
}

GridColumn::GridColumn(GridModel* grid, int internalCol)
    : grid_(grid), internalCol_(internalCol), title_(*this) {}

void GridColumn::changed() {
    if (grid_)
        grid_->columnChanged(*this);
}

void GridColumn::setEditMask(const std::string& mask) {
    editMask_ = mask;
    changed();
}

void GridColumn::setMaxLength(int length) {
    maxLength_ = length < 0 ? 0 : length;
    changed();
}

void GridColumn::setLimitToList(bool limit) {
    limitToList_ = limit;
    changed();
}

void GridColumn::setAlignment(TextAlignment alignment) {
    alignment_ = alignment;
    changed();
}

void GridColumn::setButtonStyle(ColumnButtonStyle style) {
    buttonStyle_ = style;
    changed();
}

void GridColumn::setFormat(ColumnFormat format) {
    if (format == format_)
        return;
    format_ = format;
    displayMask_.clear();
    changed();
}

std::uint32_t GridColumn::color() const {
    if (color_)
        return *color_;
    return grid_ ? grid_->color() : GridModel::kWindowColor;
}

void GridColumn::setColor(std::uint32_t color) {
    color_ = color;
    changed();
}

void GridColumn::setDropDownRows(unsigned rows) {
    dropDownRows_ = rows;
    changed();
}

CellFont GridColumn::font() const {
    if (font_)
        return *font_;
    return grid_ ? grid_->font() : CellFont{};
}

void GridColumn::setFont(const CellFont& font) {
    font_ = font;
    changed();
}

const std::vector<std::string>& GridColumn::pickList() const {
    static const std::vector<std::string> kNone;
    return pickList_ ? *pickList_ : kNone;
}

void GridColumn::setPickList(std::vector<std::string> entries) {
    pickList_ = std::make_unique<std::vector<std::string>>(std::move(entries));
    changed();
}

void GridColumn::setPopupMenu(void* menu) {
    popupMenu_ = menu;
    changed();
}

bool GridColumn::readOnly() const {
    if (readOnly_)
        return *readOnly_;
    return grid_ ? !grid_->editing() : false;
}

void GridColumn::setReadOnly(bool readOnly) {
    readOnly_ = readOnly;
    changed();
}

void GridColumn::setDisplayMask(const std::string& mask) {
    displayMask_ = mask;
    changed();
}

void GridColumn::restoreDefaults() {
    alignment_.reset();
    color_.reset();
    font_.reset();
    readOnly_.reset();
    pickList_.reset();
    buttonStyle_ = ColumnButtonStyle::Auto;
    title_.restoreDefaults();  // notifies the grid
}

void GridColumn::assign(const GridColumn& other) {
    if (&other == this)
        return;
    color_ = other.color_;
    font_ = other.font_;
    alignment_ = other.alignment_;
    readOnly_ = other.readOnly_;
    dropDownRows_ = other.dropDownRows_;
    buttonStyle_ = other.buttonStyle_;
    pickList_ =
        other.pickList_ ? std::make_unique<std::vector<std::string>>(*other.pickList_) : nullptr;
    popupMenu_ = other.popupMenu_;
    title_.assign(other.title_);  // notifies the grid
}

}  // namespace tavrin
