#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QLocale>
#include <QMouseEvent>
#include <QStyle>
#include <QTest>

#include <climits>
#include <memory>
#include <vector>

#include "DrivenClock.h"
#include "platform/Error.h"
#include "support/TestApplication.h"
#include "support/TestPaths.h"
#include "widgets/SpinButton.h"
#include "widgets/SpinEdit.h"
#include "widgets/TimerSpeedButton.h"

namespace tavrin {
namespace {

// Counts the beeps instead of sounding them.
class QuietSpinEdit : public TSpinEdit {
public:
    using TSpinEdit::TSpinEdit;
    int beeps = 0;

protected:
    void Beep() override { ++beeps; }
};

class SpinEditTest : public ::testing::Test {
protected:
    void SetUp() override {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        window = std::make_unique<QWidget>();
        other = new QLineEdit(window.get());
        other->setGeometry(10, 60, 100, 25);
        // The main window's global copy count.
        copies = new QuietSpinEdit(window.get(), clock.Timers());
        copies->setObjectName("SpinEdit1");
        copies->setGeometry(10, 10, 49, 22);
        copies->SetMinValue(1);
        copies->SetMaxValue(99);
        copies->SetValue(1);
        copies->SetEditorEnabled(false);
        copies->OnChange = [this] { changes.push_back({clock.Now(), copies->Value()}); };
        window->resize(200, 100);
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        other->setFocus(Qt::TabFocusReason);
    }
    void TearDown() override {
        window.reset();
        QLocale::setDefault(QLocale::system());
    }

    // The configure dialog's edit for the characters searched at the end of a file.
    QuietSpinEdit* MakeTailEdit() {
        auto* edit = new QuietSpinEdit(window.get(), clock.Timers());
        edit->setGeometry(100, 10, 60, 22);
        edit->SetMinValue(1);
        edit->SetMaxValue(50);
        edit->SetValue(30);
        edit->show();
        return edit;
    }
    void Leave() { other->setFocus(Qt::TabFocusReason); }

    struct Change {
        long at;
        int value;
        bool operator==(const Change&) const = default;
    };

    test::UsesApplication app;
    test::DrivenClock clock;
    std::unique_ptr<QWidget> window;
    QLineEdit* other = nullptr;
    QuietSpinEdit* copies = nullptr;
    std::vector<Change> changes;
};

TEST_F(SpinEditTest, StartsAtZeroWithoutBounds) {
    TSpinEdit fresh;
    EXPECT_EQ(fresh.text(), "0");
    EXPECT_EQ(fresh.Value(), 0);
    EXPECT_EQ(fresh.Increment(), 1);
    EXPECT_TRUE(fresh.EditorEnabled());
    // With MinValue = MaxValue nothing is clamped.
    fresh.SetValue(-5);
    EXPECT_EQ(fresh.text(), "-5");
    fresh.SetValue(1000);
    EXPECT_EQ(fresh.text(), "1000");
    fresh.StepUp();
    EXPECT_EQ(fresh.Value(), 1001);
}

TEST_F(SpinEditTest, AStepPastTheMaximumChangesNothingAndFiresNoChange) {
    copies->SetValue(99);
    changes.clear();
    copies->StepUp();
    EXPECT_EQ(copies->text(), "99");
    EXPECT_TRUE(changes.empty());
    copies->StepDown();
    EXPECT_EQ(copies->text(), "98");
    EXPECT_EQ(changes.size(), 1u);
}

TEST_F(SpinEditTest, ArrowKeysStepWithinTheBounds) {
    copies->setFocus(Qt::TabFocusReason);
    QTest::keyClick(copies, Qt::Key_Down);
    EXPECT_EQ(copies->text(), "1");
    QTest::keyClick(copies, Qt::Key_Up);
    QTest::keyClick(copies, Qt::Key_Up);
    EXPECT_EQ(copies->text(), "3");
    copies->SetIncrement(5);
    QTest::keyClick(copies, Qt::Key_Up);
    EXPECT_EQ(copies->Value(), 8);
    EXPECT_EQ(copies->beeps, 0);
}

TEST_F(SpinEditTest, WithTypingDisabledTypingAndPastingLeaveTheTextAlone) {
    copies->SetValue(5);
    copies->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(copies->selectedText(), "5");
    QTest::keyClicks(copies, "7x");
    QTest::keyClick(copies, Qt::Key_Backspace);
    EXPECT_EQ(copies->beeps, 3);

    QGuiApplication::clipboard()->setText("42");
    QTest::keyClick(copies, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(copies, Qt::Key_Insert, Qt::ShiftModifier);
    QTest::keyClick(copies, Qt::Key_X, Qt::ControlModifier);
    QTest::keyClick(copies, Qt::Key_Delete, Qt::ShiftModifier);
    // Delete types no character, but would still empty a text the user may only step.
    QTest::keyClick(copies, Qt::Key_Delete);
    QTest::mouseClick(copies, Qt::MiddleButton, {}, QPoint(5, 5));
    EXPECT_EQ(copies->text(), "5");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "42");

    // Copying and moving about still work.
    copies->selectAll();
    QTest::keyClick(copies, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "5");
    QTest::keyClick(copies, Qt::Key_End);
    EXPECT_EQ(copies->cursorPosition(), 1);
    EXPECT_EQ(copies->beeps, 3);
}

TEST_F(SpinEditTest, ARefusedCharacterBeepsWhileDigitsSignsAndTheSeparatorPass) {
    QuietSpinEdit* tail = MakeTailEdit();
    tail->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(tail, "1a+-.");
    EXPECT_EQ(tail->text(), "1+-.");
    EXPECT_EQ(tail->beeps, 1);
    EXPECT_TRUE(tail->AcceptsChar(8));
    EXPECT_FALSE(tail->AcceptsChar(13));
    EXPECT_FALSE(copies->AcceptsChar(8));
    EXPECT_TRUE(copies->AcceptsChar(3));
    EXPECT_FALSE(copies->AcceptsChar(U'5'));
}

TEST_F(SpinEditTest, WithTypingEnabledPasteWorksAndLeavingClampsTheNumber) {
    QuietSpinEdit* tail = MakeTailEdit();
    tail->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(tail, "75");
    EXPECT_EQ(tail->text(), "75");
    Leave();
    EXPECT_EQ(tail->text(), "50");

    tail->setFocus(Qt::TabFocusReason);
    QGuiApplication::clipboard()->setText("0");
    tail->selectAll();
    QTest::keyClick(tail, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(tail->text(), "0");
    Leave();
    EXPECT_EQ(tail->text(), "1");
}

TEST_F(SpinEditTest, AnEmptiedTextStaysAndReadsAsTheMinimum) {
    QuietSpinEdit* tail = MakeTailEdit();
    tail->setFocus(Qt::TabFocusReason);
    QTest::keyClick(tail, Qt::Key_Backspace);
    Leave();
    EXPECT_EQ(tail->text(), "");
    EXPECT_EQ(tail->Value(), 1);
    tail->StepUp();
    EXPECT_EQ(tail->text(), "2");
}

TEST_F(SpinEditTest, TextThatIsNoNumberReadsAsTheMinimum) {
    QuietSpinEdit* tail = MakeTailEdit();
    for (const char* text : {"abc", "", "2147483648", "+-3", "1.5", " 7"}) {
        tail->setText(text);
        EXPECT_EQ(tail->Value(), 1) << text;
    }
    tail->setText("+7");
    EXPECT_EQ(tail->Value(), 7);
    tail->setText("-2147483648");
    EXPECT_EQ(tail->Value(), INT_MIN);
}

TEST_F(SpinEditTest, AStepNeverWrapsAroundTheIntegerRange) {
    TSpinEdit unbounded;
    unbounded.SetValue(INT_MAX);
    unbounded.StepUp();
    EXPECT_EQ(unbounded.Value(), INT_MAX);
    unbounded.SetValue(INT_MIN);
    unbounded.StepDown();
    EXPECT_EQ(unbounded.Value(), INT_MIN);
}

TEST_F(SpinEditTest, AReadOnlyEditOnlyBeepsWhenStepped) {
    copies->SetValue(5);
    copies->setReadOnly(true);
    copies->StepUp();
    copies->StepDown();
    EXPECT_EQ(copies->text(), "5");
    EXPECT_EQ(copies->beeps, 2);
}

TEST_F(SpinEditTest, HoldingTheUpButtonStepsAfter400MsThenEvery100MsAndOnceAtTheRelease) {
    TTimerSpeedButton* up = copies->Button()->UpButton();
    QTest::mousePress(up, Qt::LeftButton, {}, QPoint(3, 3));
    clock.Advance(399);
    EXPECT_TRUE(changes.empty());
    clock.Advance(601);
    QTest::mouseRelease(up, Qt::LeftButton, {}, QPoint(3, 3));
    const std::vector<Change> expected{{400, 2}, {500, 3}, {600, 4},  {700, 5},
                                       {800, 6}, {900, 7}, {1000, 8}, {1000, 9}};
    EXPECT_EQ(changes, expected);
    clock.Advance(1000);
    EXPECT_EQ(copies->Value(), 9);
}

TEST_F(SpinEditTest, AShortPressStepsOnceAtTheRelease) {
    TTimerSpeedButton* down = copies->Button()->DownButton();
    copies->SetValue(10);
    changes.clear();
    QTest::mousePress(down, Qt::LeftButton, {}, QPoint(3, 3));
    clock.Advance(150);
    EXPECT_TRUE(changes.empty());
    QTest::mouseRelease(down, Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_EQ(changes, (std::vector<Change>{{150, 9}}));
}

TEST_F(SpinEditTest, ThePointerOffTheHeldButtonPausesTheRepeatAndAReleaseOutsideDoesNotStep) {
    TTimerSpeedButton* up = copies->Button()->UpButton();
    QTest::mousePress(up, Qt::LeftButton, {}, QPoint(3, 3));
    const QPoint outside(up->width() + 20, up->height() + 20);
    QMouseEvent away(QEvent::MouseMove, outside, up->mapToGlobal(outside), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(up, &away);
    EXPECT_FALSE(up->isDown());
    clock.Advance(1000);
    EXPECT_TRUE(changes.empty());
    QMouseEvent back(QEvent::MouseMove, QPoint(3, 3), up->mapToGlobal(QPoint(3, 3)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(up, &back);
    clock.Advance(100);
    EXPECT_EQ(changes, (std::vector<Change>{{1100, 2}}));
    QCoreApplication::sendEvent(up, &away);
    QTest::mouseRelease(up, Qt::LeftButton, {}, outside);
    EXPECT_EQ(changes.size(), 1u);
}

TEST_F(SpinEditTest, AnErrorFromARepeatedStepStopsTheRepeatAndPassesOn) {
    int steps = 0;
    copies->Button()->OnUpClick = [&steps] {
        ++steps;
        throw Error("Cannot open file plot.plt");
    };
    TTimerSpeedButton* up = copies->Button()->UpButton();
    QTest::mousePress(up, Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_THROW(clock.Advance(400), Error);
    clock.Advance(1000);
    EXPECT_EQ(steps, 1);
}

TEST_F(SpinEditTest, PressingAButtonGivesTheEditTheFocusWithItsTextSelected) {
    copies->SetValue(12);
    TTimerSpeedButton* up = copies->Button()->UpButton();
    QTest::mousePress(up, Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_EQ(QApplication::focusWidget(), copies);
    EXPECT_EQ(copies->selectedText(), "12");
    QTest::mouseRelease(up, Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_EQ(copies->text(), "13");

    // A press on the text itself puts the caret there instead.
    Leave();
    QTest::mouseClick(copies, Qt::LeftButton, {}, QPoint(4, copies->height() / 2));
    EXPECT_EQ(QApplication::focusWidget(), copies);
    EXPECT_EQ(copies->selectedText(), "");
}

TEST_F(SpinEditTest, KeepsItsMinimumHeightAndPlacesTheButtonInsideTheRightEdge) {
    copies->resize(49, 5);
    EXPECT_EQ(copies->height(), copies->MinHeight());
    copies->resize(80, 30);
    const QRect button = copies->Button()->geometry();
    const int frame = copies->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, copies);
    EXPECT_EQ(button, QRect(80 - 15 - 5 + frame, frame, 15, 25));
    EXPECT_GE(copies->textMargins().right(), button.width());

    QFont big = copies->font();
    big.setPixelSize(30);
    copies->setFont(big);
    EXPECT_GE(copies->height(), QFontMetrics(big).height());
}

TEST_F(SpinEditTest, Screenshot) {
    copies->SetValue(3);
    copies->resize(60, 22);
    QImage image = copies->grab().toImage();
    ASSERT_TRUE(image.save(QString::fromStdString((test::OutputDir() / "spin_edit.png").string())));
    QuietSpinEdit* tail = MakeTailEdit();
    tail->setFocus(Qt::TabFocusReason);
    image = tail->grab().toImage();
    ASSERT_TRUE(
        image.save(QString::fromStdString((test::OutputDir() / "spin_edit_focused.png").string())));
}

}  // namespace
}  // namespace tavrin
