// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the Oce header record in front of arbitrary files with arbitrary options. Checks that
// the file follows the record byte for byte, that the record is there exactly when copies by
// plotter are asked for with a count of 2 or more and then carries that count, and that a print
// file given as the temporary file itself is refused without losing a byte.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

#include "FuzzSupport.h"
#include "platform/Error.h"
#include "spool/OceHeader.h"
#include "support/TempFolder.h"

namespace {

using tavrin::fuzz::Check;
namespace fs = std::filesystem;

std::string AskedFor(int copies, bool smartReplots) {
    if (!smartReplots || copies < 2)
        return {};
    return "BEGMF \"Oce RCF by Dorwen\";\r\n"
           "MFDESC 'Oce RCF, Version=2.5, Type=Header, Unit=Metric';\r\n"
           "APPLDATA 002 \"CO=" +
           std::to_string(copies) + "\";\r\nENDMF;\r\n";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The first byte: the check boxes and the other choices; then the count.
    tavrin::fuzz::FuzzInput input(data, size);
    const std::uint8_t flags = input.Byte();
    const int copies = (flags & 8) ? input.Int() : static_cast<std::int8_t>(input.Byte());
    const std::string body = input.Rest();

    const fs::path& folder = tavrin::fuzz::ScratchFolder();
    tavrin::fuzz::Options options;
    options.smartReplots = flags & 1;
    // Options that belong to other devices change nothing here.
    options.psCollate = flags & 2;
    options.fitToPage = flags & 4;
    options.removeQL = flags & 64;
    options.tempFilesPath = folder.string() + ((flags & 16) ? "/" : "");
    const fs::path temp = folder / "temp.$$$";
    const fs::path source = folder / "plot.hpg";
    tavrin::test::WriteFile(source, body);

    const std::string header = tavrin::OceHeader(copies, options);
    Check(header == AskedFor(copies, options.smartReplots), "the record holds the count asked for");
    Check(header.empty() || header.size() == 115 + std::to_string(copies).size(),
          "the record is 115 bytes and the count's digits");
    tavrin::WriteOceHeader(source.string(), copies, options);
    Check(tavrin::test::ReadFile(temp) == header + body, "the file follows the record unchanged");
    Check(tavrin::test::ReadFile(source) == body, "the print file is left as it was");

    if (flags & 32) {
        bool refused = false;
        try {
            tavrin::WriteOceHeader(temp.string(), copies, options);
        } catch (const tavrin::Error& error) {
            refused = std::string(error.what()) == "Cannot create file " + temp.string();
        }
        Check(refused, "the temporary file as the print file is refused with its name");
        Check(tavrin::test::ReadFile(temp) == header + body, "the refused file keeps its bytes");
    }
    return 0;
}
