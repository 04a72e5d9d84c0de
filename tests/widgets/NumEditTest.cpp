#include <gtest/gtest.h>

#include <QImage>
#include <QLocale>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTest>

#include <memory>
#include <string>
#include <vector>

#include "support/TestApplication.h"
#include "support/TestPaths.h"
#include "widgets/ErrorReport.h"
#include "widgets/IntegerEdit.h"
#include "widgets/NumEdit.h"

namespace tavrin {
namespace {

class NumEditTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetErrorReport([this](const Error& error) { reports.push_back(error.what()); });
        window = std::make_unique<QWidget>();
        edit = new TNumEdit(window.get());
        edit->setGeometry(10, 10, 120, 25);
        other = new QLineEdit(window.get());
        other->setGeometry(10, 50, 100, 25);
        window->resize(200, 100);
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        other->setFocus(Qt::TabFocusReason);
    }
    void TearDown() override {
        window.reset();
        SetErrorReport({});
        QLocale::setDefault(QLocale::system());
    }

    // Types `text` as the whole content and moves the focus away.
    void EnterAndLeave(const QString& text) {
        edit->setFocus(Qt::TabFocusReason);
        edit->setText(text);
        other->setFocus(Qt::TabFocusReason);
        QCoreApplication::processEvents();
    }

    test::UsesApplication app;
    std::unique_ptr<QWidget> window;
    TNumEdit* edit = nullptr;
    QLineEdit* other = nullptr;
    std::vector<std::string> reports;
};

TEST_F(NumEditTest, TheLocaleThousandsSeparatorIsStrippedBeforeReading) {
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    EnterAndLeave("1,5");
    EXPECT_EQ(edit->text(), "15");
    EnterAndLeave(" 1,234.5 ");
    EXPECT_EQ(edit->text(), "1234.5");
    EXPECT_TRUE(reports.empty());
}

TEST_F(NumEditTest, ReadsAndShowsNumbersWithTheLocaleSeparators) {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    edit->SetDisplayFormat("#,##0.00");
    EnterAndLeave("1,5");
    EXPECT_EQ(edit->text(), "1,50");
    EnterAndLeave("1.234,5");
    EXPECT_EQ(edit->text(), "1.234,50");
    EnterAndLeave("1.5e3");
    EXPECT_EQ(edit->text(), "15.000,00");
    EXPECT_TRUE(reports.empty());
    EnterAndLeave("1,5,5");
    EXPECT_EQ(reports, std::vector<std::string>{"'1,5,5' is not a valid floating point value"});
    EXPECT_EQ(edit->text(), "1,5,5");
}

TEST_F(NumEditTest, FiltersNoTypedCharacter) {
    edit->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(edit, "a.b");
    EXPECT_EQ(edit->text(), "a.b");
}

// The rightmost column of `image` within `area` that holds a dark (text) pixel, or -1.
int RightmostInk(const QImage& image, const QRect& area) {
    for (int x = area.right(); x >= area.left(); --x) {
        for (int y = area.top(); y <= area.bottom(); ++y) {
            if (qGray(image.pixel(x, y)) < 110)
                return x;
        }
    }
    return -1;
}

int LeftmostInk(const QImage& image, const QRect& area) {
    for (int x = area.left(); x <= area.right(); ++x) {
        for (int y = area.top(); y <= area.bottom(); ++y) {
            if (qGray(image.pixel(x, y)) < 110)
                return x;
        }
    }
    return -1;
}

TEST_F(NumEditTest, DisplayModePaintsTheNumberRightAlignedAndEditModeLeftAligned) {
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    auto* uur = new TIntegerEdit(window.get());
    uur->setGeometry(10, 10, 60, 25);
    uur->SetDisplayFormat("00");
    uur->SetEditFormat("00");
    uur->SetMaxLength(2);
    uur->SetValue(12);
    uur->show();
    edit->hide();

    QStyleOptionFrame option;
    option.initFrom(uur);
    option.lineWidth = uur->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, uur);
    option.frameShape = QFrame::NoFrame;
    const QRect contents = uur->style()->subElementRect(QStyle::SE_LineEditContents, &option, uur);
    // Within the frame, so that the frame's own dark lines are not taken for text.
    const QRect inside = contents.adjusted(1, 1, -1, -1);

    const QImage display = uur->grab().toImage();
    display.save(QString::fromStdString((test::OutputDir() / "integer_edit_display.png").string()));
    const int right = RightmostInk(display, inside);
    // The text ends 2 + 3 pixels from the right edge of the text area (glyphs keep a pixel or
    // two of side bearing).
    EXPECT_LE(right, contents.right() - 5);
    EXPECT_GE(right, contents.right() - 8);
    EXPECT_GT(LeftmostInk(display, inside), contents.left() + 20);

    uur->setFocus(Qt::TabFocusReason);
    uur->deselect();
    const QImage editing = uur->grab().toImage();
    editing.save(QString::fromStdString((test::OutputDir() / "integer_edit_editing.png").string()));
    EXPECT_LT(LeftmostInk(editing, inside), contents.left() + 8);

    uur->setFocus(Qt::NoFocusReason);
    other->setFocus(Qt::TabFocusReason);
    uur->setEnabled(false);
    const QImage disabled = uur->grab().toImage();
    disabled.save(
        QString::fromStdString((test::OutputDir() / "integer_edit_disabled.png").string()));
    EXPECT_EQ(RightmostInk(disabled, inside), -1) << "disabled text is grey, not black";
}

}  // namespace
}  // namespace tavrin
