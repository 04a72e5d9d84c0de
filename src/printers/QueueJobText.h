#pragma once

#include <cstdint>
#include <string>

#include "printsystem/PrintSpooler.h"

namespace tavrin {

// The texts a queue listing shows for one job, in column order: id, document name, size,
// state and the time the job was created.
struct QueueJobText {
    std::string id;
    std::string documentName;
    std::string size;
    std::string state;
    std::string time;
};

QueueJobText TextOf(const QueueJob& job);
// The five texts on one line, separated by tabs. Tabs and line breaks in the document name
// become blanks, so that every job keeps to its own line and its five fields.
std::string QueueJobLine(const QueueJob& job);

std::string StateText(QueueJobState state);
// "12 KB".
std::string SizeText(std::int64_t kiloBytes);
// Local time as "YYYY-MM-DD HH:MM:SS"; empty when the spooler gave no time.
std::string TimeText(std::int64_t secondsSinceEpoch);

}  // namespace tavrin
