// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the PostScript header in front of arbitrary files with arbitrary options. Checks that
// the file follows the header byte for byte, that the header holds the lines the options ask for
// and no others, and that a print file given as the temporary file itself is refused without
// losing a byte.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "FuzzSupport.h"
#include "platform/Error.h"
#include "spool/PostScriptHeader.h"
#include "support/TempFolder.h"

namespace {

using tavrin::fuzz::Check;
namespace fs = std::filesystem;

// Width and height in points of each size, A5 to A0, portrait.
constexpr const char* kSizes[] = {"420 595",   "595 841",   "841 1191",
                                  "1191 1684", "1684 2384", "2384 3370"};

// What the options ask for, line by line.
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
    // The first byte: the check boxes, the page size and the other choices; then the count.
    tavrin::fuzz::FuzzInput input(data, size);
    const std::uint8_t flags = input.Byte();
    const std::uint8_t sizeByte = input.Byte();
    const int copies = (flags & 8) ? input.Int() : static_cast<std::int8_t>(input.Byte());
    const std::string body = input.Rest();

    const fs::path& folder = tavrin::fuzz::ScratchFolder();
    tavrin::fuzz::Options options;
    options.smartReplots = flags & 1;
    options.psCollate = flags & 2;
    options.fitToPage = flags & 4;
    if (sizeByte % 7 != 6)
        options.pageSize = static_cast<tavrin::PageSize>(sizeByte % 7);
    options.tempFilesPath = folder.string() + ((flags & 16) ? "/" : "");
    const fs::path temp = folder / "temp.$$$";
    const fs::path source = folder / "page.ps";
    tavrin::test::WriteFile(source, body);

    const std::string header = tavrin::PostScriptHeader(copies, options);
    Check(header == AskedFor(copies, options), "the header holds what the options ask for");
    tavrin::WritePostScriptHeader(source.string(), copies, options);
    Check(tavrin::test::ReadFile(temp) == header + body, "the file follows the header unchanged");
    Check(tavrin::test::ReadFile(source) == body, "the print file is left as it was");

    if (flags & 32) {
        bool refused = false;
        try {
            tavrin::WritePostScriptHeader(temp.string(), copies, options);
        } catch (const tavrin::Error& error) {
            refused = std::string(error.what()) == "Cannot create file " + temp.string();
        }
        Check(refused, "the temporary file as the print file is refused with its name");
        Check(tavrin::test::ReadFile(temp) == header + body, "the refused file keeps its bytes");
    }
    return 0;
}
