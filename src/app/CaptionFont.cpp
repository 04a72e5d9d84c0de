#include "app/CaptionFont.h"

#include <QFontMetrics>
#include <QStyleOptionButton>

#include "app/TavrinCaptions.h"

namespace tavrin {

namespace {

using namespace captions;

int TextWidth(const QFontMetrics& metrics, const char* caption) {
    return metrics.horizontalAdvance(QString::fromUtf8(caption).remove(QLatin1Char('&')));
}

bool BoxFits(const QStyle& style, const QFontMetrics& metrics, const char* caption, int width,
             QStyle::ContentsType type) {
    return CaptionedButtonWidth(style, metrics, caption, type) <= width;
}

bool GlyphButtonFits(const QFontMetrics& metrics, const Captioned& button) {
    constexpr int kMargins = 12;
    return TextWidth(metrics, button.caption) + kGlyphSize + kMargins <= button.geometry.width();
}

}  // namespace

int CaptionedButtonWidth(const QStyle& style, const QFontMetrics& metrics, const char* caption,
                         QStyle::ContentsType type) {
    // What the check box and radio button measure for their size hint, without the widget.
    QStyleOptionButton option;
    option.fontMetrics = metrics;
    option.text = QString::fromUtf8(caption);
    const QSize text =
        style.itemTextRect(metrics, QRect(), Qt::TextShowMnemonic, false, option.text).size();
    return style.sizeFromContents(type, &option, text, nullptr).width();
}

bool CaptionsFitFont(const QFont& font, const QStyle& style) {
    const QFontMetrics metrics(font);
    for (const Captioned* box : {&kSchedule, &kJobAsSet, &kPSCollate, &kSmartReplots, &kRemoveQL}) {
        if (!BoxFits(style, metrics, box->caption, box->geometry.width(), QStyle::CT_CheckBox))
            return false;
    }
    if (!BoxFits(style, metrics, kLongestFitCaption, kFitToPage.geometry.width(),
                 QStyle::CT_CheckBox))
        return false;
    for (const Captioned* radio : {&kRepMode, &kAddMode}) {
        if (!BoxFits(style, metrics, radio->caption, radio->geometry.width(),
                     QStyle::CT_RadioButton))
            return false;
    }
    const std::pair<const char*, int> labels[] = {
        {kLabel1.caption, kPrinterListGeometry.x() - kLabel1.at.x() - 2},
        {kLabel2.caption, kMinuutGeometry.x() - kLabel2.at.x() - 1},
        {kLabel4.caption, kJobAsSet.geometry.x() - kLabel4.at.x() - 1},
        {kLabel3.caption, kLabel3.geometry.width()},
    };
    for (const auto& [caption, room] : labels) {
        if (TextWidth(metrics, caption) > room)
            return false;
    }
    return GlyphButtonFits(metrics, kSelectFiles) && GlyphButtonFits(metrics, kRemove) &&
           GlyphButtonFits(metrics, kOKPrint);
}

QFont CaptionFont(const QFont& base, const QStyle& style) {
    // Captions grow wider with the pixel size, so sizes are tried from the smallest up until
    // one no longer fits: on the common desktop fonts that is one or two sizes to measure, and
    // each new size costs the font database a match of its own.
    int fitting = kSmallestCaptionPixels;
    for (int pixels = kSmallestCaptionPixels + 1; pixels <= kLargestCaptionPixels; ++pixels) {
        if (!CaptionsFitFont(CaptionFontAt(base, pixels), style))
            break;
        fitting = pixels;
    }
    return CaptionFontAt(base, fitting);
}

QFont CaptionFontAt(const QFont& base, int pixels) {
    QFont font = base;
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixels);
    return font;
}

}  // namespace tavrin
