#include "platform/CupsPrintSpooler.h"

#include "platform/CupsPrinterHandle.h"

namespace tavrin {

std::vector<std::string> CupsPrintSpooler::PrinterNames() {
    lastError_.clear();
    CupsConnection connection(timeouts_);
    if (!connection.ok()) {
        lastError_ = connection.error();
        return {};
    }
    cups_dest_t* dests = nullptr;
    int count = cupsGetDests2(connection.http(), &dests);
    if (count == 0 && (connection.timedOut() || (cupsLastError() > IPP_STATUS_OK_EVENTS_COMPLETE &&
                                                 cupsLastError() != IPP_STATUS_ERROR_NOT_FOUND))) {
        lastError_ = connection.FailureText();
    }
    std::vector<std::string> names;
    for (int i = 0; i < count; ++i) {
        // Instances (NAME/INSTANCE) are option sets of the same queue, not printers.
        if (dests[i].instance == nullptr)
            names.emplace_back(dests[i].name);
    }
    cupsFreeDests(count, dests);
    return names;
}

std::unique_ptr<PrinterHandle> CupsPrintSpooler::Open(const std::string& printerName) {
    return std::make_unique<CupsPrinterHandle>(printerName, timeouts_);
}

}  // namespace tavrin
