#include "widgets/DataGridColumn.h"

#include <QMenu>

#include "widgets/DataGrid.h"
#include "widgets/DataGridStyle.h"

namespace tavrin {

GridColumnTitle& TColumnTitle::data() const {
    return grid_.Grid().columnAt(col_).title();
}

QString TColumnTitle::Caption() const {
    return ToQString(data().caption());
}
void TColumnTitle::SetCaption(const QString& caption) {
    data().setCaption(FromQString(caption));
}
TextAlignment TColumnTitle::Alignment() const {
    return data().alignment();
}
void TColumnTitle::SetAlignment(TextAlignment alignment) {
    data().setAlignment(alignment);
}
QFont TColumnTitle::Font() const {
    return ToQFont(data().font(), grid_.font());
}
QColor TColumnTitle::FontColor() const {
    return ToQColor(data().font().color);
}
void TColumnTitle::SetFont(const QFont& font, const QColor& color) {
    data().setFont(FromQFont(font, color));
}
QColor TColumnTitle::Color() const {
    return ToQColor(data().color());
}
void TColumnTitle::SetColor(const QColor& color) {
    data().setColor(FromQColor(color));
}
void TColumnTitle::RestoreDefaults() {
    data().restoreDefaults();
}

GridColumn& TColumn::Data() const {
    return grid_.Grid().columnAt(col_);
}

QColor TColumn::Color() const {
    return ToQColor(Data().color());
}
void TColumn::SetColor(const QColor& color) {
    Data().setColor(FromQColor(color));
}
QFont TColumn::Font() const {
    return ToQFont(Data().font(), grid_.font());
}
QColor TColumn::FontColor() const {
    return ToQColor(Data().font().color);
}
void TColumn::SetFont(const QFont& font, const QColor& color) {
    Data().setFont(FromQFont(font, color));
}

QStringList TColumn::PickList() const {
    QStringList entries;
    for (const std::string& entry : Data().pickList())
        entries << ToQString(entry);
    return entries;
}

void TColumn::SetPickList(const QStringList& entries) {
    std::vector<std::string> list;
    for (const QString& entry : entries)
        list.push_back(FromQString(entry));
    Data().setPickList(std::move(list));
}

QMenu* TColumn::PopupMenu() const {
    return static_cast<QMenu*>(Data().popupMenu());
}
void TColumn::SetPopupMenu(QMenu* menu) {
    Data().setPopupMenu(menu);
}

}  // namespace tavrin
