#include "app/Stelin.h"

#include <gtest/gtest.h>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "support/TestApplication.h"
#include "support/TestPaths.h"
#include "widgets/SpinEdit.h"

namespace tavrin {
namespace {

class ConfigureDialog : public ::testing::Test {
protected:
    ConfigureDialog() { mainWindow.move(273, 173); }

    // Types into an edit as the user does: the edit takes the focus, its text is replaced.
    void TypeInto(TSpinEdit* edit, const char* text) {
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, QString::fromLatin1(text));
    }

    void ClickOK() { QTest::mouseClick(dialog.Button1(), Qt::LeftButton); }
    void ClickDefault() { QTest::mouseClick(dialog.Button2(), Qt::LeftButton); }

    void SaveScreenshot(const char* name) {
        ASSERT_TRUE(
            dialog.grab().save(QString::fromStdString((test::OutputDir() / name).string())));
    }

    test::UsesApplication app;
    QWidget mainWindow;
    Settings settings;
    TConfigure dialog{&mainWindow, settings};
};

TEST_F(ConfigureDialog, IsBuiltHiddenInRpModeWithItsControlsInPlace) {
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_FALSE(dialog.isModal());
    EXPECT_EQ(dialog.windowTitle(), "Configure");
    EXPECT_EQ(dialog.size(), QSize(208, 102));
    EXPECT_EQ(dialog.Label1()->text(), "QL pos. from start");
    EXPECT_EQ(dialog.Label2()->text(), "RP pos. from end");
    EXPECT_EQ(dialog.Label1()->pos(), QPoint(24, 28));
    EXPECT_EQ(dialog.Label2()->pos(), QPoint(24, 27));
    EXPECT_EQ(dialog.SpinEdit1()->geometry(), QRect(120, 24, 57, 22));
    EXPECT_EQ(dialog.SpinEdit2()->geometry(), QRect(120, 24, 57, 22));
    EXPECT_EQ(dialog.Button1()->geometry(), QRect(120, 64, 75, 25));
    EXPECT_EQ(dialog.Button2()->geometry(), QRect(16, 64, 75, 25));
    EXPECT_EQ(dialog.Button1()->text(), "&OK");
    EXPECT_EQ(dialog.Button2()->text(), "&Default");
    EXPECT_EQ(dialog.Button2()->toolTip(), "Set default value");
    EXPECT_EQ(dialog.SpinEdit1()->toolTip(),
              "Set number of chars in beginning of file to search for QL string");
    EXPECT_EQ(dialog.SpinEdit2()->toolTip(),
              "Set number of characters in tail of the plotfile to search for PG string");
    EXPECT_EQ(dialog.SpinEdit1()->MinValue(), 1);
    EXPECT_EQ(dialog.SpinEdit1()->MaxValue(), 800);
    EXPECT_EQ(dialog.SpinEdit1()->Value(), 500);
    EXPECT_EQ(dialog.SpinEdit2()->MinValue(), 1);
    EXPECT_EQ(dialog.SpinEdit2()->MaxValue(), 50);
    EXPECT_EQ(dialog.SpinEdit2()->Value(), 30);
    EXPECT_TRUE(dialog.SpinEdit1()->isHidden());
    EXPECT_TRUE(dialog.Label1()->isHidden());
    EXPECT_FALSE(dialog.SpinEdit2()->isHidden());
    EXPECT_FALSE(dialog.Label2()->isHidden());
    // Every caption fits the place it has.
    for (QLabel* label : {dialog.Label1(), dialog.Label2()}) {
        EXPECT_LE(label->x() + label->sizeHint().width(), dialog.SpinEdit1()->x());
    }
    for (QPushButton* button : {dialog.Button1(), dialog.Button2()}) {
        const QString shown = QString(button->text()).remove(QLatin1Char('&'));
        EXPECT_LE(button->fontMetrics().horizontalAdvance(shown) + 12, button->width())
            << shown.toStdString();
    }
}

// The next widget the Tab key can reach.
QWidget* NextTabStop(QWidget* widget) {
    do {
        widget = widget->nextInFocusChain();
    } while (!(widget->focusPolicy() & Qt::TabFocus));
    return widget;
}

TEST_F(ConfigureDialog, TabOrderRunsFromTheEditsToOkAndDefault) {
    EXPECT_EQ(NextTabStop(dialog.SpinEdit1()), dialog.SpinEdit2());
    EXPECT_EQ(NextTabStop(dialog.SpinEdit2()), dialog.Button1());
    EXPECT_EQ(NextTabStop(dialog.Button1()), dialog.Button2());
}

TEST_F(ConfigureDialog, QlModeShowsFromStartBesideTheMainWindow) {
    settings.FromStart = 600;
    dialog.QLfromstart1Click();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.pos(), QPoint(273 + 50, 173 + 30));
    EXPECT_TRUE(dialog.SpinEdit1()->isVisible());
    EXPECT_TRUE(dialog.Label1()->isVisible());
    EXPECT_FALSE(dialog.SpinEdit2()->isVisible());
    EXPECT_FALSE(dialog.Label2()->isVisible());
    EXPECT_EQ(dialog.SpinEdit1()->text(), "600");
    SaveScreenshot("configure_ql_mode.png");
}

TEST_F(ConfigureDialog, RpModeShowsFromEnd) {
    settings.FromEnd = 12;
    mainWindow.move(40, 60);
    dialog.RPfromend1Click();
    EXPECT_EQ(dialog.pos(), QPoint(90, 90));
    EXPECT_TRUE(dialog.SpinEdit2()->isVisible());
    EXPECT_TRUE(dialog.Label2()->isVisible());
    EXPECT_FALSE(dialog.SpinEdit1()->isVisible());
    EXPECT_FALSE(dialog.Label1()->isVisible());
    EXPECT_EQ(dialog.SpinEdit2()->text(), "12");
    SaveScreenshot("configure_rp_mode.png");
}

TEST_F(ConfigureDialog, TypedValueIsStoredByOkAndTheDialogCloses) {
    settings.FromStart = 600;
    dialog.QLfromstart1Click();
    TypeInto(dialog.SpinEdit1(), "100");
    ClickOK();
    EXPECT_EQ(settings.FromStart, 100);
    EXPECT_EQ(settings.FromEnd, 30);
    EXPECT_FALSE(dialog.isVisible());
}

TEST_F(ConfigureDialog, AStoredValueAboveTheRangeIsShownAndStoredAsTheBound) {
    settings.FromStart = 900;
    dialog.QLfromstart1Click();
    EXPECT_EQ(dialog.SpinEdit1()->text(), "800");
    ClickOK();
    EXPECT_EQ(settings.FromStart, 800);

    // In RP mode "&OK" stores the hidden value as well.
    settings.FromStart = 900;
    dialog.RPfromend1Click();
    ClickOK();
    EXPECT_EQ(settings.FromStart, 800);
    EXPECT_EQ(settings.FromEnd, 30);
}

TEST_F(ConfigureDialog, AStoredFromEndOfZeroIsShownAndStoredAsOne) {
    settings.FromEnd = 0;
    dialog.RPfromend1Click();
    EXPECT_EQ(dialog.SpinEdit2()->text(), "1");
    ClickOK();
    EXPECT_EQ(settings.FromEnd, 1);
}

TEST_F(ConfigureDialog, DefaultInRpModeSetsFromEndAtOnceAndLeavesFromStart) {
    settings.FromStart = 123;
    settings.FromEnd = 7;
    dialog.RPfromend1Click();
    ClickDefault();
    EXPECT_EQ(settings.FromEnd, 30);
    EXPECT_EQ(dialog.SpinEdit2()->text(), "30");
    EXPECT_EQ(settings.FromStart, 123);
    EXPECT_TRUE(dialog.isVisible());
    // Closing by the close box keeps what "&Default" set.
    dialog.close();
    EXPECT_EQ(settings.FromEnd, 30);
}

TEST_F(ConfigureDialog, DefaultInQlModeSetsSixHundred) {
    settings.FromStart = 250;
    settings.FromEnd = 9;
    dialog.QLfromstart1Click();
    ClickDefault();
    EXPECT_EQ(settings.FromStart, 600);
    EXPECT_EQ(dialog.SpinEdit1()->text(), "600");
    EXPECT_EQ(settings.FromEnd, 9);
    EXPECT_TRUE(dialog.isVisible());
}

TEST_F(ConfigureDialog, ClosingWithoutOkStoresNothing) {
    settings.FromStart = 600;
    dialog.QLfromstart1Click();
    TypeInto(dialog.SpinEdit1(), "77");
    dialog.close();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(settings.FromStart, 600);

    dialog.QLfromstart1Click();
    TypeInto(dialog.SpinEdit1(), "78");
    QTest::keyClick(dialog.SpinEdit1(), Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(settings.FromStart, 600);
}

TEST_F(ConfigureDialog, SwitchingModeWhileOpenKeepsTheOtherEditAsTyped) {
    settings.FromStart = 600;
    settings.FromEnd = 20;
    dialog.QLfromstart1Click();
    TypeInto(dialog.SpinEdit1(), "400");
    settings.FromEnd = 25;
    dialog.RPfromend1Click();
    EXPECT_TRUE(dialog.SpinEdit2()->isVisible());
    EXPECT_FALSE(dialog.SpinEdit1()->isVisible());
    EXPECT_EQ(dialog.SpinEdit2()->text(), "25");
    // Not shown afresh: the typed number in the hidden edit is not reloaded.
    EXPECT_EQ(dialog.SpinEdit1()->text(), "400");
    ClickOK();
    EXPECT_EQ(settings.FromStart, 400);
    EXPECT_EQ(settings.FromEnd, 25);
}

TEST_F(ConfigureDialog, OkStoresOnlyNumbersWithinTheRangeEvenWhenTheEditKeepsTheFocus) {
    settings.FromStart = 600;
    dialog.QLfromstart1Click();
    TypeInto(dialog.SpinEdit1(), "-5");
    ASSERT_EQ(dialog.SpinEdit1()->text(), "-5");
    // "&OK" by its shortcut: the edit keeps the focus and so has not bounded its number.
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    QTest::keyClick(dialog.SpinEdit1(), Qt::Key_O, Qt::AltModifier);
    // A shortcut presses the button and lets it go a moment later.
    for (int i = 0; i < 500 && dialog.isVisible(); ++i)
        QTest::qWait(10);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(settings.FromStart, 1);

    dialog.RPfromend1Click();
    TypeInto(dialog.SpinEdit2(), "99999");
    dialog.Button1Click();
    EXPECT_EQ(settings.FromEnd, 50);

    dialog.RPfromend1Click();
    dialog.SpinEdit2()->clear();
    dialog.Button1Click();
    EXPECT_EQ(settings.FromEnd, 1);
}

}  // namespace
}  // namespace tavrin
