// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>

#include "spool/SpoolOptions.h"

namespace tavrin::test {

// The options the print-file rewriters read, as plain fields; the defaults are the window's.
class PlainSpoolOptions : public SpoolOptions {
public:
    bool smartReplots = false;
    bool removeQL = false;
    bool psCollate = false;
    bool fitToPage = false;
    std::optional<PageSize> pageSize = PageSize::A4;
    int fromStart = 600;
    int fromEnd = 30;
    std::string tempFilesPath;
    std::string printerName;

    bool SmartReplots() const override { return smartReplots; }
    bool RemoveQL() const override { return removeQL; }
    bool PSCollate() const override { return psCollate; }
    bool FitToPage() const override { return fitToPage; }
    std::optional<PageSize> CheckedPageSize() const override { return pageSize; }
    bool JobAsSet() const override { return false; }
    bool ClearAfterSpooling() const override { return false; }
    bool ReverseSet() const override { return false; }
    int GlobalCopies() const override { return 1; }
    int FromStart() const override { return fromStart; }
    int FromEnd() const override { return fromEnd; }
    std::string TempFilesPath() const override { return tempFilesPath; }
    std::string PrinterName() const override { return printerName; }
};

}  // namespace tavrin::test
