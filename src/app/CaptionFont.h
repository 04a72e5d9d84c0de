#pragma once

#include <QFont>
#include <QStyle>

class QFontMetrics;

namespace tavrin {

// The main window's font: the platform's sans-serif font at the largest pixel size, from 8 up
// to the 11 pixels of the classic dialog font, at which every caption fits its control; 8 when
// none does. Chosen from font measures alone, before the controls exist, so that they are made
// in it.
QFont CaptionFont(const QFont& base, const QStyle& style);

// The main window's font at a given pixel size.
QFont CaptionFontAt(const QFont& base, int pixels);

// Whether every caption of the main window fits its control in `font`.
bool CaptionsFitFont(const QFont& font, const QStyle& style);

// The width a check box (CT_CheckBox) or radio button (CT_RadioButton) with `caption` asks for.
int CaptionedButtonWidth(const QStyle& style, const QFontMetrics& metrics, const char* caption,
                         QStyle::ContentsType type);

inline constexpr int kLargestCaptionPixels = 11;
inline constexpr int kSmallestCaptionPixels = 8;

}  // namespace tavrin
