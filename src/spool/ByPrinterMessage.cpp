// SPDX-License-Identifier: GPL-3.0-or-later
#include "spool/ByPrinterMessage.h"

#include <algorithm>

#include "platform/Error.h"

namespace tavrin {

std::string ByPrinterMessage(const char* heading, const std::vector<PrinterLine>& lines) {
    std::vector<std::string> printers;
    for (const PrinterLine& line : lines)
        if (std::find(printers.begin(), printers.end(), line.printerName) == printers.end())
            printers.push_back(line.printerName);
    std::string message;
    for (const std::string& printer : printers) {
        if (!message.empty())
            message += "\n\n";
        message += FormatMessage(heading, printer);
        int listed = 0;
        for (const PrinterLine& line : lines)
            if (line.printerName == printer && listed++ < kMostRefusedNamesShown)
                message += "\n" + line.text;
        if (listed > kMostRefusedNamesShown)
            message += "\n" + FormatMessage("and %d more",
                                            std::to_string(listed - kMostRefusedNamesShown));
    }
    return message;
}

std::string NotPrintedMessage(const std::vector<TrackedJob>& jobs) {
    std::vector<PrinterLine> lines;
    for (const TrackedJob& job : jobs)
        lines.push_back({job.printerName, job.documentName + ": " + job.verdict.reason});
    return ByPrinterMessage("Not printed on %s:", lines);
}

}  // namespace tavrin
