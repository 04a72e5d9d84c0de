// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the PostScript header in front of arbitrary files with arbitrary options. The header
// holds the lines the options ask for and no others; the file follows it byte for byte; the
// temporary file as the print file is refused.
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "spool/PostScriptHeader.h"

namespace {

// Width and height in points of each size, A5 to A0, portrait.
constexpr const char* kSizes[] = {"420 595",   "595 841",   "841 1191",
                                  "1191 1684", "1684 2384", "2384 3370"};

std::string AskedFor(int copies, const tavrin::fuzz::Options& options) {
    std::string header;
    if (options.smartReplots && copies >= 2) {
        header += "<< /NumCopies " + std::to_string(copies) + " >> setpagedevice\r\n";
        if (options.psCollate)
            header += "<< /Collate true >> setpagedevice\r\n";
    }
    if (options.fitToPage) {
        const std::string pair =
            options.pageSize ? kSizes[static_cast<int>(*options.pageSize)] : "";
        header += "<< /PageSize [ " + pair + " ] >> setpagedevice\r\n";
        header += "<< /Policies << /PageSize 3 >> >> setpagedevice\r\n";
    }
    return header;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    tavrin::fuzz::FuzzInput input(data, size);
    const tavrin::fuzz::HeaderCase c(input);
    const int copies = c.copies;
    const tavrin::fuzz::Options& options = c.options;

    const std::string header = tavrin::PostScriptHeader(copies, options);
    tavrin::fuzz::Check(header == AskedFor(copies, options), "the header holds what is asked for");
    tavrin::fuzz::CheckHeaderWritten(
        input.Rest(), header, c.TryTempFile(),
        [&](const std::string& f) { tavrin::WritePostScriptHeader(f, copies, options); });
    return 0;
}
