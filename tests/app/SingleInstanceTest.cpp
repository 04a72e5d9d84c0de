// The hand-over from a second start to the running window, and the error box text.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLocalServer>
#include <QTest>
#include <fstream>
#include <stdexcept>

#include "WindowTestSupport.h"
#include "app/ErrorBox.h"
#include "app/SingleInstance.h"
#include "platform/Error.h"
#include "support/TempFolder.h"

namespace tavrin::test {
namespace {

class SingleInstanceTest : public ::testing::Test {
protected:
    SingleInstanceTest() { EnsureApplication(); }
    QString Name() const { return QString::fromStdString((folder / "socket").string()); }
    TempFolder folder;
};

TEST_F(SingleInstanceTest, NobodyListeningMeansNoHandOver) {
    SingleInstance second(Name());
    EXPECT_FALSE(second.HandOver({"/plots/a.plt"}, 200));
}

TEST_F(SingleInstanceTest, NamesArriveInOrderAsOneBatchPerStart) {
    SingleInstance running(Name());
    ASSERT_TRUE(running.Listen());
    std::vector<std::vector<std::string>> batches;
    running.OnFiles = [&](const std::vector<std::string>& names) { batches.push_back(names); };
    SingleInstance second(Name());
    ASSERT_TRUE(second.HandOver({"/plots/a b.plt", "/plots/ü.ps"}));
    ASSERT_TRUE(second.HandOver({"/plots/c.plt"}));
    QTRY_COMPARE(batches.size(), std::size_t(2));
    EXPECT_EQ(batches[0], (std::vector<std::string>{"/plots/a b.plt", "/plots/ü.ps"}));
    EXPECT_EQ(batches[1], std::vector<std::string>{"/plots/c.plt"});
}

TEST_F(SingleInstanceTest, ASecondWindowDoesNotTakeTheNameAndALeftOverSocketIsReplaced) {
    {
        SingleInstance running(Name());
        ASSERT_TRUE(running.Listen());
        SingleInstance other(Name());
        EXPECT_FALSE(other.Listen());
    }
    // A socket file whose owner is gone.
    {
        QLocalServer stale;
        stale.setSocketOptions(QLocalServer::UserAccessOption);
        ASSERT_TRUE(stale.listen(Name()));
        stale.close();
    }
    std::ofstream(folder / "socket") << "";
    SingleInstance next(Name());
    EXPECT_TRUE(next.Listen());
    EXPECT_TRUE(next.Listening());
}

TEST(ErrorBoxTest, AFullStopFollowsALetterOrDigitOnly) {
    EXPECT_EQ(ErrorBoxText(Error("Cannot open file /a/b")), "Cannot open file /a/b.");
    EXPECT_EQ(ErrorBoxText(Error("Unable to write to 7")), "Unable to write to 7.");
    EXPECT_EQ(ErrorBoxText(Error("Already done.")), "Already done.");
    EXPECT_EQ(ErrorBoxText(Error("What?")), "What?");
    EXPECT_EQ(ErrorBoxText(Error("")), "");
}

TEST(ErrorBoxTest, AnyFailureOfAHandlerIsShownAndTheCallerGoesOn) {
    std::vector<std::string> shown;
    auto show = [&](const std::string& text) { shown.push_back(text); };
    RunGuarded([] { throw Error("'x' is not a valid integer value"); }, show);
    RunGuarded([] { throw std::runtime_error("disk full"); }, show);
    RunGuarded([] {}, show);
    EXPECT_EQ(shown, (std::vector<std::string>{"'x' is not a valid integer value.", "disk full."}));
}

}  // namespace
}  // namespace tavrin::test
