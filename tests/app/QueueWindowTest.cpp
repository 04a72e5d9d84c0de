#include "app/QueueWindow.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QTimer>
#include <QTreeWidget>

#include <fstream>

#include "platform/CupsPrintSpooler.h"
#include "support/FakePrintSpooler.h"
#include "support/SandboxPrintServer.h"
#include "support/TestApplication.h"
#include "support/TestPaths.h"

namespace tavrin {
namespace {

namespace fs = std::filesystem;

std::vector<QueueWindow*> OpenQueueWindows() {
    std::vector<QueueWindow*> windows;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* window = qobject_cast<QueueWindow*>(widget); window && window->isVisible())
            windows.push_back(window);
    }
    return windows;
}

std::vector<std::string> Row(const QueueWindow& window, int row) {
    std::vector<std::string> texts;
    const QTreeWidgetItem* item = window.JobList()->topLevelItem(row);
    if (!item)
        return texts;
    for (int col = 0; col < 5; ++col)
        texts.push_back(item->text(col).toStdString());
    return texts;
}

void SaveScreenshot(QWidget& window, const char* name) {
    ASSERT_TRUE(window.grab().save(QString::fromStdString((test::OutputDir() / name).string())));
}

class QueueWindowOnFake : public ::testing::Test {
protected:
    QueueWindowOnFake() {
        spooler.printers = {"plotter", "laser"};
        spooler.queue = {{12, "XANADU-PLT-test.plt", 132, QueueJobState::Processing, 0},
                         {13, "acad.hp", 30, QueueJobState::Pending, 0}};
    }
    ~QueueWindowOnFake() override {
        for (QueueWindow* window : OpenQueueWindows())
            delete window;
    }

    test::UsesApplication app;
    test::FakePrintSpooler spooler;
    QWidget owner;
};

TEST_F(QueueWindowOnFake, AnUnknownPrinterOpensNothing) {
    EXPECT_FALSE(QueueWindow::ShowPrinterQueue(spooler, "gone", &owner));
    EXPECT_FALSE(QueueWindow::ShowPrinterQueue(spooler, "", &owner));
    EXPECT_TRUE(OpenQueueWindows().empty());
    EXPECT_EQ(spooler.openHandles, 0);
}

TEST_F(QueueWindowOnFake, ListsTheJobsOfThePrinterItNames) {
    ASSERT_TRUE(QueueWindow::ShowPrinterQueue(spooler, "plotter", &owner));
    QueueWindow* window = QueueWindow::Find("plotter");
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->parentWidget(), &owner);
    EXPECT_EQ(window->windowTitle(), "plotter - print queue");
    ASSERT_EQ(window->JobList()->topLevelItemCount(), 2);
    EXPECT_EQ(Row(*window, 0),
              (std::vector<std::string>{"12", "XANADU-PLT-test.plt", "132 KB", "Printing", ""}));
    EXPECT_EQ(Row(*window, 1), (std::vector<std::string>{"13", "acad.hp", "30 KB", "Waiting", ""}));
    EXPECT_EQ(window->StatusLine()->text(), "2 jobs in the queue");
    EXPECT_TRUE(window->RefreshTimer()->isActive());
    EXPECT_EQ(window->RefreshTimer()->interval(), 2000);
    EXPECT_EQ(spooler.openHandles, 0);
}

TEST_F(QueueWindowOnFake, OneWindowPerPrinter) {
    ASSERT_TRUE(QueueWindow::ShowPrinterQueue(spooler, "plotter", &owner));
    QueueWindow* first = QueueWindow::Find("plotter");
    ASSERT_TRUE(QueueWindow::ShowPrinterQueue(spooler, "plotter", &owner));
    EXPECT_EQ(OpenQueueWindows().size(), 1u);
    EXPECT_EQ(QueueWindow::Find("plotter"), first);
    ASSERT_TRUE(QueueWindow::ShowPrinterQueue(spooler, "laser", &owner));
    EXPECT_EQ(OpenQueueWindows().size(), 2u);
    EXPECT_NE(QueueWindow::Find("laser"), first);
}

TEST_F(QueueWindowOnFake, AClosedWindowGoesAwayAndOpensAfresh) {
    ASSERT_TRUE(QueueWindow::ShowPrinterQueue(spooler, "plotter", &owner));
    QPointer<QueueWindow> first = QueueWindow::Find("plotter");
    first->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(first.isNull());
    EXPECT_EQ(QueueWindow::Find("plotter"), nullptr);
    ASSERT_TRUE(QueueWindow::ShowPrinterQueue(spooler, "plotter", &owner));
    EXPECT_NE(QueueWindow::Find("plotter"), nullptr);
}

TEST_F(QueueWindowOnFake, ARefreshFollowsTheQueueAndKeepsTheSelectedJob) {
    ASSERT_TRUE(QueueWindow::ShowPrinterQueue(spooler, "plotter", &owner));
    QueueWindow* window = QueueWindow::Find("plotter");
    window->JobList()->setCurrentItem(window->JobList()->topLevelItem(1));  // job 13

    spooler.queue = {{13, "acad.hp", 30, QueueJobState::Processing, 0},
                     {14, "inter.hp", 70, QueueJobState::Held, 0},
                     {15, "pages.hp", 1, QueueJobState::Pending, 0}};
    window->Refresh();
    ASSERT_EQ(window->JobList()->topLevelItemCount(), 3);
    EXPECT_EQ(Row(*window, 0),
              (std::vector<std::string>{"13", "acad.hp", "30 KB", "Printing", ""}));
    EXPECT_EQ(Row(*window, 2), (std::vector<std::string>{"15", "pages.hp", "1 KB", "Waiting", ""}));
    ASSERT_NE(window->JobList()->currentItem(), nullptr);
    EXPECT_EQ(window->JobList()->currentItem()->text(0), "13");

    spooler.queue.clear();
    window->Refresh();
    EXPECT_EQ(window->JobList()->topLevelItemCount(), 0);
    EXPECT_EQ(window->StatusLine()->text(), "No jobs in the queue");
}

TEST_F(QueueWindowOnFake, AQueueThatCannotBeReadKeepsTheLastListGreyed) {
    ASSERT_TRUE(QueueWindow::ShowPrinterQueue(spooler, "plotter", &owner));
    QueueWindow* window = QueueWindow::Find("plotter");
    spooler.refuseOpen.insert("plotter");
    window->Refresh();
    EXPECT_EQ(window->JobList()->topLevelItemCount(), 2);
    EXPECT_FALSE(window->JobList()->isEnabled());
    EXPECT_EQ(window->StatusLine()->text(),
              "The queue of plotter cannot be read: The printer or class does not exist.");
    spooler.refuseOpen.clear();
    window->Refresh();
    EXPECT_TRUE(window->JobList()->isEnabled());
    EXPECT_EQ(window->StatusLine()->text(), "2 jobs in the queue");
}

TEST(QueueWindowOnPrintServer, ListsTheJobsWaitingInAPausedQueue) {
    test::UsesApplication app;
    test::SandboxPrintServer server;
    CupsPrintSpooler spooler;
    const std::string plotter = test::SandboxPrintServer::kHpglQueue;
    ASSERT_TRUE(spooler.Open(plotter)->Send(QueueCommand::Pause));
    for (const fs::path& file : {test::SamplesDir() / "jem-green-HPGL2/XANADU-PLT-test.plt",
                                 test::SamplesDir() / "hp2xx/acad.hp"}) {
        const auto job = spooler.Open(plotter)->StartRawDocument(file.filename().string());
        std::ifstream in(file, std::ios::binary);
        std::vector<char> buffer(16384);
        while (in.read(buffer.data(), static_cast<std::streamsize>(buffer.size())) || in.gcount()) {
            ASSERT_EQ(job->Write(buffer.data(), static_cast<std::size_t>(in.gcount())),
                      static_cast<std::size_t>(in.gcount()));
        }
        ASSERT_TRUE(job->Finish()) << job->error();
    }

    QWidget owner;
    EXPECT_FALSE(QueueWindow::ShowPrinterQueue(spooler, "no-such-queue", &owner));
    ASSERT_TRUE(QueueWindow::ShowPrinterQueue(spooler, plotter, &owner));
    QueueWindow* window = QueueWindow::Find(plotter);
    ASSERT_NE(window, nullptr);
    ASSERT_EQ(window->JobList()->topLevelItemCount(), 2);
    const auto first = Row(*window, 0);
    const auto second = Row(*window, 1);
    EXPECT_EQ(first[1], "XANADU-PLT-test.plt");
    EXPECT_EQ(first[2], "132 KB");  // 134688 bytes
    EXPECT_EQ(first[3], "Waiting");
    EXPECT_EQ(first[4].size(), 19u);
    EXPECT_EQ(second[1], "acad.hp");
    EXPECT_EQ(second[3], "Waiting");
    EXPECT_LT(std::stoi(first[0]), std::stoi(second[0]));
    EXPECT_TRUE(server.ReceivedFiles(plotter).empty());
    SaveScreenshot(*window, "queue_window.png");
    delete window;
}

}  // namespace
}  // namespace tavrin
