#include "printsystem/CupsQueueAttributes.h"

#include <string_view>

namespace tavrin {

QueueJobState QueueJobStateOf(int ippJobState) {
    switch (ippJobState) {
        case IPP_JSTATE_HELD:
            return QueueJobState::Held;
        case IPP_JSTATE_PROCESSING:
            return QueueJobState::Processing;
        case IPP_JSTATE_STOPPED:
            return QueueJobState::Stopped;
        case IPP_JSTATE_CANCELED:
            return QueueJobState::Canceled;
        case IPP_JSTATE_ABORTED:
            return QueueJobState::Aborted;
        case IPP_JSTATE_COMPLETED:
            return QueueJobState::Completed;
        default:
            return QueueJobState::Pending;
    }
}

void TakeQueueAttribute(CupsQueueAttributes& queue, ipp_attribute_t* attr) {
    const char* name = ippGetName(attr);
    const char* value = ippGetString(attr, 0, nullptr);
    if (!name || !value)
        return;
    const std::string_view key(name);
    if (key == "device-uri")
        queue.deviceUri = value;
    if (key == "printer-uri-supported")
        queue.printerUri = value;
    if (key == "printer-info")
        queue.info = value;
    if (key == "technology-default" && *value)
        queue.technology = value;
}

std::optional<CupsQueueAttributes> ReadQueueAttributes(CupsConnection& connection,
                                                       const std::string& queueName) {
    if (!connection.ok() || queueName.empty())
        return std::nullopt;
    ipp_t* response =
        connection.Ask(NewQueueRequest(IPP_OP_GET_PRINTER_ATTRIBUTES, queueName,
                                       {"printer-name", "device-uri", "printer-uri-supported",
                                        "printer-info", "technology-default"}));
    if (!response)
        return std::nullopt;
    CupsQueueAttributes queue;
    bool found = false;
    for (ipp_attribute_t* attr = ippFirstAttribute(response); attr;
         attr = ippNextAttribute(response)) {
        const char* name = ippGetName(attr);
        if (ippGetGroupTag(attr) != IPP_TAG_PRINTER || !name)
            continue;
        found =
            found || (std::string_view(name) == "printer-name" && ippGetString(attr, 0, nullptr));
        TakeQueueAttribute(queue, attr);
    }
    ippDelete(response);
    if (!found)
        return std::nullopt;
    return queue;
}

}  // namespace tavrin
