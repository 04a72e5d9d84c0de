#pragma once

#include <cstddef>
#include <limits>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/PrintSpooler.h"

namespace tavrin::test {

// One job as the fake spooler received it.
struct FakeJobRecord {
    std::string printer;
    std::string documentName;
    std::string bytes;                 // every byte the spooler took
    std::vector<std::size_t> offered;  // the size of each write, in order
    bool finished = false;             // ended and accepted
    bool cancelled = false;
};

// A print spooler in memory for tests of the logic above it. It records every job with its
// name and bytes, counts open handles and jobs (so a test sees that every one was closed), and
// can be told to refuse at open, start, write or finish, or to take fewer bytes than offered.
class FakePrintSpooler : public PrintSpooler {
public:
    std::vector<std::string> printers;         // in the spooler's order
    std::map<std::string, std::string> ports;  // printer -> port; missing: port unreadable
    std::set<std::string> refuseOpen;          // printers that cannot be opened
    bool refuseStart = false;
    bool refuseFinish = false;
    bool refuseEmptyFinish = false;  // refuse at finish when no byte was taken
    int failWriteAt = -1;            // index (0-based) of the write that fails
    int zeroProgressAt = -1;         // index of a write that takes nothing
    std::size_t maxTakenPerWrite = std::numeric_limits<std::size_t>::max();
    std::string unreachable;  // non-empty: the listing fails with this reason

    std::vector<FakeJobRecord> jobs;
    std::vector<std::pair<std::string, QueueCommand>> commands;
    std::vector<QueueJob> queue;  // what Jobs() lists
    int opened = 0;
    int openHandles = 0;
    int liveJobs = 0;

    std::vector<std::string> PrinterNames() override;
    std::unique_ptr<PrinterHandle> Open(const std::string& printerName) override;
    std::string LastError() const override { return unreachable; }
};

}  // namespace tavrin::test
