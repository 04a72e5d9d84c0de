// The spool run over the real CUPS spooler when its queue or its server goes away mid-run: the
// remaining sends are refused, the run ends normally and says what was not sent.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "joblist/GridModel.h"
#include "platform/CupsDeviceProbe.h"
#include "platform/CupsPrintSpooler.h"
#include "platform/PlainForm.h"
#include "spool/Clock.h"
#include "spool/Session.h"
#include "support/SandboxPrintServer.h"
#include "support/ScratchFolder.h"
#include "support/TestPaths.h"

namespace tavrin {
namespace {

namespace fs = std::filesystem;
using Server = test::SandboxPrintServer;

class SpoolRunServerLoss : public ::testing::Test {
protected:
    SpoolRunServerLoss() {
        LayOutJobListGrid(grid);
        form.onShowMessage = [this](const std::string& text) { messages.push_back(text); };
        form.onProcessMessages = [this] {
            if (++rows == 1 && afterFirstRow)
                afterFirstRow();
        };
        WirePlainForm(form, session);
        Settings settings;
        settings.TempFilesPath = folder.path().string();
        session.FormCreate(settings);
    }

    void Select(const std::string& queue) {
        const auto& names = session.printers().Printers();
        for (std::size_t i = 0; i < names.size(); ++i) {
            if (names[i] == queue)
                session.PrinterListChange(static_cast<int>(i));
        }
        ASSERT_EQ(session.printers().PrinterName(), queue);
    }

    void ListSamples() {
        session.AddFiles({(test::SamplesDir() / "hp2xx/inter.hp").string(),
                          (test::SamplesDir() / "hp2xx/dt.plt").string(),
                          (test::SamplesDir() / "hp2xx/pages.hp").string()});
    }

    Server server;  // first: the spooler below finds its queues
    test::ScratchFolder folder;
    GridModel grid;
    PlainForm form{grid};
    CupsPrintSpooler spooler{CupsTimeouts{2000, 10.0}};
    CupsDeviceProbe probe{CupsTimeouts{2000, 10.0}};
    LocalClock clock;
    Session session{
        form, spooler, probe, clock,
        SettingsLocation{folder / "tavrin.ini", folder.path().string(), folder.path().string()}};
    std::vector<std::string> messages;
    int rows = 0;
    std::function<void()> afterFirstRow;
};

TEST_F(SpoolRunServerLoss, QueueRemovedMidRun) {
    Select(Server::kHpglQueue);
    form.smartReplots.setChecked(true);
    ListSamples();
    grid.setCell(1, 1, "2");
    afterFirstRow = [this] {
        server.WaitForJobs(Server::kHpglQueue, 1);
        ASSERT_EQ(std::system("lpadmin -x hpgl-plotter"), 0);
    };
    EXPECT_NO_THROW(session.OKPrintClick());

    EXPECT_EQ(rows, 3);
    EXPECT_EQ(form.statusBar1.panel(3), "Failed");
    EXPECT_EQ(messages, std::vector<std::string>{"Not sent to hpgl-plotter:\ndt.plt\npages.hp"});
    EXPECT_EQ(form.okPrint.caption(), "&OK, Print!!");
    EXPECT_TRUE(form.okPrint.enabled());
    const auto received = server.ReceivedFiles(Server::kHpglQueue);
    ASSERT_EQ(received.size(), 1u);
    // The first row went as one job whose replot follows the tail's page instruction.
    const std::string source = test::ReadBytes(test::SamplesDir() / "hp2xx/inter.hp");
    const std::size_t end = source.size() - 3;  // "PG;SP;": the ";" of PG ends 3 bytes early
    EXPECT_EQ(test::ReadBytes(received[0]), source.substr(0, end) + "RP1;;" + source.substr(end));
}

TEST_F(SpoolRunServerLoss, ServerStoppedMidRun) {
    Select(Server::kRawQueue);
    ListSamples();
    afterFirstRow = [this] {
        server.WaitForJobs(Server::kRawQueue, 1);
        server.Stop();
    };
    EXPECT_NO_THROW(session.OKPrintClick());

    EXPECT_EQ(rows, 3);
    EXPECT_EQ(form.statusBar1.panel(3), "Failed");
    EXPECT_EQ(messages, std::vector<std::string>{"Not sent to raw-printer:\ndt.plt\npages.hp"});
    EXPECT_TRUE(form.okPrint.enabled());
    const auto received = server.ReceivedFiles(Server::kRawQueue);
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(test::ReadBytes(received[0]), test::ReadBytes(test::SamplesDir() / "hp2xx/inter.hp"));
    EXPECT_EQ(session.runner().LastRun().accepted, 1);
}

}  // namespace
}  // namespace tavrin
