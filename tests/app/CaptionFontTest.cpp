// The window's font is chosen from font measures before its controls exist. These tests hold
// those measures against real controls at every size the choice can make.
#include "app/CaptionFont.h"

#include <QCheckBox>
#include <QRadioButton>

#include "WindowTestSupport.h"

namespace tavrin::test {
namespace {

TEST(CaptionFontTest, MeasuredWidthsAreTheControlsOwnAtEverySize) {
    EnsureApplication();
    QWidget parent;
    for (int pixels = kSmallestCaptionPixels; pixels <= kLargestCaptionPixels; ++pixels) {
        const QFont font = CaptionFontAt(QApplication::font(), pixels);
        parent.setFont(font);
        const QFontMetrics metrics(font);
        for (const char* caption : {"Schedule", "Treat joblist as set", "Collate copies",
                                    "Copies by plotter", "Quality on plotter", "Fit to page: A4"}) {
            QCheckBox box(QString::fromUtf8(caption), &parent);
            EXPECT_EQ(CaptionedButtonWidth(*parent.style(), metrics, caption, QStyle::CT_CheckBox),
                      box.sizeHint().width())
                << caption << " at " << pixels << " px";
        }
        for (const char* caption : {"New", "Add"}) {
            QRadioButton radio(QString::fromUtf8(caption), &parent);
            EXPECT_EQ(
                CaptionedButtonWidth(*parent.style(), metrics, caption, QStyle::CT_RadioButton),
                radio.sizeHint().width())
                << caption << " at " << pixels << " px";
        }
    }
}

TEST(CaptionFontTest, TheChosenSizeIsTheLargestAtWhichEveryCaptionFits) {
    EnsureApplication();
    const QStyle& style = *QApplication::style();
    const QFont chosen = CaptionFont(QApplication::font(), style);
    const int pixels = chosen.pixelSize();
    ASSERT_GE(pixels, kSmallestCaptionPixels);
    ASSERT_LE(pixels, kLargestCaptionPixels);
    // The smallest size is taken even when something is still too wide.
    if (pixels > kSmallestCaptionPixels) {
        EXPECT_TRUE(CaptionsFitFont(chosen, style));
    }
    for (int larger = pixels + 1; larger <= kLargestCaptionPixels; ++larger)
        EXPECT_FALSE(CaptionsFitFont(CaptionFontAt(QApplication::font(), larger), style))
            << larger << " px";
}

}  // namespace
}  // namespace tavrin::test
