#include "printsystem/CupsPrintSpooler.h"

#include "printsystem/CupsDeviceProbe.h"
#include "printsystem/CupsPrinterHandle.h"
#include "printsystem/CupsQueueList.h"
#include "printsystem/SystemSpooler.h"

namespace tavrin {

std::vector<std::string> CupsPrintSpooler::PrinterNames() {
    lastError_.clear();
    CupsConnection connection(timeouts_);
    if (!connection.ok()) {
        lastError_ = connection.error();
        return {};
    }
    const std::optional<std::vector<CupsQueueEntry>> queues = ListQueues(connection);
    if (!queues) {
        lastError_ = connection.FailureText();
        return {};
    }
    std::vector<std::string> names;
    for (const CupsQueueEntry& queue : *queues)
        names.push_back(queue.name);
    return names;
}

std::unique_ptr<PrinterHandle> CupsPrintSpooler::Open(const std::string& printerName) {
    return std::make_unique<CupsPrinterHandle>(printerName, timeouts_);
}

}  // namespace tavrin

namespace tavrin {

std::unique_ptr<PrintSpooler> MakeSystemSpooler(const CupsTimeouts& timeouts) {
    return std::make_unique<CupsPrintSpooler>(timeouts);
}

std::unique_ptr<DeviceProbe> MakeSystemDeviceProbe(const CupsTimeouts& timeouts) {
    return std::make_unique<CupsDeviceProbe>(timeouts);
}

}  // namespace tavrin
