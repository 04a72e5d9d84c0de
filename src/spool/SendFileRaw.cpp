#include "spool/SendFileRaw.h"

#include <memory>

#include "platform/Error.h"
#include "platform/FileData.h"

namespace tavrin {
namespace {

// Offers the whole piece, writing on after a partial write; false when a write fails or the
// spooler takes nothing.
bool WriteWhole(PrintJob& job, const char* data, std::size_t size) {
    while (size > 0) {
        const std::size_t taken = job.Write(data, size);
        if (taken == 0 || taken > size || !job.ok())
            return false;
        data += taken;
        size -= taken;
    }
    return true;
}

SendResult Refused(const std::string& reason, std::uint64_t bytesSent = 0) {
    return {false, reason.empty() ? "refused by the spooler" : reason, bytesSent};
}

}  // namespace

std::string DocumentNameOf(const std::string& path) {
#ifdef _WIN32
    const auto at = path.find_last_of("\\:/");
#else
    const auto at = path.find_last_of('/');
#endif
    return at == std::string::npos ? path : path.substr(at + 1);
}

SendResult SendFileRaw(PrintSpooler& spooler, const std::string& printerName,
                       const std::string& path) {
    const std::unique_ptr<PrinterHandle> printer = spooler.Open(printerName);
    if (!printer->ok())
        return Refused(printer->error());

    const SourceFile file = OpenSourceFile(path);
    if (file.error != 0)
        throw Error(FormatMessage("Cannot open file %s", path));

    const std::unique_ptr<PrintJob> job = printer->StartRawDocument(DocumentNameOf(path));
    if (!job->ok()) {
        SendResult refused = Refused(job->error());
        refused.refusedAsFull = job->refusedAsFull();
        return refused;
    }

    const auto buffer = std::make_unique<char[]>(kRawTransferBuffer);
    std::uint64_t sent = 0;
    while (true) {
        const FileDataResult read = ReadFully(file.file, buffer.get(), kRawTransferBuffer);
        if (read.failed()) {
            job->Cancel();
            throw Error(FormatMessage("Cannot read file %s", path));
        }
        const std::int64_t count = read.bytes;
        if (count == 0)
            break;
        if (!WriteWhole(*job, buffer.get(), static_cast<std::size_t>(count))) {
            const std::string reason = job->ok() ? "the spooler took no more data" : job->error();
            job->Cancel();
            return Refused(reason, sent);
        }
        sent += static_cast<std::uint64_t>(count);
    }
    if (!job->Finish())
        return Refused(job->error(), sent);
    return {true, {}, sent, job->id()};
}

}  // namespace tavrin
