#include "printers/ServerCallsOffThread.h"

#include <atomic>
#include <exception>

namespace tavrin {
namespace {

// A job whose every request, its cancel on destruction too, runs on the worker.
class WorkerJob final : public PrintJob {
public:
    WorkerJob(ServerCallsOffThread& calls, std::unique_ptr<PrintJob> job)
        : calls_(calls), job_(std::move(job)) {}
    ~WorkerJob() override {
        calls_.Run([this] { job_.reset(); });
    }

    bool ok() const override {
        return calls_.Run([this] { return job_->ok(); });
    }
    std::string error() const override {
        return calls_.Run([this] { return job_->error(); });
    }
    std::size_t Write(const char* data, std::size_t size) override {
        return calls_.Run([&] { return job_->Write(data, size); });
    }
    bool Finish() override {
        return calls_.Run([this] { return job_->Finish(); });
    }
    void Cancel() override {
        calls_.Run([this] { job_->Cancel(); });
    }
    int id() const override {
        return calls_.Run([this] { return job_->id(); });
    }
    bool refusedAsFull() const override {
        return calls_.Run([this] { return job_->refusedAsFull(); });
    }

private:
    ServerCallsOffThread& calls_;
    std::unique_ptr<PrintJob> job_;
};

class WorkerPrinter final : public PrinterHandle {
public:
    WorkerPrinter(ServerCallsOffThread& calls, std::unique_ptr<PrinterHandle> printer)
        : calls_(calls), printer_(std::move(printer)) {}
    ~WorkerPrinter() override {
        calls_.Run([this] { printer_.reset(); });
    }

    bool ok() const override {
        return calls_.Run([this] { return printer_->ok(); });
    }
    std::string error() const override {
        return calls_.Run([this] { return printer_->error(); });
    }
    std::optional<std::string> PortName() override {
        return calls_.Run([this] { return printer_->PortName(); });
    }
    std::unique_ptr<PrintJob> StartRawDocument(const std::string& documentName) override {
        auto job = calls_.Run([&] { return printer_->StartRawDocument(documentName); });
        return std::make_unique<WorkerJob>(calls_, std::move(job));
    }
    bool Send(QueueCommand command) override {
        return calls_.Run([&] { return printer_->Send(command); });
    }
    std::optional<std::vector<QueueJob>> Jobs(JobsWanted wanted) override {
        return calls_.Run([&] { return printer_->Jobs(wanted); });
    }
    std::optional<QueueStatus> Status(int firstJobId) override {
        return calls_.Run([&] { return printer_->Status(firstJobId); });
    }

private:
    ServerCallsOffThread& calls_;
    std::unique_ptr<PrinterHandle> printer_;
};

}  // namespace

ServerCallsOffThread::ServerCallsOffThread(PrintSpooler& spooler, DeviceProbe& probe,
                                           WaitingCaller& caller)
    : realSpooler_(spooler), realProbe_(probe), caller_(caller), worker_([this] { Work(); }) {}

ServerCallsOffThread::~ServerCallsOffThread() {
    {
        const std::lock_guard lock(mutex_);
        ending_ = true;
    }
    queued_.notify_one();
    worker_.join();
}

void ServerCallsOffThread::Work() {
    std::unique_lock lock(mutex_);
    for (;;) {
        queued_.wait(lock, [this] { return ending_ || !requests_.empty(); });
        if (requests_.empty())
            return;
        auto request = std::move(requests_.front());
        requests_.pop();
        lock.unlock();
        request();
        lock.lock();
    }
}

void ServerCallsOffThread::RunOnWorker(const std::function<void()>& request) {
    // Lives on the caller's stack: the worker touches it for the last time when it sets `done`.
    struct Outcome {
        std::exception_ptr failure;
        std::atomic<bool> done = false;
    } outcome;
    {
        const std::lock_guard lock(mutex_);
        requests_.push([&request, &outcome, this] {
            try {
                request();
            } catch (...) {
                outcome.failure = std::current_exception();
            }
            outcome.done.store(true);
            caller_.Wake();
        });
    }
    queued_.notify_one();
    caller_.WaitUntil([&outcome] { return outcome.done.load(); });
    if (outcome.failure)
        std::rethrow_exception(outcome.failure);
}

std::vector<std::string> ServerCallsOffThread::WorkerSpooler::PrinterNames() {
    return owner_.Run([this] { return owner_.realSpooler_.PrinterNames(); });
}

std::unique_ptr<PrinterHandle> ServerCallsOffThread::WorkerSpooler::Open(
    const std::string& printerName) {
    auto printer = owner_.Run([&] { return owner_.realSpooler_.Open(printerName); });
    return std::make_unique<WorkerPrinter>(owner_, std::move(printer));
}

std::string ServerCallsOffThread::WorkerSpooler::LastError() const {
    return owner_.Run([this] { return owner_.realSpooler_.LastError(); });
}

DeviceAnswer ServerCallsOffThread::WorkerProbe::Probe(const std::string& deviceName) {
    return owner_.Run([&] { return owner_.realProbe_.Probe(deviceName); });
}

}  // namespace tavrin
