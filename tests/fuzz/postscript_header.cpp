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
    // The first byte: the check boxes and the other choices; the page size; then the count.
    tavrin::fuzz::FuzzInput input(data, size);
    const std::uint8_t flags = input.Byte();
    const std::uint8_t sizeByte = input.Byte();
    const int copies = (flags & 8) ? input.Int() : static_cast<std::int8_t>(input.Byte());
    tavrin::fuzz::Options options;
    options.smartReplots = flags & 1;
    options.psCollate = flags & 2;
    options.fitToPage = flags & 4;
    options.pageSize.reset();
    if (sizeByte % 7 != 6)
        options.pageSize = static_cast<tavrin::PageSize>(sizeByte % 7);
    options.tempFilesPath = tavrin::fuzz::ScratchFolder().string() + ((flags & 16) ? "/" : "");

    const std::string header = tavrin::PostScriptHeader(copies, options);
    tavrin::fuzz::Check(header == AskedFor(copies, options), "the header holds what is asked for");
    tavrin::fuzz::CheckHeaderWritten(input.Rest(), header, flags & 32, [&](const std::string& f) {
        tavrin::WritePostScriptHeader(f, copies, options);
    });
    return 0;
}
