#include "spool/OceHeader.h"

#include "spool/HeaderedCopy.h"

namespace tavrin {

std::string OceHeader(int copyCount, const SpoolOptions& options) {
    if (!options.SmartReplots() || copyCount < 2) {
        return {};
    }
    return "BEGMF \"Oce RCF by Dorwen\";\r\n"
           "MFDESC 'Oce RCF, Version=2.5, Type=Header, Unit=Metric';\r\n"
           "APPLDATA 002 \"CO=" +
           std::to_string(copyCount) +
           "\";\r\n"
           "ENDMF;\r\n";
}

void WriteOceHeader(const std::string& sourcePath, int copyCount, const SpoolOptions& options) {
    WriteHeaderedCopy(sourcePath, OceHeader(copyCount, options), options);
}

}  // namespace tavrin
