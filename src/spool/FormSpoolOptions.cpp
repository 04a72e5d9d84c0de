#include "spool/FormSpoolOptions.h"

namespace tavrin {

namespace {
constexpr int kPageSizeItems = 6;
}  // namespace

bool FormSpoolOptions::SmartReplots() const {
    return form_.SmartReplots().checked();
}
bool FormSpoolOptions::RemoveQL() const {
    return form_.RemoveQL().checked();
}
bool FormSpoolOptions::PSCollate() const {
    return form_.PSCollate().checked();
}
bool FormSpoolOptions::FitToPage() const {
    return form_.FitToPage().checked();
}

std::optional<PageSize> FormSpoolOptions::CheckedPageSize() const {
    for (int i = 0; i < kPageSizeItems; ++i) {
        if (form_.PageSizeItem(i).checked())
            return static_cast<PageSize>(i);
    }
    return std::nullopt;
}

bool FormSpoolOptions::JobAsSet() const {
    return form_.JobAsSet().checked();
}
bool FormSpoolOptions::ClearAfterSpooling() const {
    return form_.Clearafterspooling1().checked();
}
bool FormSpoolOptions::ReverseSet() const {
    return form_.Reverseset1().checked();
}
int FormSpoolOptions::GlobalCopies() const {
    return form_.SpinEdit1().value();
}
int FormSpoolOptions::FromStart() const {
    return settings_.FromStart;
}
int FormSpoolOptions::FromEnd() const {
    return settings_.FromEnd;
}
std::string FormSpoolOptions::TempFilesPath() const {
    return settings_.TempFilesPath;
}

}  // namespace tavrin
