#pragma once

#include <cstdint>
#include <string>

#include "printsystem/PrintSpooler.h"

namespace tavrin {

// The bytes read from a file and offered to the spooler at a time.
inline constexpr std::size_t kRawTransferBuffer = 16385;

// What became of one send.
struct SendResult {
    bool accepted = false;  // the spooler took every byte and accepted the job
    std::string refusal;    // the spooler's reason when it did not
    std::uint64_t bytesSent = 0;
    int jobId = 0;               // the spooler's number for an accepted job
    bool refusedAsFull = false;  // refused because the spooler holds as many jobs as it takes

    explicit operator bool() const { return accepted; }
};

// The name a document is shown under in the queue: the file name without its folder.
std::string DocumentNameOf(const std::string& path);

// Writes one file, byte for byte, as one raw job into the queue of `printerName`. A refusal of
// the spooler at any step is returned, never raised; a job the spooler did not take whole is
// cancelled. A file that cannot be opened raises "Cannot open file %s" before any job is made.
SendResult SendFileRaw(PrintSpooler& spooler, const std::string& printerName,
                       const std::string& path);

}  // namespace tavrin
