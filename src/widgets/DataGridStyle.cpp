#include "widgets/DataGridStyle.h"

namespace tavrin {

QFont ToQFont(const CellFont& wanted, const QFont& base) {
    QFont font = base;
    if (!wanted.family.empty())
        font.setFamily(ToQString(wanted.family));
    if (wanted.pointSize > 0)
        font.setPointSize(wanted.pointSize);
    font.setBold(wanted.bold);
    font.setItalic(wanted.italic);
    font.setUnderline(wanted.underline);
    return font;
}

CellFont FromQFont(const QFont& font, const QColor& color) {
    CellFont result;
    result.family = FromQString(font.family());
    result.pointSize = font.pointSize() > 0 ? font.pointSize() : 0;
    result.bold = font.bold();
    result.italic = font.italic();
    result.underline = font.underline();
    result.color = FromQColor(color);
    return result;
}

Qt::Alignment ToQtAlignment(TextAlignment alignment) {
    switch (alignment) {
        case TextAlignment::Right:
            return Qt::AlignRight;
        case TextAlignment::Center:
            return Qt::AlignHCenter;
        case TextAlignment::Left:
            break;
    }
    return Qt::AlignLeft;
}

DateFormat ShortDateFormat(const QLocale& locale) {
    std::string picture;
    for (QChar c : locale.dateFormat(QLocale::ShortFormat)) {
        if (c == QLatin1Char('M')) {
            picture += 'm';
        } else if (c == QLatin1Char('d') || c == QLatin1Char('y')) {
            picture += char(c.unicode());
        } else if (!c.isLetter() && c.unicode() < 128 && c != QLatin1Char('\'')) {
            picture += char(c.unicode());
        }
    }
    for (char needed : {'d', 'm', 'y'}) {
        if (picture.find(needed) == std::string::npos)
            return DateFormat{};
    }
    return DateFormat{picture};
}

}  // namespace tavrin
