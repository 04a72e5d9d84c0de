#pragma once

#include <mutex>
#include <optional>
#include <string>

#include "spool/SpoolOptions.h"

namespace tavrin {

// Every answer of SpoolOptions as a plain value.
struct SpoolChoices {
    bool deviceCopies = false;      // SmartReplots
    bool qualityOnPlotter = false;  // RemoveQL
    bool collate = false;           // PSCollate
    bool fitToPage = false;
    std::optional<PageSize> pageSize = PageSize::A4;
    bool jobAsSet = false;
    bool clearAfterSpooling = false;
    bool reverseSet = false;
    int globalCopies = 1;
    int fromStart = 0;
    int fromEnd = 0;
    std::string tempFilesPath;
    std::string printerName;

    bool operator==(const SpoolChoices&) const = default;
};

// SpoolOptions that answer from choices a front end sets, on any thread: a run under way reads
// each answer as the choices are at that moment.
class ChosenSpoolOptions final : public SpoolOptions {
public:
    explicit ChosenSpoolOptions(SpoolChoices choices = {}) : choices_(std::move(choices)) {}

    void Set(SpoolChoices choices) {
        std::lock_guard lock(mutex_);
        choices_ = std::move(choices);
    }
    SpoolChoices Get() const {
        std::lock_guard lock(mutex_);
        return choices_;
    }

    bool SmartReplots() const override { return Get().deviceCopies; }
    bool RemoveQL() const override { return Get().qualityOnPlotter; }
    bool PSCollate() const override { return Get().collate; }
    bool FitToPage() const override { return Get().fitToPage; }
    std::optional<PageSize> CheckedPageSize() const override { return Get().pageSize; }
    bool JobAsSet() const override { return Get().jobAsSet; }
    bool ClearAfterSpooling() const override { return Get().clearAfterSpooling; }
    bool ReverseSet() const override { return Get().reverseSet; }
    int GlobalCopies() const override { return Get().globalCopies; }
    int FromStart() const override { return Get().fromStart; }
    int FromEnd() const override { return Get().fromEnd; }
    std::string TempFilesPath() const override { return Get().tempFilesPath; }
    std::string PrinterName() const override { return Get().printerName; }

private:
    mutable std::mutex mutex_;
    SpoolChoices choices_;
};

}  // namespace tavrin
