#pragma once

#include <string>
#include <vector>

#include "printers/DeviceClass.h"

namespace tavrin {

// The device-dependent options and what goes with them: the group box that holds them, the
// boxes "Copies by plotter" (or "by printer"), "Quality on plotter", "Collate copies" and
// "Fit to page", and the label of the global copy count.
enum class OptionBox { Group, DeviceCopies, QualityOnPlotter, Collate, FitToPage, CopiesLabel };

// One change to one of them. A change of a box's check runs that box's own rule (a front end
// whose boxes run their handlers when the program checks them gets this for free), so the order
// of the steps is part of the rule.
struct OptionStep {
    enum class Change { Caption, Visible, Checked, Enabled };
    OptionBox box;
    Change change;
    bool on = false;
    std::string caption;

    bool operator==(const OptionStep&) const = default;
};
using OptionSteps = std::vector<OptionStep>;

// A printer of this kind is chosen: the options that make sense for it. `deviceCopiesChecked`
// is whether "Copies by ..." is checked when the steps get to it.
OptionSteps OptionsForDevice(DeviceKind kind, bool deviceCopiesChecked);
// "Treat joblist as set" ticked or cleared.
OptionSteps OptionsForSetMode(bool set, bool postScript);
// "Copies by ..." ticked or cleared.
OptionSteps OptionsForDeviceCopies(bool checked, bool postScript);
// After a printer was chosen in the printer box and its kind's options shown.
OptionSteps OptionsAfterPrinterChosen(bool set, bool postScript);

// The boxes as plain values, with every rule applied as a window applies it: for a front end
// without boxes of its own, and for tests.
struct OptionBoxState {
    std::string caption;
    bool visible = true;
    bool enabled = true;
    bool checked = false;
    bool operator==(const OptionBoxState&) const = default;
};
class OptionBoxes {
public:
    OptionBoxes();
    const OptionBoxState& operator[](OptionBox box) const;
    bool setMode() const { return setMode_; }

    // A printer of `kind` chosen in the printer box.
    void ChoosePrinter(DeviceKind kind);
    // A user's click: true when the box is shown and enabled, and so changed.
    bool Tick(OptionBox box, bool checked);
    void SetSetMode(bool set);
    void Apply(const OptionSteps& steps);

private:
    OptionBoxState& at(OptionBox box);
    std::vector<OptionBoxState> boxes_;
    DeviceKind kind_ = DeviceKind::Other;
    bool setMode_ = false;
};

}  // namespace tavrin
