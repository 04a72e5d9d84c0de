// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QClipboard>
#include <QMouseEvent>
#include <QRegularExpression>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTest>

#include <climits>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

#include "DrivenClock.h"
#include "support/TempFolder.h"
#include "support/TestApplication.h"
#include "widgets/ErrorReport.h"
#include "widgets/IntegerEdit.h"
#include "widgets/SpinButton.h"
#include "widgets/SpinEdit.h"
#include "widgets/TimerSpeedButton.h"

namespace tavrin {
namespace {

// Sends `keys` to `widget`: a character as typed, "<name>" the key of that QKeySequence name
// ("<Backspace>", "<Ctrl+V>"). In a line edit "{all}" selects the whole text, "{paste:x}" pastes
// x over it (through the clipboard) and "{set:x}" sets the text to x as the program does.
void Keys(QWidget* widget, std::string_view keys) {
    auto* edit = qobject_cast<QLineEdit*>(widget);
    static const QRegularExpression parts("<([^>]+)>|\\{(\\w+):?([^}]*)\\}|.");
    for (const auto& part : parts.globalMatch(QString::fromUtf8(keys))) {
        const QString action = part.captured(2), text = part.captured(3);
        if (part.hasCaptured(1)) {
            const QKeyCombination key = QKeySequence::fromString(part.captured(1))[0];
            EXPECT_NE(key.key(), Qt::Key_unknown) << keys;
            QTest::keyClick(widget, key.key(), key.keyboardModifiers());
        } else if (action == "set") {
            edit->setText(text);
        } else if (action.isEmpty()) {
            QTest::keyClick(widget, part.captured(0)[0].toLatin1());
        } else if (edit->selectAll(); action == "paste") {
            QGuiApplication::clipboard()->setText(text);
            edit->paste();
        }
    }
}

// Sends each of `steps` to `edit` and lists the texts it shows after them, each followed by '|'.
std::string Typed(QLineEdit* edit, std::initializer_list<std::string_view> steps) {
    std::string texts;
    for (std::string_view keys : steps) {
        Keys(edit, keys);
        texts += edit->text().toStdString() + '|';
    }
    return texts;
}

bool Save(QWidget* widget, const char* name) {
    return widget->grab().toImage().save(
        QString::fromStdString((test::OutputDir() / name).string()));
}

const QPoint kInside(3, 3);

void MoveHeld(QWidget* widget, QPoint point) {
    QMouseEvent move(QEvent::MouseMove, point, widget->mapToGlobal(point), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &move);
}

// An integer edit as the user and the program see it: "text|selected text|mode|Value".
std::string Look(const TIntegerEdit& edit) {
    return (edit.text() + '|' + edit.selectedText()).toStdString() +
           (edit.DisplayMode() ? "|display|" : "|edit|") + std::to_string(edit.Value());
}

class QuietSpinEdit : public TSpinEdit {
public:
    using TSpinEdit::TSpinEdit;
    // "text|selected text|Value|beeps"
    std::string Look() const {
        return (text() + '|' + selectedText()).toStdString() + '|' + std::to_string(Value()) + '|' +
               std::to_string(beeps);
    }
    int beeps = 0;

protected:
    void Beep() override { ++beeps; }
};

// In an active US English window: the start hour edit, a TNumEdit, the copy count (typing
// disabled), the configure dialog's tail length, a bare spin button and a line edit to leave to.
class NumberEditTest : public ::testing::Test {
protected:
    void SetUp() override {
#ifdef _WIN32
        const std::string name = testing::UnitTest::GetInstance()->current_test_info()->name();
        if (name.rfind("Leaving", 0) == 0 || name.rfind("ANumEdit", 0) == 0 ||
            name.rfind("DisplayMode", 0) == 0 || name.rfind("WithTypingDisabled", 0) == 0)
            GTEST_SKIP() << "under wine, beside other programs of the same wine server, the focus "
                            "these cases give the edit is now and then not seen by it (the typed "
                            "text joins the display text); alone they pass";
#endif
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        SetErrorReport([this](const Error& error) { reports.push_back(error.what()); });
        uur->setGeometry(10, 10, 41, 25);
        uur->SetDisplayFormat("00");
        uur->SetEditFormat("00");
        uur->SetMaxLength(2);
        uur->SetValue(12);
        uur->OnChange = [this] { valuesSeenOnChange.push_back(uur->Value()); };
        uur->OnExit = [this] { ++exits; };
        num->setGeometry(75, 10, 120, 25);
        for (auto [edit, geometry, max, value] : {std::tuple{copies, QRect(10, 40, 49, 22), 99, 1},
                                                  {tail, {100, 40, 60, 22}, 50, 30}}) {
            edit->setGeometry(geometry);
            edit->SetMinValue(1);
            edit->SetMaxValue(max);
            edit->SetValue(value);
        }
        copies->SetEditorEnabled(false);
        copies->OnChange = [this] {
            changes += std::to_string(clock.Now()) + ':' + std::to_string(copies->Value()) + ' ';
        };
        spin->SetTimerFactory(clock.Timers());
        spin->move(170, 40);
        spin->OnUpClick = [this] { clicks += "u"; };
        spin->OnDownClick = [this] { clicks += "d"; };
        other->setGeometry(10, 70, 100, 25);
        window.resize(200, 100);
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        Leave();
        exits = 0;
    }
    void TearDown() override {
        SetErrorReport({});
        QLocale::setDefault(QLocale::system());
    }
    static void Enter(QWidget* control) {
        control->setFocus(Qt::TabFocusReason);
    }
    void Leave() {
        other->setFocus(Qt::TabFocusReason);
        QCoreApplication::processEvents();
    }
    // The hour edit's look, its exits and the reports since the last call, and where the focus is.
    std::string Seen() {
        std::string seen = Look(*uur) + " exits " + std::to_string(std::exchange(exits, 0)) +
                           (QApplication::focusWidget() == uur ? " in" : " out");
        for (const std::string& report : std::exchange(reports, {}))
            seen += " [" + report + "]";
        return seen;
    }
    std::string FocusRects() const {
        return std::string(spin->UpButton()->Flags() & TTimerSpeedButton::FocusRect ? "up" : "") +
               (spin->DownButton()->Flags() & TTimerSpeedButton::FocusRect ? "down" : "");
    }

    test::UsesApplication app;
    test::DrivenClock clock;  // outlives the window and the timers it made
    QWidget window;
    QLineEdit* other = new QLineEdit(&window);
    TIntegerEdit* uur = new TIntegerEdit(&window);
    TNumEdit* num = new TNumEdit(&window);
    QuietSpinEdit* copies = new QuietSpinEdit(&window, clock.Timers());
    QuietSpinEdit* tail = new QuietSpinEdit(&window, clock.Timers());
    TSpinButton* spin = new TSpinButton(&window);
    std::vector<std::string> reports;
    std::vector<int> valuesSeenOnChange;
    int exits = 0;
    std::string changes;  // "time:value " for each OnChange of copies
    std::string clicks;   // "u" or "d" for each click of the spin button
};

TEST_F(NumberEditTest, AnIntegerEditShowsTheDisplayFormatOrWhenFocusedTheEditFormat) {
    std::string looks = Look(TIntegerEdit()) + ' ' + Look(*uur);
    uur->SetDisplayFormat("00' h'");
    uur->SetEditFormat("0");
    uur->SetValue(5);
    looks += ' ' + Look(*uur);
    Enter(uur);
    looks += ' ' + Look(*uur);
    Leave();
    looks += ' ' + Look(*uur);
    uur->SetDisplayFormat("00");
    uur->SetValue(0);
    Enter(uur);
    EXPECT_EQ(looks + ' ' + Look(*uur),
              "||display|0 12||display|12 05 h||display|5 5|5|edit|5 05 h||display|5 00|00|edit|0");
}

// Text refused when the focus leaves is reported; the focus, the text and the value then stay.
TEST_F(NumberEditTest, LeavingReadsTheTextIntoTheValueOrReportsWhyNotAndTypingIsFiltered) {
    const std::pair<const char*, const char*> rows[] = {
        {"-3", "-03||display|-3 exits 1 out"},
        {"<Backspace>", "00||display|0 exits 1 out"},
        {"{set:  }", "00||display|0 exits 1 out"},
        // A fraction is cut to the whole number the text shows.
        {"{paste:2.9}", "02||display|2 exits 1 out"},
        {"{paste:-2.9}", "-02||display|-2 exits 1 out"},
        {"{paste:99999999999}",
         "99999999999|99999999999|edit|12 exits 0 in ['99999999999' is not a valid integer value]"},
        {"{paste:abc}", "abc|abc|edit|12 exits 0 in ['abc' is not a valid floating point value]"},
    };
    uur->SetMaxLength(0);
    for (auto [input, seen] : rows) {
        SCOPED_TRACE(input);
        uur->SetValue(12);
        Enter(uur);
        Keys(uur, input);
        Leave();
        EXPECT_EQ(Seen(), seen);
    }
    // Once the text is mended, leaving works as ever.
    Keys(uur, "9");
    Leave();
    EXPECT_EQ(Seen(), "09||display|9 exits 1 out");
    uur->SetMaxLength(2);  // binds typing and pasting
    Enter(uur);
    EXPECT_EQ(Typed(uur, {"345", "{paste:567}"}), "34|34|");
    uur->SetMaxLength(0);
    EXPECT_EQ(Typed(uur, {"{all}<Backspace>1a.,2 x", "<Ctrl+V>", "{all}<Ctrl+X>",
                          "<End><Return><Esc><Ctrl+Tab>", "<Backspace>-", "<Home><Del>"}),
              "12|12|12|12|1-|-|");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "567");
}

TEST_F(NumberEditTest, TheValueChangesOnLeavingOrWritingNotOnTypingAndAClickFiresOnClick) {
    Enter(uur);
    valuesSeenOnChange.clear();
    Keys(uur, "7");
    EXPECT_EQ(Seen(), "7||edit|12 exits 0 in");
    EXPECT_EQ(valuesSeenOnChange, std::vector<int>{12});
    // A popup taking the focus for a while is no leaving.
    QFocusEvent popup(QEvent::FocusOut, Qt::PopupFocusReason);
    QCoreApplication::sendEvent(uur, &popup);
    EXPECT_EQ(Seen(), "7||edit|12 exits 0 in");
    Leave();
    EXPECT_EQ(Seen() + " @" + std::to_string(uur->cursorPosition()),
              "07||display|7 exits 1 out @0");
    uur->OnClick = [this] { clicks += "c"; };
    QTest::mouseClick(uur, Qt::RightButton, {}, QPoint(5, 5));
    QTest::mouseClick(uur, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(clicks, "c");

    // Writing a value or pattern formats the text again, also unchanged or from OnChange.
    Enter(uur);
    Keys(uur, "4");
    valuesSeenOnChange.clear();
    uur->SetValue(12);
    EXPECT_EQ(uur->text(), "12");
    EXPECT_EQ(valuesSeenOnChange, std::vector<int>{12});
    uur->setText("xyz");
    uur->SetDisplayFormat("00");
    EXPECT_EQ(uur->text(), "12");

    // A value written from OnChange formats the text again inside the write.
    int calls = 0;
    uur->OnChange = [this, &calls] {
        ++calls;
        if (uur->text() == "07")
            uur->SetValue(8);
    };
    uur->SetValue(7);
    EXPECT_EQ(Look(*uur) + ' ' + std::to_string(calls), "08||edit|8 2");
}

TEST_F(NumberEditTest, ANumEditReadsNumbersWithTheLocaleSeparatorsAndFiltersNoTypedCharacter) {
    Enter(num);
    EXPECT_EQ(Typed(num, {"a.b"}), "a.b|");
    // The thousands separator is stripped before reading; "1,5,5" is refused.
    const std::tuple<bool, const char*, const char*> rows[] = {
        {false, "1,5", "15"},          {false, " 1,234.5 ", "1234.5"}, {true, "1,5", "1,50"},
        {true, "1.234,5", "1.234,50"}, {true, "1.5e3", "15.000,00"},   {true, "1,5,5", "1,5,5"}};
    for (auto [german, input, text] : rows) {
        QLocale::setDefault(german ? QLocale(QLocale::German, QLocale::Germany)
                                   : QLocale(QLocale::English, QLocale::UnitedStates));
        num->SetDisplayFormat(german ? "#,##0.00" : "");
        Enter(num);
        num->setText(input);
        Leave();
        EXPECT_EQ(num->text(), text) << input;
    }
    EXPECT_EQ(reports, std::vector<std::string>{"'1,5,5' is not a valid floating point value"});
}

// The rightmost (or leftmost) column of `image` within `area` with a dark (text) pixel, or -1.
int InkColumn(const QImage& image, const QRect& area, bool rightmost) {
    for (int i = 0; i < area.width(); ++i) {
        const int x = rightmost ? area.right() - i : area.left() + i;
        for (int y = area.top(); y <= area.bottom(); ++y)
            if (qGray(image.pixel(x, y)) < 110)
                return x;
    }
    return -1;
}

TEST_F(NumberEditTest, DisplayModePaintsTheNumberRightAlignedAndEditModeLeftAligned) {
    uur->resize(60, 25);
    QStyleOptionFrame option;
    option.initFrom(uur);
    option.lineWidth = uur->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, uur);
    option.frameShape = QFrame::NoFrame;
    const QRect contents = uur->style()->subElementRect(QStyle::SE_LineEditContents, &option, uur);
    const QRect inside = contents.adjusted(1, 1, -1, -1);  // the frame's dark lines are no text
    auto ink = [&](const char* screenshot, bool rightmost) {
        Save(uur, screenshot);
        return InkColumn(uur->grab().toImage(), inside, rightmost);
    };

    // The text ends 2 + 3 pixels from the text area's right edge, glyphs keep 0 to 3 of bearing.
    const int right = ink("integer_edit_display.png", true);
    EXPECT_TRUE(right <= contents.right() - 5 && right >= contents.right() - 8) << right;
    EXPECT_GT(InkColumn(uur->grab().toImage(), inside, false), contents.left() + 20);
    Enter(uur);
    uur->deselect();
    EXPECT_LT(ink("integer_edit_editing.png", false), contents.left() + 8);
    uur->setFocus(Qt::NoFocusReason);
    Leave();
    uur->setEnabled(false);
    EXPECT_EQ(ink("integer_edit_disabled.png", true), -1) << "disabled text is grey";
}

TEST(ErrorReport, AddsAFullStopAfterALetterOrDigitOnly) {
    EXPECT_EQ(ReportText(Error("'abc' is no value")) + ReportText(Error("Done!")),
              "'abc' is no value.Done!");
}

TEST_F(NumberEditTest, StepsNeverWrapAroundStayWithinTheBoundsAndInAReadOnlyEditOnlyBeep) {
    QuietSpinEdit fresh;
    std::string looks = fresh.Look() + " +" + std::to_string(fresh.Increment()) +
                        (fresh.EditorEnabled() ? " editable " : " ");
    // With MinValue = MaxValue nothing is clamped. Rows: value set, step.
    const std::pair<int, int> rows[] = {{-5, 0}, {1000, 1}, {INT_MAX, 1}, {INT_MIN, -1}};
    for (auto [value, step] : rows) {
        fresh.SetValue(value);
        if (step)
            step > 0 ? fresh.StepUp() : fresh.StepDown();
        looks += fresh.Look() + ' ';
    }
    EXPECT_EQ(looks,
              "0||0|0 +1 editable -5||-5|0 1001||1001|0 2147483647||2147483647|0 "
              "-2147483648||-2147483648|0 ");
    Enter(copies);
    EXPECT_EQ(Typed(copies, {"<Down>", "<Up><Up>"}), "1|3|");
    copies->SetIncrement(5);
    Keys(copies, "<Up>");
    EXPECT_EQ(copies->Look(), "8||8|0");

    copies->SetIncrement(1);
    copies->SetValue(99);
    changes.clear();
    copies->StepUp();  // no change at the top, so no OnChange either
    copies->StepDown();
    EXPECT_EQ(copies->Look() + ' ' + changes, "98||98|0 0:98 ");
    copies->setReadOnly(true);
    copies->StepUp();
    copies->StepDown();
    EXPECT_EQ(copies->Look(), "98||98|2");
}

TEST_F(NumberEditTest, WithTypingDisabledTypingAndPastingLeaveTheTextAlone) {
    copies->SetValue(5);
    Enter(copies);
    Keys(copies, "7x<Backspace>");
    EXPECT_EQ(copies->Look(), "5|5|5|3");
    QGuiApplication::clipboard()->setText("42");
    // Delete types no character, but would still empty a text the user may only step.
    Keys(copies, "<Ctrl+V><Shift+Ins><Ctrl+X><Shift+Del><Del>");
    QTest::mouseClick(copies, Qt::MiddleButton, {}, QPoint(5, 5));
    EXPECT_EQ(copies->text() + '|' + QGuiApplication::clipboard()->text(), "5|42");

    // Copying and moving about still work.
    Keys(copies, "{all}<Ctrl+C><End>");
    EXPECT_EQ(copies->Look() + " @" + std::to_string(copies->cursorPosition()) + ' ' +
                  QGuiApplication::clipboard()->text().toStdString(),
              "5||5|3 @1 5");
}

TEST_F(NumberEditTest, WithTypingEnabledLeavingClampsTheNumberAndNoNumberReadsAsTheMinimum) {
    EXPECT_TRUE(!tail->AcceptsChar(13) && copies->AcceptsChar(3));
    QGuiApplication::clipboard()->setText("0");
    // Rows: keys typed over the whole text, the text then and Look() once the focus left; the
    // one beep is for the refused "a".
    const std::tuple<const char*, const char*, const char*> rows[] = {
        {"1a+-.", "1+-.", "1+-.||1|1"},
        {"75", "75", "50||50|1"},
        {"<Ctrl+V>", "0", "1||1|1"},
        {"<Backspace>", "", "||1|1"}};
    for (auto [keys, typed, left] : rows) {
        Enter(tail);
        Keys(tail, keys);
        EXPECT_EQ(tail->text(), typed) << keys;
        Leave();
        EXPECT_EQ(tail->Look(), left) << keys;
    }
    tail->StepUp();
    EXPECT_EQ(tail->text(), "2");
    std::string values;
    for (const char* text : {"abc", "", "2147483648", "+-3", "1.5", " 7", "+7", "-2147483648"}) {
        tail->setText(text);
        values += std::to_string(tail->Value()) + ' ';
    }
    EXPECT_EQ(values, "1 1 1 1 1 1 7 -2147483648 ");
}

TEST_F(NumberEditTest, AHeldButtonRepeatsAfter400MsEvery100MsWhilePointedAtUntilAnError) {
    TTimerSpeedButton* up = copies->Button()->UpButton();
    QTest::mousePress(up, Qt::LeftButton, {}, kInside);
    clock.Advance(399);
    EXPECT_EQ(changes, "");
    clock.Advance(601);
    QTest::mouseRelease(up, Qt::LeftButton, {}, kInside);
    clock.Advance(1000);
    EXPECT_EQ(changes, "400:2 500:3 600:4 700:5 800:6 900:7 1000:8 1000:9 ");
    // A short press steps once, at the release.
    changes.clear();
    QTest::mousePress(copies->Button()->DownButton(), Qt::LeftButton, {}, kInside);
    clock.Advance(150);
    EXPECT_EQ(changes, "");
    QTest::mouseRelease(copies->Button()->DownButton(), Qt::LeftButton, {}, kInside);
    EXPECT_EQ(changes, "2150:8 ");

    // The pointer off the held button pauses the repeat; a release outside does not step.
    QTest::mousePress(up, Qt::LeftButton, {}, kInside);
    const QPoint outside(up->width() + 20, up->height() + 20);
    MoveHeld(up, outside);
    EXPECT_FALSE(up->isDown());
    clock.Advance(1000);
    EXPECT_EQ(changes, "2150:8 ");
    MoveHeld(up, kInside);
    clock.Advance(100);
    MoveHeld(up, outside);
    QTest::mouseRelease(up, Qt::LeftButton, {}, outside);
    EXPECT_EQ(changes, "2150:8 3250:9 ");

    // An error from a repeated step stops the repeat and passes on.
    int steps = 0;
    copies->Button()->OnUpClick = [&steps] {
        ++steps;
        throw Error("Cannot open file plot.plt");
    };
    QTest::mousePress(copies->Button()->UpButton(), Qt::LeftButton, {}, kInside);
    EXPECT_THROW(clock.Advance(400), Error);
    clock.Advance(1000);
    EXPECT_EQ(steps, 1);
}

TEST_F(NumberEditTest, PressingASpinEditButtonGivesTheEditTheFocusWithItsTextSelected) {
    copies->SetValue(12);
    const auto seen = [this] {
        return copies->Look() + (QApplication::focusWidget() == copies ? " in" : " out");
    };
    QTest::mousePress(copies->Button()->UpButton(), Qt::LeftButton, {}, kInside);
    EXPECT_EQ(seen(), "12|12|12|0 in");
    QTest::mouseRelease(copies->Button()->UpButton(), Qt::LeftButton, {}, kInside);
    // A press on the text itself puts the caret there instead.
    Leave();
    QTest::mouseClick(copies, Qt::LeftButton, {}, QPoint(4, copies->height() / 2));
    EXPECT_EQ(seen(), "13||13|0 in");
}

TEST_F(NumberEditTest, ASpinEditKeepsItsMinimumHeightAndPlacesTheButtonInsideTheRightEdge) {
    copies->SetValue(3);
    copies->resize(60, 22);
    ASSERT_TRUE(Save(copies, "spin_edit.png"));
    Enter(tail);
    ASSERT_TRUE(Save(tail, "spin_edit_focused.png"));

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

TEST_F(NumberEditTest, ASpinButtonSplitsItsHeightAndFiresItsButtonsByMouseOrKey) {
    auto rects = [this] {
        return std::vector{spin->rect(), spin->UpButton()->geometry(),
                           spin->DownButton()->geometry()};
    };
    EXPECT_EQ(rects(), (std::vector<QRect>{{0, 0, 20, 25}, {0, 0, 20, 12}, {0, 11, 20, 14}}));
    spin->resize(5, 17);
    EXPECT_EQ(rects(), (std::vector<QRect>{{0, 0, 15, 17}, {0, 0, 15, 8}, {0, 7, 15, 10}}));

    const QImage up = TSpinButton::BuiltInGlyph(true).toImage();
    const QImage down = TSpinButton::BuiltInGlyph(false).toImage();
    auto picture = [](const QImage& image) {  // '#' an opaque pixel, rows ended by '/'
        std::string rows;
        for (int y = 0; y < image.height(); ++y, rows += '/')
            for (int x = 0; x < image.width(); ++x)
                rows += qAlpha(image.pixel(x, y)) == 255 ? '#' : '.';
        return rows;
    };
    EXPECT_EQ(picture(up), "........./....#..../...###.../..#####../.#######./........./");
    EXPECT_EQ(picture(down), "........./.#######./..#####../...###.../....#..../........./");

    QPixmap custom(5, 5);
    custom.fill(Qt::red);
    spin->SetUpGlyph(custom);
    EXPECT_EQ(spin->UpButton()->Glyph().size(), QSize(5, 5));
    spin->SetUpGlyph({});
    EXPECT_EQ(spin->UpButton()->Glyph().size(), QSize(9, 6));
    QTest::mouseClick(spin->UpButton(), Qt::LeftButton, {}, kInside);
    QTest::mouseClick(spin->DownButton(), Qt::LeftButton, {}, kInside);
    QTest::mouseClick(spin->DownButton(), Qt::RightButton, {}, kInside);
    QTest::mousePress(spin->UpButton(), Qt::RightButton, {}, kInside);
    clock.Advance(1000);
    QTest::mouseRelease(spin->UpButton(), Qt::RightButton, {}, kInside);
    EXPECT_EQ(clicks, "ud");

    // As a tab stop it takes keys and shows the focused button.
    EXPECT_FALSE(spin->TabStop());
    spin->SetTabStop(true);
    spin->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(FocusRects(), "up");
    Keys(spin, "<Space><Down>");
    EXPECT_EQ(FocusRects(), "down");
    Keys(spin, "<Space><Up>");
    EXPECT_EQ(clicks, "ududdu");
    Save(spin, "spin_button_focused.png");
    spin->clearFocus();
    EXPECT_EQ(FocusRects(), "");

    // A press gives the focus control the focus; a destroyed one is forgotten.
    auto* edit = new QLineEdit(&window);
    edit->show();
    spin->SetFocusControl(edit);
    QTest::mouseClick(spin->UpButton(), Qt::LeftButton, {}, kInside);
    EXPECT_EQ(QApplication::focusWidget(), edit);
    delete edit;
    EXPECT_EQ(spin->FocusControl(), nullptr);
    QTest::mouseClick(spin->UpButton(), Qt::LeftButton, {}, kInside);
    EXPECT_EQ(clicks, "ududduuu");
}

}  // namespace
}  // namespace tavrin
