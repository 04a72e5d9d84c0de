#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QLabel>

namespace tavrin {

// The font of the small dialogs: the platform's sans-serif font at the pixel size of the
// classic 8-point dialog font, so that captions fit the dialogs' fixed geometry.
inline QFont DialogFont(const QFont& base) {
    QFont font = base;
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(11);
    return font;
}

// Makes the label's font smaller, where the platform's font runs wider than the classic one,
// until the text fits `width` pixels.
inline void ShrinkToFit(QLabel& label, int width) {
    QFont font = label.font();
    while (font.pixelSize() > 7 && QFontMetrics(font).horizontalAdvance(label.text()) > width) {
        font.setPixelSize(font.pixelSize() - 1);
    }
    label.setFont(font);
}

}  // namespace tavrin
