#include "printers/StartupPrefetch.h"

#include "printers/DeviceName.h"
#include "printers/StartupPrinterIndex.h"

namespace tavrin {

StartupPrefetch::StartupPrefetch(PrintSpooler& spooler, DeviceProbe& probe,
                                 std::function<int()> storedPrinterIndex)
    : realSpooler_(spooler), realProbe_(probe) {
    pending_ = std::async(std::launch::async, [this, index = std::move(storedPrinterIndex)] {
        Answers answers = Fetch(index);
        std::function<void()> ready;
        {
            const std::lock_guard lock(readyMutex_);
            fetched_ = true;
            ready = std::move(whenReady_);
        }
        if (ready)
            ready();
        return answers;
    });
}

void StartupPrefetch::WhenReady(std::function<void()> ready) {
    std::unique_lock lock(readyMutex_);
    if (!fetched_) {
        whenReady_ = std::move(ready);
        return;
    }
    lock.unlock();
    ready();
}

StartupPrefetch::~StartupPrefetch() {
    if (pending_.valid())
        pending_.wait();
}

StartupPrefetch::Answers StartupPrefetch::Fetch(const std::function<int()>& storedPrinterIndex) {
    Answers answers;
    try {
        answers.names.value = realSpooler_.PrinterNames();
    } catch (...) {
        answers.names.failure = std::current_exception();
        return answers;
    }
    const auto& names = *answers.names.value;
    if (names.empty())
        return answers;
    int stored = 0;
    try {
        stored = storedPrinterIndex();
    } catch (...) {
        // The window reads the settings itself and reports what is wrong with them; without the
        // index there is no printer to get ready.
        return answers;
    }
    const int index = StartupPrinterIndex(stored, static_cast<int>(names.size()));
    answers.printer = DeviceNameOf(names[static_cast<std::size_t>(index)]);
    try {
        answers.handle.value = realSpooler_.Open(answers.printer);
    } catch (...) {
        answers.handle.failure = std::current_exception();
    }
    try {
        answers.probed.value = realProbe_.Probe(answers.printer);
    } catch (...) {
        answers.probed.failure = std::current_exception();
    }
    return answers;
}

StartupPrefetch::Answers& StartupPrefetch::Settled() {
    if (pending_.valid())
        answers_ = pending_.get();
    return answers_;
}

std::vector<std::string> StartupPrefetch::PrefetchedSpooler::PrinterNames() {
    if (auto names = owner_.Settled().names.Take(true))
        return std::move(*names);
    return owner_.realSpooler_.PrinterNames();
}

std::unique_ptr<PrinterHandle> StartupPrefetch::PrefetchedSpooler::Open(
    const std::string& printerName) {
    Answers& answers = owner_.Settled();
    if (auto handle =
            answers.handle.Take(!answers.printer.empty() && printerName == answers.printer))
        return std::move(*handle);
    return owner_.realSpooler_.Open(printerName);
}

std::string StartupPrefetch::PrefetchedSpooler::LastError() const {
    owner_.Settled();
    return owner_.realSpooler_.LastError();
}

DeviceAnswer StartupPrefetch::PrefetchedProbe::Probe(const std::string& deviceName) {
    Answers& answers = owner_.Settled();
    if (auto answer =
            answers.probed.Take(!answers.printer.empty() && deviceName == answers.printer))
        return std::move(*answer);
    return owner_.realProbe_.Probe(deviceName);
}

}  // namespace tavrin
