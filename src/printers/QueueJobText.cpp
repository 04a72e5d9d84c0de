#include "printers/QueueJobText.h"

#include <algorithm>
#include <ctime>

namespace tavrin {

std::string StateText(QueueJobState state) {
    switch (state) {
        case QueueJobState::Pending:
            return "Waiting";
        case QueueJobState::Held:
            return "Held";
        case QueueJobState::Processing:
            return "Printing";
        case QueueJobState::Stopped:
            return "Stopped";
        case QueueJobState::Canceled:
            return "Cancelled";
        case QueueJobState::Aborted:
            return "Aborted";
        case QueueJobState::Completed:
            return "Completed";
    }
    return "Unknown";
}

std::string SizeText(std::int64_t kiloBytes) {
    return std::to_string(kiloBytes) + " KB";
}

std::string TimeText(std::int64_t secondsSinceEpoch) {
    if (secondsSinceEpoch <= 0)
        return {};
    const auto seconds = static_cast<std::time_t>(secondsSinceEpoch);
    std::tm local{};
    if (!localtime_r(&seconds, &local))
        return {};
    char text[32];
    const std::size_t length = std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return std::string(text, length);
}

QueueJobText TextOf(const QueueJob& job) {
    return {std::to_string(job.id), job.documentName, SizeText(job.sizeKBytes),
            StateText(job.state), TimeText(job.createdAt)};
}

std::string QueueJobLine(const QueueJob& job) {
    QueueJobText text = TextOf(job);
    std::replace_if(
        text.documentName.begin(), text.documentName.end(),
        [](char c) { return c == '\t' || c == '\n' || c == '\r'; }, ' ');
    return text.id + '\t' + text.documentName + '\t' + text.size + '\t' + text.state + '\t' +
           text.time;
}

}  // namespace tavrin
