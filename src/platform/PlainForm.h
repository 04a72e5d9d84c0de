#pragma once

#include <array>
#include <functional>
#include <string>

#include "platform/Form.h"
#include "platform/PrintButtonCaptions.h"

namespace tavrin {

// The main window's controls in memory, in their start-up states, for tavrin-cli and for tests of
// the engine logic. The click and change handlers are wired by whoever owns the form (through the
// onClick / onChange members of the plain controls).
class PlainForm : public Form {
public:
    explicit PlainForm(Grid& grid) : grid_(grid) {
        pageSizes_[1].setChecked(true);  // "A4 size"
    }

    PlainControl smartReplots{"Copies by plotter", false, false};
    PlainControl removeQL{"Quality on plotter", false, false};
    PlainControl psCollate{"Collate copies", false, false};
    PlainControl fitToPage{"Fit to page"};
    PlainControl groupBox3{"HP DesignJets only"};
    PlainControl jobAsSet{"Treat joblist as set"};
    PlainControl label3{"Global # of copies"};
    PlainControl repMode{"New", true};
    PlainControl addMode{"Add"};
    PlainValueControl spinEdit1{1};
    PlainControl okPrint{kPrintCaptionAtStart};
    PlainControl schedule{"Schedule"};
    PlainValueControl uur{12};
    PlainValueControl minuut{0};
    PlainControl label2{"Hrs"};
    PlainControl label4{"Min"};
    PlainTimer timer1;
    PlainControl clearAfterSpooling1{"C&lear list after spooling"};
    PlainControl reverseSet1{"Re&verse set order"};
    PlainControl printertype1{"Printer&type in statusbar"};
    PlainControl portinStatusbar1{"Printerp&ort in statusbar"};
    PlainControl pausePrinting1{"&Pause printing"};
    PlainControl resumePrinting1{"&Resume printing"};
    PlainStatusBar statusBar1;
    int left = 273;
    int top = 173;

    // Called by ProcessPendingMessages and ShowMessage; both do nothing when unset.
    std::function<void()> onProcessMessages;
    std::function<void(const std::string&)> onShowMessage;

    Control& SmartReplots() override { return smartReplots; }
    Control& RemoveQL() override { return removeQL; }
    Control& PSCollate() override { return psCollate; }
    Control& FitToPage() override { return fitToPage; }
    Control& GroupBox3() override { return groupBox3; }
    Control& JobAsSet() override { return jobAsSet; }
    Control& Label3() override { return label3; }
    Control& RepMode() override { return repMode; }
    Control& AddMode() override { return addMode; }
    ValueControl& SpinEdit1() override { return spinEdit1; }
    Grid& StringGrid1() override { return grid_; }
    Control& OKPrint() override { return okPrint; }
    Control& Schedule() override { return schedule; }
    ValueControl& Uur() override { return uur; }
    ValueControl& Minuut() override { return minuut; }
    Control& Label2() override { return label2; }
    Control& Label4() override { return label4; }
    Timer& Timer1() override { return timer1; }
    Control& Clearafterspooling1() override { return clearAfterSpooling1; }
    Control& Reverseset1() override { return reverseSet1; }
    Control& Printertype1() override { return printertype1; }
    Control& PortinStatusbar1() override { return portinStatusbar1; }
    Control& PageSizeItem(int index) override { return pageSizes_.at(index); }
    Control& Pauseprinting1() override { return pausePrinting1; }
    Control& Resumeprinting1() override { return resumePrinting1; }
    StatusBar& StatusBar1() override { return statusBar1; }
    int Left() const override { return left; }
    int Top() const override { return top; }
    void MoveTo(int newLeft, int newTop) override {
        left = newLeft;
        top = newTop;
    }
    void ProcessPendingMessages() override {
        if (onProcessMessages)
            onProcessMessages();
    }
    void ShowMessage(const std::string& text) override {
        if (onShowMessage)
            onShowMessage(text);
    }

private:
    Grid& grid_;
    std::array<PlainControl, 6> pageSizes_{PlainControl{"A5 size"}, PlainControl{"A4 size"},
                                           PlainControl{"A3 size"}, PlainControl{"A2 size"},
                                           PlainControl{"A1 size"}, PlainControl{"A0 size"}};
};

}  // namespace tavrin
