// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the Oce header record in front of arbitrary files with arbitrary options. The record is
// there exactly when copies by plotter are asked for with a count of 2 or more, and then carries
// that count; the file follows it byte for byte; the temporary file as the print file is refused.
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "spool/OceHeader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    tavrin::fuzz::FuzzInput input(data, size);
    // Options that belong to other devices change nothing here.
    const tavrin::fuzz::HeaderCase c(input);
    const int copies = c.copies;
    const tavrin::fuzz::Options& options = c.options;

    std::string asked;
    if (options.smartReplots && copies >= 2) {
        asked =
            "BEGMF \"Oce RCF by Dorwen\";\r\n"
            "MFDESC 'Oce RCF, Version=2.5, Type=Header, Unit=Metric';\r\n"
            "APPLDATA 002 \"CO=" +
            std::to_string(copies) + "\";\r\nENDMF;\r\n";
    }
    const std::string header = tavrin::OceHeader(copies, options);
    tavrin::fuzz::Check(header == asked, "the record holds the count asked for");
    tavrin::fuzz::Check(header.empty() || header.size() == 115 + std::to_string(copies).size(),
                        "the record is 115 bytes and the count's digits");
    tavrin::fuzz::CheckHeaderWritten(
        input.Rest(), header, c.TryTempFile(),
        [&](const std::string& f) { tavrin::WriteOceHeader(f, copies, options); });
    return 0;
}
