#pragma once

#include <string>

#include "platform/Controls.h"
#include "platform/Grid.h"

namespace tavrin {

// The main window's controls, named as the window names them, as the engine reads and sets
// them. TTavrinForm implements it from its widgets; tavrin-cli and engine tests use PlainForm.
class Form {
public:
    virtual ~Form() = default;

    // Option check boxes and their group box.
    virtual Control& SmartReplots() = 0;
    virtual Control& RemoveQL() = 0;
    virtual Control& PSCollate() = 0;
    virtual Control& FitToPage() = 0;
    virtual Control& GroupBox3() = 0;

    // Job list controls.
    virtual Control& JobAsSet() = 0;
    virtual Control& Label3() = 0;
    virtual Control& RepMode() = 0;
    virtual Control& AddMode() = 0;
    virtual ValueControl& SpinEdit1() = 0;
    virtual Grid& StringGrid1() = 0;

    // The print button.
    virtual Control& OKPrint() = 0;

    // Scheduling.
    virtual Control& Schedule() = 0;
    virtual ValueControl& Uur() = 0;
    virtual ValueControl& Minuut() = 0;
    virtual Control& Label2() = 0;
    virtual Control& Label4() = 0;
    virtual Timer& Timer1() = 0;

    // Menu items with check marks or enabled states.
    virtual Control& Clearafterspooling1() = 0;
    virtual Control& Reverseset1() = 0;
    virtual Control& Printertype1() = 0;
    virtual Control& PortinStatusbar1() = 0;
    // The "PS fit to size:" items A5size1 .. A0size1, by index 0 (A5) .. 5 (A0).
    virtual Control& PageSizeItem(int index) = 0;
    virtual Control& Pauseprinting1() = 0;
    virtual Control& Resumeprinting1() = 0;

    virtual StatusBar& StatusBar1() = 0;

    // The window's position on the screen.
    virtual int Left() const = 0;
    virtual int Top() const = 0;
    virtual void MoveTo(int left, int top) = 0;

    // Lets the window handle the messages queued so far, then returns.
    virtual void ProcessPendingMessages() = 0;
    // A plain message box with one OK button (tavrin-cli: a line on stderr).
    virtual void ShowMessage(const std::string& text) = 0;
};

}  // namespace tavrin
