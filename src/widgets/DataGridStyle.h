#pragma once

#include <QColor>
#include <QFont>
#include <QLocale>
#include <QString>

#include <cstdint>
#include <string>

#include "widgets/CellValues.h"
#include "widgets/GridColumn.h"

namespace tavrin {

// Conversions between the grid's plain settings and Qt's types.
inline QColor ToQColor(std::uint32_t rgb) {
    return QColor::fromRgb(QRgb(rgb));
}
inline std::uint32_t FromQColor(const QColor& color) {
    return color.rgb() & 0xFFFFFFu;
}

// The font `wanted` on top of `base`: the window's font fills in what `wanted` leaves open.
QFont ToQFont(const CellFont& wanted, const QFont& base);
CellFont FromQFont(const QFont& font, const QColor& color);

inline QString ToQString(const std::string& text) {
    return QString::fromStdString(text);
}
inline std::string FromQString(const QString& text) {
    return text.toStdString();
}

Qt::Alignment ToQtAlignment(TextAlignment alignment);

// The locale's short date format as a date picture ("M/d/yy" gives "m/d/yy"); the grid's default
// when the locale's format has no day, month or year.
DateFormat ShortDateFormat(const QLocale& locale);

}  // namespace tavrin
