#include "app/Over.h"

#include <gtest/gtest.h>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

#include "app/BuildDate.h"
#include "support/TestApplication.h"
#include "support/TestPaths.h"

namespace tavrin {
namespace {

static_assert(ParseCompilerDate("May  8 2002") == BuildDate{8, 5, 2002});
static_assert(ParseCompilerDate("Dec 31 2026") == BuildDate{31, 12, 2026});
static_assert(ParseCompilerDate("Jan 10 2000") == BuildDate{10, 1, 2000});

TEST(BuildDate, CaptionHasNoLeadingZeros) {
    EXPECT_EQ(CompiledCaption({8, 5, 2002}), "Compiled (D/M/Y): 8/5/2002");
    EXPECT_EQ(CompiledCaption(ParseCompilerDate("Oct 10 2031")), "Compiled (D/M/Y): 10/10/2031");
    EXPECT_EQ(CompiledCaption(ParseCompilerDate("Sep  1 2025")), "Compiled (D/M/Y): 1/9/2025");
}

TEST(BuildDate, TextsOfAnotherFormGiveNoDate) {
    for (const char* text : {"", "??? ?? ????", "May 8 2002", "Mai  8 2002", "May  8 20x2",
                             "May x8 2002", "May  8 2002 "}) {
        EXPECT_EQ(ParseCompilerDate(text), BuildDate{}) << text;
    }
}

TEST(BuildDate, TheProgramsOwnDateIsADate) {
    const BuildDate built = ProgramBuildDate();
    EXPECT_GE(built.day, 1);
    EXPECT_LE(built.day, 31);
    EXPECT_GE(built.month, 1);
    EXPECT_LE(built.month, 12);
    EXPECT_GE(built.year, 2024);
}

class AboutBox : public ::testing::Test {
protected:
    AboutBox() { mainWindow.move(273, 173); }

    test::UsesApplication app;
    QWidget mainWindow;
    TOverTavrin about{&mainWindow};
};

TEST_F(AboutBox, IsBuiltHiddenWithTheDateLineStillEmpty) {
    EXPECT_FALSE(about.isVisible());
    EXPECT_FALSE(about.isModal());
    EXPECT_EQ(about.windowTitle(), "About....");
    EXPECT_EQ(about.size(), QSize(265, 215));
    EXPECT_EQ(about.minimumSize(), about.maximumSize());
    EXPECT_EQ(about.Label4()->text(), "Compiled: ");
    EXPECT_EQ(about.Label4()->pos(), QPoint(28, 112));
    EXPECT_EQ(about.Bevel1()->geometry(), QRect(28, 8, 209, 57));
    EXPECT_EQ(about.NameLine()->text(), "Tavrin");
    EXPECT_TRUE(about.NameLine()->font().bold());
    EXPECT_EQ(about.Motto()->text(), "(so forget \"copy /b file \\\\server\\printer\")");
    EXPECT_LE(about.Motto()->fontMetrics().horizontalAdvance(about.Motto()->text()),
              about.Motto()->width());
    EXPECT_TRUE(about.Bevel1()->geometry().contains(about.NameLine()->geometry()));
    EXPECT_TRUE(about.Bevel1()->geometry().contains(about.Motto()->geometry()));
    EXPECT_EQ(about.BitBtn1()->text(), "&Fine, seen");
    EXPECT_EQ(about.BitBtn1()->geometry(), QRect(84, 175, 105, 25));
    EXPECT_FALSE(about.BitBtn1()->icon().isNull());
}

TEST_F(AboutBox, ShowsTheBuildDateBesideTheMainWindow) {
    about.About2Click();
    EXPECT_TRUE(about.isVisible());
    EXPECT_EQ(about.pos(), QPoint(373, 203));
    const QString line = about.Label4()->text();
    EXPECT_EQ(line.toStdString(), CompiledCaption(ProgramBuildDate()));
    EXPECT_TRUE(
        QRegularExpression(QStringLiteral("^Compiled \\(D/M/Y\\): [1-9]\\d?/[1-9]\\d?/\\d{4}$"))
            .match(line)
            .hasMatch())
        << line.toStdString();
    ASSERT_TRUE(
        about.grab().save(QString::fromStdString((test::OutputDir() / "about_box.png").string())));
}

TEST_F(AboutBox, FineSeenHidesItAndAboutShowsItAgainWhereTheMainWindowIsNow) {
    about.About2Click();
    QTest::mouseClick(about.BitBtn1(), Qt::LeftButton);
    EXPECT_FALSE(about.isVisible());
    mainWindow.move(10, 20);
    about.About2Click();
    EXPECT_TRUE(about.isVisible());
    EXPECT_EQ(about.pos(), QPoint(110, 50));
}

}  // namespace
}  // namespace tavrin
