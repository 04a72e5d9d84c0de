// SPDX-License-Identifier: GPL-3.0-or-later
// The window asks before it sends files to a device that may not read them.
#include <QMessageBox>
#include <QTimer>

#include "WindowTestSupport.h"
#include "platform/PrivateProfile.h"
#include "support/IppEvePrinter.h"

namespace tavrin::test {
namespace {

using Server = SandboxPrintServer;
// Each question as it opens gets the next of `answers`: a click on the button of that text, else
// the Escape key. The first question of a test is saved as a screenshot.
class WrongDeviceGuardTest : public WindowFixture {
protected:
    void SetUp() override {
        WindowFixture::SetUp();
        QObject::connect(&watcher, &QTimer::timeout, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || box->objectName() != QStringLiteral("WrongDeviceQuestion"))
                return;
            questions.push_back(box->text().toStdString());
            EXPECT_TRUE(questions.size() > 1 || SaveShot(*box, shot));
            const QString answer = answers.isEmpty() ? QString() : answers.takeFirst();
            for (QAbstractButton* button : box->buttons())
                if (button->text() == answer)
                    return QTest::mouseClick(button, Qt::LeftButton);
            QTest::keyClick(box, Qt::Key_Escape);
        });
        watcher.start(10);
    }

    QStringList answers;
    Texts questions;
    QTimer watcher;
    std::string shot = "wrong-device-question";
};

TEST_F(WrongDeviceGuardTest, CancelKeepsTheListSendAnywaySendsAScheduledStartNeverAsks) {
    SKIP_WITHOUT_PRINT_SERVER();
    const std::filesystem::path ps = Sample("ghostpdl/colorcir.ps");
    Start({ps.string()});
    ChoosePrinter(Server::kHpglQueue);
    const std::size_t before = PrintServer().AllJobs(Server::kHpglQueue).size();
    const auto sent = [&](std::size_t count) {  // this test's jobs, once `count` have come
        auto jobs = PrintServer().WaitForJobs(Server::kHpglQueue, before + count);
        EXPECT_EQ(PrintServer().AllJobs(Server::kHpglQueue).size(), before + count);
        return std::vector<ReceivedJob>(jobs.begin() + static_cast<long>(before), jobs.end());
    };
    const auto caption = [this] { return Find<QPushButton>("OKPrint")->text().toStdString(); };
    const std::string idle = caption();

    answers = {"Cancel", "Send anyway"};
    Click("OKPrint");
    EXPECT_EQ(questions,
              Texts{"These files may not print on hpgl-plotter:\ncolorcir.ps (PostScript)"});
    EXPECT_EQ((std::tuple{sent(0).size(), Rows(), Panel(3), caption()}),
              (std::tuple{std::size_t{0}, Texts{ps.string()}, std::string(), idle}));
    Click("OKPrint");
    EXPECT_EQ((std::tuple{questions.size(), Panel(3)}), (std::tuple{std::size_t{2}, "Done"}));
    EXPECT_TRUE(SameContents(sent(1).at(0).file, ps));

    // Armed for a set time: asked at the press (Escape cancels, the button stays), never at the
    // start.
    Click("Schedule");
    form->Uur().SetValue(clock.now.hour);
    form->Minuut().SetValue(clock.now.minute);
    answers = {"", "Send anyway"};
    Click("OKPrint");
    Click("OKPrint");
    EXPECT_EQ(caption(), "Starts at 09:15");
    ASSERT_TRUE(QMetaObject::invokeMethod(Find<QTimer>("Timer1"), "timeout", Qt::DirectConnection));
    WaitForRunEnd();
    EXPECT_EQ((std::tuple{questions.size(), Panel(3)}), (std::tuple{std::size_t{4}, "Done"}));
    EXPECT_EQ(sent(2).size(), 2u);

    // A first run wrote no [Guard]; the check mark off is written at once and read at start.
    EXPECT_EQ(ReadFile(folders.Ini()).find("[Guard]"), std::string::npos);
    Item("WrongDeviceGuard1")->trigger();
    EXPECT_EQ(ReadProfileString(folders.Ini(), "Guard", "WrongDevice", ""), "0");
    Start({ps.string()});
    ChoosePrinter(Server::kHpglQueue);
    Click("OKPrint");
    EXPECT_EQ(questions.size(), 4u);
    EXPECT_TRUE(SameContents(sent(3).at(2).file, ps));
}

TEST_F(WrongDeviceGuardTest, APrinterThatListsWhatItReadsIsAskedAboutTheRestOnly) {
    SKIP_WITHOUT_PRINT_SERVER();
    // A plotter with a PostScript option, behind a queue: its class is HP-GL/2.
    IppEvePrinter printer("application/vnd.hp-hpgl,application/postscript,application/vnd.hp-pcl");
    const std::string admin = "CUPS_SERVER='" + PrintServer().Socket() + "' lpadmin ";
    ASSERT_EQ(RunCommand(admin + "-p peer -E -v " + printer.Uri()).exitCode, 0);
    const std::filesystem::path ps = Sample("ghostpdl/colorcir.ps");
    const std::filesystem::path pdf = folders.root / "drawing.pdf";
    WriteBytes(pdf, "%PDF-1.4\n");
    shot = "wrong-device-question-listed";
    Start({ps.string(), pdf.string()});
    ChoosePrinter("peer");
    answers = {"Cancel"};
    Click("OKPrint");
    EXPECT_EQ(questions, Texts{"These files may not print on peer:\ndrawing.pdf (PDF)"});
    Start({ps.string()});
    ChoosePrinter("peer");
    Click("OKPrint");
    EXPECT_EQ(questions.size(), 1u);
    EXPECT_EQ(Panel(3), "Done");
    // The printer writes the document as it arrives: wait for all of it, not for its name.
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            const auto documents = printer.Documents();
            return documents.size() == 1 && SameContents(documents.front(), ps);
        },
        30000));
    EXPECT_EQ(printer.Documents().size(), 1u);
    EXPECT_EQ(RunCommand(admin + "-x peer").exitCode, 0);
}

}  // namespace
}  // namespace tavrin::test
