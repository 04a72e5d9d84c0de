#include "printers/QueueManagement.h"

#include <gtest/gtest.h>

#include "joblist/GridModel.h"
#include "platform/PlainForm.h"
#include "support/FakePrintSpooler.h"

namespace tavrin {
namespace {

using Commands = std::vector<std::pair<std::string, QueueCommand>>;

// A spooler that opens every printer but refuses every queue command.
class RefusingSpooler : public PrintSpooler {
public:
    std::vector<std::string> PrinterNames() override { return {"plotter"}; }
    std::unique_ptr<PrinterHandle> Open(const std::string&) override {
        return std::make_unique<Handle>();
    }
    std::string LastError() const override { return {}; }

private:
    class Handle : public PrinterHandle {
    public:
        bool ok() const override { return true; }
        std::string error() const override { return {}; }
        std::optional<std::string> PortName() override { return std::nullopt; }
        std::unique_ptr<PrintJob> StartRawDocument(const std::string&) override { return {}; }
        bool Send(QueueCommand) override { return false; }
        std::optional<std::vector<QueueJob>> Jobs() override { return std::nullopt; }
    };
};

class QueueCommands : public ::testing::Test {
protected:
    QueueCommands() {
        spooler.printers = {"plotter", "laser"};
        form.resumePrinting1.setEnabled(false);  // as after start-up
    }

    test::FakePrintSpooler spooler;
    GridModel grid;
    PlainForm form{grid};
};

TEST_F(QueueCommands, PauseSendsPauseToTheNamedPrinterAndSwapsTheMenuItems) {
    const QueueCommandResult result = Pauseprinting1Click(form, spooler, "laser");
    EXPECT_TRUE(result.accepted);
    EXPECT_EQ(result.refusal, "");
    EXPECT_EQ(spooler.commands, (Commands{{"laser", QueueCommand::Pause}}));
    EXPECT_FALSE(form.pausePrinting1.enabled());
    EXPECT_TRUE(form.resumePrinting1.enabled());
    EXPECT_EQ(spooler.openHandles, 0);
}

TEST_F(QueueCommands, ResumeSendsResumeAndSwapsTheMenuItemsBack) {
    Pauseprinting1Click(form, spooler, "plotter");
    const QueueCommandResult result = Resumeprinting1Click(form, spooler, "plotter");
    EXPECT_TRUE(result.accepted);
    EXPECT_EQ(spooler.commands,
              (Commands{{"plotter", QueueCommand::Pause}, {"plotter", QueueCommand::Resume}}));
    EXPECT_TRUE(form.pausePrinting1.enabled());
    EXPECT_FALSE(form.resumePrinting1.enabled());
    EXPECT_EQ(spooler.openHandles, 0);
}

TEST_F(QueueCommands, ResumeGoesToThePrinterSelectedNowNotToThePausedOne) {
    Pauseprinting1Click(form, spooler, "plotter");
    Resumeprinting1Click(form, spooler, "laser");
    EXPECT_EQ(spooler.commands,
              (Commands{{"plotter", QueueCommand::Pause}, {"laser", QueueCommand::Resume}}));
}

TEST_F(QueueCommands, PurgeRestoresTheButtonCaptionButNotItsEnabledStateNorTheSchedule) {
    form.okPrint.setCaption("Busy!");
    form.okPrint.setEnabled(false);
    form.timer1.setEnabled(true);
    const QueueCommandResult result = ClearQueu1Click(form, spooler, "plotter");
    EXPECT_TRUE(result.accepted);
    EXPECT_EQ(spooler.commands, (Commands{{"plotter", QueueCommand::Purge}}));
    EXPECT_EQ(form.okPrint.caption(), "     &OK, Print!!");
    EXPECT_FALSE(form.okPrint.enabled());
    EXPECT_TRUE(form.timer1.enabled());
    // The menu items follow pause and resume only.
    EXPECT_TRUE(form.pausePrinting1.enabled());
    EXPECT_FALSE(form.resumePrinting1.enabled());
}

TEST_F(QueueCommands, AnUnknownPrinterIsReportedToTheCallerOnlyAndTheMenuStillSwitches) {
    QueueCommandResult result;
    EXPECT_NO_THROW(result = Pauseprinting1Click(form, spooler, "gone"));
    EXPECT_FALSE(result.accepted);
    EXPECT_EQ(result.refusal, "Cannot open printer gone: The printer or class does not exist.");
    EXPECT_TRUE(spooler.commands.empty());
    EXPECT_FALSE(form.pausePrinting1.enabled());
    EXPECT_TRUE(form.resumePrinting1.enabled());
    EXPECT_EQ(spooler.openHandles, 0);

    form.okPrint.setCaption("Busy!");
    result = ClearQueu1Click(form, spooler, "");
    EXPECT_FALSE(result.accepted);
    EXPECT_EQ(form.okPrint.caption(), "     &OK, Print!!");
}

TEST_F(QueueCommands, ARefusedCommandNamesTheCommandAndThePrinter) {
    RefusingSpooler refusing;
    EXPECT_EQ(Pauseprinting1Click(form, refusing, "plotter").refusal,
              "The print spooler refused to pause the queue of printer plotter");
    EXPECT_EQ(Resumeprinting1Click(form, refusing, "plotter").refusal,
              "The print spooler refused to resume the queue of printer plotter");
    EXPECT_EQ(ClearQueu1Click(form, refusing, "plotter").refusal,
              "The print spooler refused to purge the queue of printer plotter");
    EXPECT_TRUE(form.pausePrinting1.enabled());
    EXPECT_FALSE(form.resumePrinting1.enabled());
}

}  // namespace
}  // namespace tavrin
