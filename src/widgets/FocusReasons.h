#pragma once

#include <Qt>

namespace tavrin {

// Focus changes that do not mean the user left a control: another window, a popup (the context
// menu) or the menu bar took the focus for a while and will give it back.
inline bool IsPassingFocusChange(Qt::FocusReason reason) {
    return reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason ||
           reason == Qt::MenuBarFocusReason;
}

}  // namespace tavrin
