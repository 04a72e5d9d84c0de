#include "printers/OptionRules.h"

#include <stdexcept>

namespace tavrin {
namespace {

using Change = OptionStep::Change;

OptionStep Caption(OptionBox box, std::string caption) {
    return {box, Change::Caption, false, std::move(caption)};
}
OptionStep Set(OptionBox box, Change change, bool on) {
    return {box, change, on, {}};
}

void ShowGroup(OptionSteps& steps, const char* caption) {
    steps.push_back(Caption(OptionBox::Group, caption));
    steps.push_back(Set(OptionBox::Group, Change::Visible, true));
}

void ShowDeviceCopies(OptionSteps& steps, const char* caption, bool clear) {
    steps.push_back(Caption(OptionBox::DeviceCopies, caption));
    steps.push_back(Set(OptionBox::DeviceCopies, Change::Visible, true));
    if (clear)
        steps.push_back(Set(OptionBox::DeviceCopies, Change::Checked, false));
    steps.push_back(Set(OptionBox::DeviceCopies, Change::Enabled, true));
}

void HideAndClear(OptionSteps& steps, OptionBox box) {
    steps.push_back(Set(box, Change::Visible, false));
    steps.push_back(Set(box, Change::Checked, false));
}

}  // namespace

OptionSteps OptionsForDevice(DeviceKind kind, bool deviceCopiesChecked) {
    OptionSteps steps;
    switch (kind) {
        case DeviceKind::HpGl2:
            ShowGroup(steps, "HPGL/2 devices only");
            ShowDeviceCopies(steps, "Copies by plotter", true);
            steps.push_back(Set(OptionBox::QualityOnPlotter, Change::Visible, true));
            steps.push_back(Set(OptionBox::QualityOnPlotter, Change::Checked, false));
            steps.push_back(Set(OptionBox::QualityOnPlotter, Change::Enabled, true));
            steps.push_back(Set(OptionBox::Collate, Change::Enabled, false));
            steps.push_back(Set(OptionBox::FitToPage, Change::Visible, false));
            break;
        case DeviceKind::PostScript:
            ShowGroup(steps, "PS devices only");
            ShowDeviceCopies(steps, "Copies by printer", false);
            if (deviceCopiesChecked)
                steps.push_back(Set(OptionBox::Collate, Change::Enabled, true));
            steps.push_back(Set(OptionBox::QualityOnPlotter, Change::Visible, false));
            steps.push_back(Set(OptionBox::FitToPage, Change::Visible, true));
            break;
        case DeviceKind::Oce:
            ShowGroup(steps, "Oce devices only");
            ShowDeviceCopies(steps, "Copies by plotter", true);
            steps.push_back(Set(OptionBox::Collate, Change::Enabled, false));
            HideAndClear(steps, OptionBox::QualityOnPlotter);
            HideAndClear(steps, OptionBox::FitToPage);
            break;
        case DeviceKind::Other:
            steps.push_back(Set(OptionBox::Group, Change::Visible, false));
            HideAndClear(steps, OptionBox::DeviceCopies);
            HideAndClear(steps, OptionBox::QualityOnPlotter);
            HideAndClear(steps, OptionBox::FitToPage);
            break;
    }
    return steps;
}

OptionSteps OptionsForSetMode(bool set, bool postScript) {
    if (set)
        return {Set(OptionBox::Collate, Change::Enabled, false),
                Set(OptionBox::Collate, Change::Checked, false),
                Set(OptionBox::DeviceCopies, Change::Enabled, false),
                Set(OptionBox::DeviceCopies, Change::Checked, false),
                Caption(OptionBox::CopiesLabel, "Number of sets")};
    OptionSteps steps;
    if (postScript)
        steps.push_back(Set(OptionBox::Collate, Change::Enabled, true));
    steps.push_back(Set(OptionBox::DeviceCopies, Change::Enabled, true));
    steps.push_back(Caption(OptionBox::CopiesLabel, "Global # of copies"));
    return steps;
}

OptionSteps OptionsForDeviceCopies(bool checked, bool postScript) {
    if (checked && postScript)
        return {Set(OptionBox::Collate, Change::Enabled, true)};
    return {Set(OptionBox::Collate, Change::Enabled, false),
            Set(OptionBox::Collate, Change::Checked, false)};
}

OptionSteps OptionsAfterPrinterChosen(bool set, bool postScript) {
    if (set)
        return {Set(OptionBox::DeviceCopies, Change::Enabled, false),
                Set(OptionBox::Collate, Change::Enabled, false)};
    if (postScript)
        return {Set(OptionBox::DeviceCopies, Change::Enabled, true),
                Set(OptionBox::Collate, Change::Enabled, true)};
    return {};
}

OptionBoxes::OptionBoxes()
    : boxes_{{"HP DesignJets only"},
             {"Copies by plotter", true, false},
             {"Quality on plotter", true, false},
             {"Collate copies", true, false},
             {"Fit to page"},
             {"Global # of copies"}} {}

const OptionBoxState& OptionBoxes::operator[](OptionBox box) const {
    return boxes_.at(static_cast<std::size_t>(box));
}
OptionBoxState& OptionBoxes::at(OptionBox box) {
    return boxes_.at(static_cast<std::size_t>(box));
}

void OptionBoxes::Apply(const OptionSteps& steps) {
    for (const OptionStep& step : steps) {
        OptionBoxState& state = at(step.box);
        switch (step.change) {
            case Change::Caption:
                state.caption = step.caption;
                break;
            case Change::Visible:
                state.visible = step.on;
                break;
            case Change::Enabled:
                state.enabled = step.on;
                break;
            case Change::Checked:
                if (state.checked == step.on)
                    break;
                state.checked = step.on;
                // As a window's box runs its click handler.
                if (step.box == OptionBox::DeviceCopies)
                    Apply(OptionsForDeviceCopies(step.on, kind_ == DeviceKind::PostScript));
                break;
        }
    }
}

void OptionBoxes::ChoosePrinter(DeviceKind kind) {
    kind_ = kind;
    Apply(OptionsForDevice(kind, at(OptionBox::DeviceCopies).checked));
    Apply(OptionsAfterPrinterChosen(setMode_, kind == DeviceKind::PostScript));
}

bool OptionBoxes::Tick(OptionBox box, bool checked) {
    const OptionBoxState& state = at(box);
    if (!state.visible || !state.enabled)
        return false;
    Apply({Set(box, Change::Checked, checked)});
    return true;
}

void OptionBoxes::SetSetMode(bool set) {
    if (set == setMode_)
        return;
    setMode_ = set;
    Apply(OptionsForSetMode(set, kind_ == DeviceKind::PostScript));
}

}  // namespace tavrin
