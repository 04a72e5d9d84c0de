#include "support/FakePrintSpooler.h"

#include <algorithm>

namespace tavrin::test {
namespace {

class FakeJob : public PrintJob {
public:
    FakeJob(FakePrintSpooler& spooler, std::size_t index) : spooler_(spooler), index_(index) {
        ++spooler_.liveJobs;
    }
    ~FakeJob() override {
        if (!record().finished)
            Cancel();
        --spooler_.liveJobs;
    }

    bool ok() const override { return error_.empty(); }
    std::string error() const override { return error_; }

    std::size_t Write(const char* data, std::size_t size) override {
        if (!ok() || record().finished)
            return 0;
        const int index = static_cast<int>(record().offered.size());
        record().offered.push_back(size);
        if (index == spooler_.failWriteAt) {
            Fail("write refused");
            return 0;
        }
        if (index == spooler_.zeroProgressAt)
            return 0;
        const std::size_t taken = std::min(size, spooler_.maxTakenPerWrite);
        record().bytes.append(data, taken);
        return taken;
    }

    bool Finish() override {
        if (!ok())
            return false;
        if (spooler_.refuseFinish || (spooler_.refuseEmptyFinish && record().bytes.empty())) {
            Fail("No file in print request");
            return false;
        }
        record().finished = true;
        return true;
    }

    void Cancel() override {
        if (record().finished || record().cancelled)
            return;
        record().cancelled = true;
        if (error_.empty())
            error_ = "cancelled";
    }

    void Fail(const std::string& error) {
        if (error_.empty())
            error_ = error;
        Cancel();
    }

private:
    FakeJobRecord& record() const { return spooler_.jobs[index_]; }

    FakePrintSpooler& spooler_;
    std::size_t index_;
    std::string error_;
};

class RefusedJob : public PrintJob {
public:
    bool ok() const override { return false; }
    std::string error() const override { return "start refused"; }
    std::size_t Write(const char*, std::size_t) override { return 0; }
    bool Finish() override { return false; }
    void Cancel() override {}
};

class FakeHandle : public PrinterHandle {
public:
    FakeHandle(FakePrintSpooler& spooler, std::string name, bool ok)
        : spooler_(spooler), name_(std::move(name)), ok_(ok) {
        ++spooler_.openHandles;
    }
    ~FakeHandle() override { --spooler_.openHandles; }

    bool ok() const override { return ok_; }
    std::string error() const override {
        return ok_ ? std::string() : "The printer or class does not exist.";
    }
    std::optional<std::string> PortName() override {
        auto found = spooler_.ports.find(name_);
        if (!ok_ || found == spooler_.ports.end())
            return std::nullopt;
        return found->second;
    }
    std::unique_ptr<PrintJob> StartRawDocument(const std::string& documentName) override {
        if (!ok_ || spooler_.refuseStart)
            return std::make_unique<RefusedJob>();
        spooler_.jobs.push_back({name_, documentName, {}, {}, false, false});
        return std::make_unique<FakeJob>(spooler_, spooler_.jobs.size() - 1);
    }
    bool Send(QueueCommand command) override {
        if (!ok_)
            return false;
        spooler_.commands.emplace_back(name_, command);
        return true;
    }
    std::optional<std::vector<QueueJob>> Jobs() override {
        if (!ok_)
            return std::nullopt;
        return spooler_.queue;
    }

private:
    FakePrintSpooler& spooler_;
    std::string name_;
    bool ok_;
};

}  // namespace

std::vector<std::string> FakePrintSpooler::PrinterNames() {
    if (!unreachable.empty())
        return {};
    return printers;
}

std::unique_ptr<PrinterHandle> FakePrintSpooler::Open(const std::string& printerName) {
    ++opened;
    // An entry may also name a printer with its port ("PRINTER on PORT").
    const bool listed = std::any_of(printers.begin(), printers.end(), [&](const std::string& e) {
        return e == printerName || e.rfind(printerName + " on ", 0) == 0;
    });
    const bool known = unreachable.empty() && listed && !refuseOpen.count(printerName);
    return std::make_unique<FakeHandle>(*this, printerName, known);
}

}  // namespace tavrin::test
