// SPDX-License-Identifier: GPL-3.0-or-later
// What the tests share on every system: files, the scratch folders' removal, the fake spooler.
#include <algorithm>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <utility>
#include <vector>

#include "support/FakePrintSpooler.h"
#include "support/TempFolder.h"

namespace tavrin::test {

namespace fs = std::filesystem;

TempFolder::~TempFolder() {
    std::error_code ignored;
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(path_, ignored);
}

void WriteBytes(const std::filesystem::path& file, std::string_view bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + file.string());
}

void WritePatternFile(const std::filesystem::path& path, std::uintmax_t size, std::uint32_t seed) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    std::vector<char> buffer(1 << 16);
    std::uint32_t state = seed * 2654435761u + 12345u;
    for (std::size_t piece; size > 0; size -= piece) {
        piece = std::min<std::uintmax_t>(size, buffer.size());
        for (std::size_t i = 0; i < piece; ++i)
            buffer[i] = static_cast<char>((state = state * 1664525u + 1013904223u) >> 24);
        out.write(buffer.data(), static_cast<std::streamsize>(piece));
    }
    if (!out)
        throw std::runtime_error("cannot write " + path.string());
}

bool SameContents(const std::filesystem::path& a, const std::filesystem::path& b) {
    std::ifstream left(a, std::ios::binary), right(b, std::ios::binary);
    return left && right &&
           std::equal(std::istreambuf_iterator<char>(left), std::istreambuf_iterator<char>(),
                      std::istreambuf_iterator<char>(right), std::istreambuf_iterator<char>());
}

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

namespace {

// A job the spooler started (`index` into its records), or one it refused at the start.
class FakeJob : public PrintJob {
public:
    FakeJob(FakePrintSpooler* spooler, std::size_t index)
        : spooler_(spooler), index_(index), error_(spooler ? "" : "start refused") {}
    ~FakeJob() override {
        Cancel();
        if (spooler_)
            --spooler_->liveJobs;
    }

    bool ok() const override { return error_.empty(); }
    std::string error() const override { return error_; }
    std::size_t Write(const char* data, std::size_t size) override {
        if (!ok() || record().finished)
            return 0;
        const int index = static_cast<int>(record().offered.size());
        record().offered.push_back(size);
        if (index == spooler_->failWriteAt)
            return Fail("write refused"), 0;
        const std::size_t taken =
            index == spooler_->zeroProgressAt ? 0 : std::min(size, spooler_->maxTakenPerWrite);
        record().bytes.append(data, taken);
        return taken;
    }
    bool Finish() override {
        if (ok() && spooler_->refuseFinish)
            Fail("No file in print request");
        return ok() && (record().finished = true);
    }
    void Cancel() override {
        if (!spooler_ || record().finished || record().cancelled)
            return;
        record().cancelled = true;
        Fail("cancelled");
    }

    int id() const override { return spooler_ ? static_cast<int>(index_) + 1 : 0; }

private:
    FakeJobRecord& record() const { return spooler_->jobs[index_]; }
    void Fail(const std::string& error) {
        if (error_.empty())
            error_ = error;
        Cancel();
    }

    FakePrintSpooler* spooler_;
    std::size_t index_;
    std::string error_;
};

class FakeHandle : public PrinterHandle {
public:
    FakeHandle(FakePrintSpooler& spooler, std::string name, bool ok)
        : spooler_(spooler), name_(std::move(name)), ok_(ok) {}
    ~FakeHandle() override { --spooler_.openHandles; }

    bool ok() const override { return ok_; }
    std::string error() const override { return ok_ ? "" : "The printer or class does not exist."; }
    std::optional<std::string> PortName() override {
        const auto found = spooler_.ports.find(name_);
        return ok_ && found != spooler_.ports.end() ? std::optional(found->second) : std::nullopt;
    }
    std::unique_ptr<PrintJob> StartRawDocument(const std::string& documentName) override {
        if (!ok_ || spooler_.refuseStart)
            return std::make_unique<FakeJob>(nullptr, 0);
        spooler_.jobs.push_back({name_, documentName, {}, {}, false, false});
        ++spooler_.liveJobs;
        return std::make_unique<FakeJob>(&spooler_, spooler_.jobs.size() - 1);
    }
    bool Send(QueueCommand command) override {
        return ok_ && !spooler_.refuseCommands &&
               (spooler_.commands.emplace_back(name_, command), true);
    }
    std::optional<std::vector<QueueJob>> Jobs(JobsWanted) override {
        return ok_ ? std::optional(spooler_.queue) : std::nullopt;
    }
    std::optional<QueueStatus> Status(int firstJobId) override {
        ++spooler_.statusLooks;
        const auto found = spooler_.status.find(name_);
        if (!ok_ || found == spooler_.status.end())
            return std::nullopt;
        QueueStatus status = found->second;
        std::erase_if(status.jobs, [&](const JobStatus& job) { return job.id < firstJobId; });
        return status;
    }

private:
    FakePrintSpooler& spooler_;
    std::string name_;
    bool ok_;
};

}  // namespace

std::unique_ptr<PrinterHandle> FakePrintSpooler::Open(const std::string& printerName) {
    ++opened, ++openHandles;
    // An entry may also name a printer with its port ("PRINTER on PORT").
    const bool listed = std::any_of(printers.begin(), printers.end(), [&](const std::string& e) {
        return e == printerName || e.rfind(printerName + " on ", 0) == 0;
    });
    const bool known = unreachable.empty() && listed && !refuseOpen.count(printerName);
    return std::make_unique<FakeHandle>(*this, printerName, known);
}

}  // namespace tavrin::test
