#include "spool/PostScriptHeader.h"

#include "spool/HeaderedCopy.h"

namespace tavrin {

namespace {

// Width and height in points, portrait.
const char* SizePair(std::optional<PageSize> size) {
    if (!size) {
        return "";
    }
    switch (*size) {
        case PageSize::A5:
            return "420 595";
        case PageSize::A4:
            return "595 841";
        case PageSize::A3:
            return "841 1191";
        case PageSize::A2:
            return "1191 1684";
        case PageSize::A1:
            return "1684 2384";
        case PageSize::A0:
            return "2384 3370";
    }
    return "";
}

}  // namespace

std::string PostScriptHeader(int copyCount, const SpoolOptions& options) {
    std::string header;
    if (options.SmartReplots() && copyCount >= 2) {
        header += "<< /NumCopies " + std::to_string(copyCount) + " >> setpagedevice\r\n";
        if (options.PSCollate()) {
            header += "<< /Collate true >> setpagedevice\r\n";
        }
    }
    if (options.FitToPage()) {
        header += std::string("<< /PageSize [ ") + SizePair(options.CheckedPageSize()) +
                  " ] >> setpagedevice\r\n";
        header += "<< /Policies << /PageSize 3 >> >> setpagedevice\r\n";
    }
    return header;
}

void WritePostScriptHeader(const std::string& sourcePath, int copyCount,
                           const SpoolOptions& options) {
    WriteHeaderedCopy(sourcePath, PostScriptHeader(copyCount, options), options);
}

}  // namespace tavrin
