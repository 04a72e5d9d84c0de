#pragma once

#include "platform/Form.h"
#include "printers/DeviceClass.h"

namespace tavrin {

// Shows the device-dependent options that make sense for a kind of device: the group box
// GroupBox3 with SmartReplots, RemoveQL, PSCollate and FitToPage. Changes of a checked state
// run the control's click handler, so the order of the changes matters and is kept.
void SetOptionControls(Form& form, DeviceKind kind);

}  // namespace tavrin
