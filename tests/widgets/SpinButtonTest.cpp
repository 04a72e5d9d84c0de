#include <gtest/gtest.h>

#include <QImage>
#include <QLineEdit>
#include <QTest>

#include <memory>
#include <string>

#include "DrivenClock.h"
#include "support/TestApplication.h"
#include "support/TestPaths.h"
#include "widgets/SpinButton.h"
#include "widgets/TimerSpeedButton.h"

namespace tavrin {
namespace {

class SpinButtonTest : public ::testing::Test {
protected:
    void SetUp() override {
        window = std::make_unique<QWidget>();
        spin = new TSpinButton(window.get());
        spin->SetTimerFactory(clock.Timers());
        spin->move(10, 10);
        spin->OnUpClick = [this] { clicks += "u"; };
        spin->OnDownClick = [this] { clicks += "d"; };
        window->resize(100, 100);
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }

    test::UsesApplication app;
    test::DrivenClock clock;
    std::unique_ptr<QWidget> window;
    TSpinButton* spin = nullptr;
    std::string clicks;
};

TEST_F(SpinButtonTest, SplitsItsHeightBetweenTwoButtonsThatShareTheMiddleLine) {
    EXPECT_EQ(spin->size(), QSize(20, 25));
    EXPECT_EQ(spin->UpButton()->geometry(), QRect(0, 0, 20, 12));
    EXPECT_EQ(spin->DownButton()->geometry(), QRect(0, 11, 20, 14));
    spin->resize(5, 17);
    EXPECT_EQ(spin->width(), 15);
    EXPECT_EQ(spin->UpButton()->geometry(), QRect(0, 0, 15, 8));
    EXPECT_EQ(spin->DownButton()->geometry(), QRect(0, 7, 15, 10));
}

TEST_F(SpinButtonTest, EachButtonFiresItsOwnEvent) {
    QTest::mouseClick(spin->UpButton(), Qt::LeftButton, {}, QPoint(3, 3));
    QTest::mouseClick(spin->DownButton(), Qt::LeftButton, {}, QPoint(3, 3));
    QTest::mouseClick(spin->DownButton(), Qt::RightButton, {}, QPoint(3, 3));
    EXPECT_EQ(clicks, "ud");
}

TEST_F(SpinButtonTest, ARightPressNeverRepeats) {
    QTest::mousePress(spin->UpButton(), Qt::RightButton, {}, QPoint(3, 3));
    clock.Advance(1000);
    QTest::mouseRelease(spin->UpButton(), Qt::RightButton, {}, QPoint(3, 3));
    EXPECT_EQ(clicks, "");
}

TEST_F(SpinButtonTest, AsATabStopItTakesKeysAndShowsTheFocusedButton) {
    EXPECT_FALSE(spin->TabStop());
    spin->SetTabStop(true);
    spin->setFocus(Qt::TabFocusReason);
    EXPECT_TRUE(spin->UpButton()->Flags() & TTimerSpeedButton::FocusRect);
    QTest::keyClick(spin, Qt::Key_Space);
    QTest::keyClick(spin, Qt::Key_Down);
    EXPECT_EQ(spin->FocusedButton(), spin->DownButton());
    EXPECT_FALSE(spin->UpButton()->Flags() & TTimerSpeedButton::FocusRect);
    EXPECT_TRUE(spin->DownButton()->Flags() & TTimerSpeedButton::FocusRect);
    QTest::keyClick(spin, Qt::Key_Space);
    QTest::keyClick(spin, Qt::Key_Up);
    EXPECT_EQ(clicks, "uddu");

    const QImage image = spin->grab().toImage();
    image.save(QString::fromStdString((test::OutputDir() / "spin_button_focused.png").string()));
    spin->clearFocus();
    EXPECT_FALSE(spin->UpButton()->Flags() & TTimerSpeedButton::FocusRect);
}

TEST_F(SpinButtonTest, APressGivesTheFocusControlTheFocusAndForgetsItOnceDestroyed) {
    auto* edit = new QLineEdit(window.get());
    edit->move(40, 10);
    edit->show();
    spin->SetFocusControl(edit);
    QTest::mouseClick(spin->UpButton(), Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_EQ(QApplication::focusWidget(), edit);
    delete edit;
    EXPECT_EQ(spin->FocusControl(), nullptr);
    QTest::mouseClick(spin->UpButton(), Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_EQ(clicks, "uu");
}

TEST_F(SpinButtonTest, TheBuiltInGlyphsAreCentredTriangles) {
    const QImage up = TSpinButton::BuiltInGlyph(true).toImage();
    const QImage down = TSpinButton::BuiltInGlyph(false).toImage();
    ASSERT_EQ(up.size(), QSize(9, 6));
    auto rowWidth = [](const QImage& image, int y) {
        int black = 0;
        for (int x = 0; x < image.width(); ++x)
            black += qAlpha(image.pixel(x, y)) == 255;
        return black;
    };
    EXPECT_EQ(rowWidth(up, 0), 0);
    EXPECT_EQ(rowWidth(up, 1), 1);
    EXPECT_EQ(rowWidth(up, 4), 7);
    EXPECT_EQ(rowWidth(down, 1), 7);
    EXPECT_EQ(rowWidth(down, 4), 1);
    EXPECT_EQ(rowWidth(down, 5), 0);
    EXPECT_EQ(qAlpha(up.pixel(4, 1)), 255);
    EXPECT_EQ(qAlpha(up.pixel(0, 4)), 0);

    QPixmap custom(5, 5);
    custom.fill(Qt::red);
    spin->SetUpGlyph(custom);
    EXPECT_EQ(spin->UpButton()->Glyph().size(), QSize(5, 5));
    spin->SetUpGlyph({});
    EXPECT_EQ(spin->UpButton()->Glyph().size(), QSize(9, 6));
}

}  // namespace
}  // namespace tavrin
