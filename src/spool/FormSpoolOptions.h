#pragma once

#include "platform/Form.h"
#include "settings/Settings.h"
#include "spool/SpoolOptions.h"

namespace tavrin {

// The options of a spool run as the main window holds them: its check boxes, menu check marks
// and spin edit, and the settings variables. Every answer is read at the moment it is asked.
class FormSpoolOptions : public SpoolOptions {
public:
    FormSpoolOptions(Form& form, const Settings& settings) : form_(form), settings_(settings) {}

    bool SmartReplots() const override;
    bool RemoveQL() const override;
    bool PSCollate() const override;
    bool FitToPage() const override;
    std::optional<PageSize> CheckedPageSize() const override;
    bool JobAsSet() const override;
    bool ClearAfterSpooling() const override;
    bool ReverseSet() const override;
    int GlobalCopies() const override;
    int FromStart() const override;
    int FromEnd() const override;
    std::string TempFilesPath() const override;

private:
    Form& form_;
    const Settings& settings_;
};

}  // namespace tavrin
