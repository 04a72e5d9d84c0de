#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QLocale>
#include <QTest>

#include <memory>
#include <string>
#include <vector>

#include "support/TestApplication.h"
#include "widgets/ErrorReport.h"
#include "widgets/IntegerEdit.h"

namespace tavrin {
namespace {

// The hour edit of the scheduled start, as the main window sets it up, next to another control
// that the focus can move to.
class IntegerEditTest : public ::testing::Test {
protected:
    void SetUp() override {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        SetErrorReport([this](const Error& error) { reports.push_back(error.what()); });
        window = std::make_unique<QWidget>();
        uur = new TIntegerEdit(window.get());
        uur->setObjectName("Uur");
        uur->setGeometry(10, 10, 41, 25);
        other = new QLineEdit(window.get());
        other->setGeometry(10, 50, 100, 25);
        uur->SetDisplayFormat("00");
        uur->SetEditFormat("00");
        uur->SetMaxLength(2);
        uur->SetValue(12);
        uur->OnChange = [this] { valuesSeenOnChange.push_back(uur->Value()); };
        uur->OnExit = [this] { ++exits; };
        window->resize(200, 100);
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        other->setFocus(Qt::TabFocusReason);
        exits = 0;
    }
    void TearDown() override {
        window.reset();
        SetErrorReport({});
        QLocale::setDefault(QLocale::system());
    }

    void Enter() { uur->setFocus(Qt::TabFocusReason); }
    void Leave() {
        other->setFocus(Qt::TabFocusReason);
        QCoreApplication::processEvents();
    }
    void Paste(const QString& text) {
        QGuiApplication::clipboard()->setText(text);
        uur->selectAll();
        uur->paste();
    }

    test::UsesApplication app;
    std::unique_ptr<QWidget> window;
    TIntegerEdit* uur = nullptr;
    QLineEdit* other = nullptr;
    std::vector<std::string> reports;
    std::vector<int> valuesSeenOnChange;
    int exits = 0;
};

TEST_F(IntegerEditTest, StartsWithEmptyTextInDisplayModeUntilAPatternIsSet) {
    TIntegerEdit fresh;
    EXPECT_EQ(fresh.text(), "");
    EXPECT_TRUE(fresh.DisplayMode());
    EXPECT_EQ(fresh.Value(), 0);
    fresh.SetDisplayFormat("00");
    EXPECT_EQ(fresh.text(), "00");
}

TEST_F(IntegerEditTest, ValuesWrittenByTheProgramAreShownWithTheDisplayFormat) {
    EXPECT_EQ(uur->text(), "12");
    const std::pair<int, const char*> cases[] = {{7, "07"}, {0, "00"}, {123, "123"}, {-3, "-03"}};
    for (auto [value, text] : cases) {
        uur->SetValue(value);
        EXPECT_EQ(uur->text(), text) << value;
        EXPECT_EQ(uur->Value(), value);
    }
}

TEST_F(IntegerEditTest, GainingTheFocusAppliesTheEditFormatToANonZeroValueOnly) {
    uur->SetDisplayFormat("00' h'");
    uur->SetEditFormat("0");
    uur->SetValue(5);
    EXPECT_EQ(uur->text(), "05 h");
    Enter();
    EXPECT_FALSE(uur->DisplayMode());
    EXPECT_EQ(uur->text(), "5");
    EXPECT_EQ(uur->selectedText(), "5");
    Leave();
    EXPECT_TRUE(uur->DisplayMode());
    EXPECT_EQ(uur->text(), "05 h");

    uur->SetDisplayFormat("00");
    uur->SetValue(0);
    Enter();
    EXPECT_EQ(uur->text(), "00");
}

TEST_F(IntegerEditTest, TypingChangesTheTextButTheValueOnlyWhenTheFocusLeaves) {
    Enter();
    valuesSeenOnChange.clear();
    QTest::keyClicks(uur, "7");
    EXPECT_EQ(uur->text(), "7");
    EXPECT_EQ(valuesSeenOnChange, std::vector<int>{12});
    EXPECT_EQ(uur->Value(), 12);
    EXPECT_EQ(exits, 0);
    Leave();
    EXPECT_EQ(uur->Value(), 7);
    EXPECT_EQ(uur->text(), "07");
    EXPECT_EQ(uur->cursorPosition(), 0);
    EXPECT_EQ(exits, 1);
}

TEST_F(IntegerEditTest, TypingMinusThreeGivesMinusZeroThree) {
    Enter();
    QTest::keyClicks(uur, "-3");
    Leave();
    EXPECT_EQ(uur->Value(), -3);
    EXPECT_EQ(uur->text(), "-03");
}

TEST_F(IntegerEditTest, LettersSeparatorsAndControlCharactersTypedAreIgnored) {
    uur->SetMaxLength(0);
    Enter();
    QTest::keyClick(uur, Qt::Key_Backspace);
    QTest::keyClicks(uur, "1a.,2 x");
    EXPECT_EQ(uur->text(), "12");

    QGuiApplication::clipboard()->setText("34");
    QTest::keyClick(uur, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(uur->text(), "12");
    uur->selectAll();
    QTest::keyClick(uur, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(uur->text(), "12");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "34");
    QTest::keyClick(uur, Qt::Key_End);
    QTest::keyClick(uur, Qt::Key_Return);
    QTest::keyClick(uur, Qt::Key_Escape);
    QTest::keyClick(uur, Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(uur->text(), "12");

    QTest::keyClick(uur, Qt::Key_Backspace);
    QTest::keyClicks(uur, "-");
    EXPECT_EQ(uur->text(), "1-");
    QTest::keyClick(uur, Qt::Key_Home);
    QTest::keyClick(uur, Qt::Key_Delete);
    EXPECT_EQ(uur->text(), "-");
}

TEST_F(IntegerEditTest, MaxLengthBindsWhatTheUserTypesAndPastes) {
    Enter();
    QTest::keyClicks(uur, "345");
    EXPECT_EQ(uur->text(), "34");
    QGuiApplication::clipboard()->setText("567");
    uur->selectAll();
    uur->paste();
    EXPECT_EQ(uur->text(), "34");
}

TEST_F(IntegerEditTest, ClearedOrBlankTextReadsAsZero) {
    Enter();
    QTest::keyClick(uur, Qt::Key_Backspace);
    EXPECT_EQ(uur->text(), "");
    Leave();
    EXPECT_EQ(uur->Value(), 0);
    EXPECT_EQ(uur->text(), "00");
    EXPECT_TRUE(reports.empty());

    uur->SetValue(4);
    Enter();
    uur->setText("  ");
    Leave();
    EXPECT_EQ(uur->Value(), 0);
    EXPECT_EQ(uur->text(), "00");
}

TEST_F(IntegerEditTest, PastedTextThatIsNoNumberIsReportedAndKeepsTheFocusAndTheText) {
    uur->SetMaxLength(0);
    Enter();
    Paste("abc");
    EXPECT_EQ(uur->text(), "abc");
    Leave();
    EXPECT_EQ(reports, std::vector<std::string>{"'abc' is not a valid floating point value"});
    EXPECT_EQ(QApplication::focusWidget(), uur);
    EXPECT_EQ(uur->text(), "abc");
    EXPECT_EQ(uur->selectedText(), "abc");
    EXPECT_EQ(uur->Value(), 12);
    EXPECT_FALSE(uur->DisplayMode());
    EXPECT_EQ(exits, 0);

    // Once the text is mended, leaving works as ever.
    QTest::keyClicks(uur, "9");
    Leave();
    EXPECT_EQ(uur->Value(), 9);
    EXPECT_EQ(uur->text(), "09");
    EXPECT_EQ(exits, 1);
    EXPECT_EQ(QApplication::focusWidget(), other);
    EXPECT_EQ(reports.size(), 1u);
}

TEST_F(IntegerEditTest, AFractionReachingTheEditIsCutToTheWholeNumberItShows) {
    uur->SetMaxLength(0);
    Enter();
    Paste("2.9");
    Leave();
    EXPECT_EQ(uur->Value(), 2);
    EXPECT_EQ(uur->text(), "02");
    Enter();
    Paste("-2.9");
    Leave();
    EXPECT_EQ(uur->Value(), -2);
    EXPECT_EQ(uur->text(), "-02");
}

TEST_F(IntegerEditTest, ANumberOutsideTheIntegerRangeIsRefusedLikeOtherBadText) {
    uur->SetMaxLength(0);
    Enter();
    Paste("99999999999");
    Leave();
    EXPECT_EQ(reports, std::vector<std::string>{"'99999999999' is not a valid integer value"});
    EXPECT_EQ(QApplication::focusWidget(), uur);
    EXPECT_EQ(uur->text(), "99999999999");
    EXPECT_EQ(uur->Value(), 12);
}

TEST_F(IntegerEditTest, WritingTheSameValueOrPatternStillFormatsTheTextAgain) {
    Enter();
    QTest::keyClicks(uur, "4");
    valuesSeenOnChange.clear();
    uur->SetValue(12);
    EXPECT_EQ(uur->text(), "12");
    EXPECT_EQ(valuesSeenOnChange, std::vector<int>{12});

    uur->setText("xyz");
    uur->SetDisplayFormat("00");
    EXPECT_EQ(uur->text(), "12");
}

TEST_F(IntegerEditTest, AValueWrittenFromOnChangeFormatsTheTextAgainInsideTheWrite) {
    int calls = 0;
    uur->OnChange = [this, &calls] {
        ++calls;
        if (uur->text() == "07")
            uur->SetValue(8);
    };
    uur->SetValue(7);
    EXPECT_EQ(uur->text(), "08");
    EXPECT_EQ(uur->Value(), 8);
    EXPECT_EQ(calls, 2);
}

TEST_F(IntegerEditTest, APopupTakingTheFocusForAWhileIsNoLeaving) {
    Enter();
    QTest::keyClicks(uur, "4");
    QFocusEvent popup(QEvent::FocusOut, Qt::PopupFocusReason);
    QCoreApplication::sendEvent(uur, &popup);
    EXPECT_EQ(uur->text(), "4");
    EXPECT_FALSE(uur->DisplayMode());
    EXPECT_EQ(exits, 0);
}

TEST_F(IntegerEditTest, AClickFiresOnClick) {
    int clicks = 0;
    uur->OnClick = [&clicks] { ++clicks; };
    QTest::mouseClick(uur, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(clicks, 1);
    QTest::mouseClick(uur, Qt::RightButton, {}, QPoint(5, 5));
    EXPECT_EQ(clicks, 1);
}

TEST(ErrorReport, AddsAFullStopAfterALetterOrDigitOnly) {
    EXPECT_EQ(ReportText(Error("'abc' is not a valid floating point value")),
              "'abc' is not a valid floating point value.");
    EXPECT_EQ(ReportText(Error("Done!")), "Done!");
}

}  // namespace
}  // namespace tavrin
