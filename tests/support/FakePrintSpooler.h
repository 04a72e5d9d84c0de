#pragma once

#include <cstddef>
#include <limits>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/Error.h"
#include "printsystem/DeviceProbe.h"
#include "printsystem/PrintSpooler.h"

namespace tavrin::test {

// One job as the fake spooler received it.
struct FakeJobRecord {
    std::string printer, documentName;
    std::string bytes;                 // every byte the spooler took
    std::vector<std::size_t> offered;  // the size of each write, in order
    bool finished = false;             // ended and accepted
    bool cancelled = false;
};

// A print spooler in memory: it records every job, counts open handles and jobs (so a test sees
// that every one was closed), and refuses or takes fewer bytes than offered where told to.
class FakePrintSpooler : public PrintSpooler {
public:
    std::vector<std::string> printers;         // in the spooler's order
    std::map<std::string, std::string> ports;  // printer -> port; missing: port unreadable
    std::set<std::string> refuseOpen;          // printers that cannot be opened
    bool refuseStart = false, refuseFinish = false;
    bool refuseCommands = false;  // every queue command is refused
    int failWriteAt = -1;         // index (0-based) of the write that fails
    int zeroProgressAt = -1;      // index of a write that takes nothing
    std::size_t maxTakenPerWrite = std::numeric_limits<std::size_t>::max();
    std::string unreachable;  // non-empty: the listing fails with this reason

    std::vector<FakeJobRecord> jobs;
    std::vector<std::pair<std::string, QueueCommand>> commands;
    std::vector<QueueJob> queue;  // what Jobs() lists
    // What Status() answers per printer (job ids are 1 + the index in `jobs`); missing: the
    // status cannot be read.
    std::map<std::string, QueueStatus> status;
    int opened = 0, openHandles = 0, liveJobs = 0, statusLooks = 0;

    std::vector<std::string> PrinterNames() override {
        return unreachable.empty() ? printers : std::vector<std::string>();
    }
    std::unique_ptr<PrinterHandle> Open(const std::string& printerName) override;
    std::string LastError() const override { return unreachable; }
};

// A device probe answering from a table; others answer their own name, `broken` ones throw.
class FakeDeviceProbe : public DeviceProbe {
public:
    std::map<std::string, DeviceAnswer> answers;
    std::set<std::string> broken;
    int probes = 0;

    DeviceAnswer Probe(const std::string& deviceName) override {
        ++probes;
        if (broken.count(deviceName))
            throw Error("the driver failed");
        const auto found = answers.find(deviceName);
        return found != answers.end() ? found->second : DeviceAnswer{deviceName, std::nullopt};
    }
};

}  // namespace tavrin::test
