#include "printers/OptionControls.h"

namespace tavrin {
namespace {

void ShowGroup(Form& form, const char* caption) {
    form.GroupBox3().setCaption(caption);
    form.GroupBox3().setVisible(true);
}

void ShowSmartReplots(Form& form, const char* caption, bool clear) {
    Control& smartReplots = form.SmartReplots();
    smartReplots.setCaption(caption);
    smartReplots.setVisible(true);
    if (clear)
        smartReplots.setChecked(false);
    smartReplots.setEnabled(true);
}

void HideAndClear(Control& control) {
    control.setVisible(false);
    control.setChecked(false);
}

}  // namespace

void SetOptionControls(Form& form, DeviceKind kind) {
    switch (kind) {
        case DeviceKind::HpGl2:
            ShowGroup(form, "HPGL/2 devices only");
            ShowSmartReplots(form, "Copies by plotter", true);
            form.RemoveQL().setVisible(true);
            form.RemoveQL().setChecked(false);
            form.RemoveQL().setEnabled(true);
            form.PSCollate().setEnabled(false);
            form.FitToPage().setVisible(false);
            break;
        case DeviceKind::PostScript:
            ShowGroup(form, "PS devices only");
            ShowSmartReplots(form, "Copies by printer", false);
            if (form.SmartReplots().checked())
                form.PSCollate().setEnabled(true);
            form.RemoveQL().setVisible(false);
            form.FitToPage().setVisible(true);
            break;
        case DeviceKind::Oce:
            ShowGroup(form, "Oce devices only");
            ShowSmartReplots(form, "Copies by plotter", true);
            form.PSCollate().setEnabled(false);
            HideAndClear(form.RemoveQL());
            HideAndClear(form.FitToPage());
            break;
        case DeviceKind::Other:
            form.GroupBox3().setVisible(false);
            HideAndClear(form.SmartReplots());
            HideAndClear(form.RemoveQL());
            HideAndClear(form.FitToPage());
            break;
    }
}

}  // namespace tavrin
