// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary bytes to the detection of a print file's language, in memory and from a file
// read piece by piece past its NUL padding: both must agree, and a PJL language comes only with a
// PJL header.
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string_view>

#include "FuzzSupport.h"
#include "printers/PrintLanguage.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using tavrin::fuzz::Check;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const tavrin::FileLanguage language = tavrin::DetectPrintLanguage(bytes);
    Check(language.pjl || language.pjlLanguage.empty(), "a PJL language without a PJL header");

    const std::filesystem::path file = tavrin::fuzz::TempFile();
    std::ofstream(file, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(size));
    Check(tavrin::DetectFileLanguage(file.string()) == language, "the file reads otherwise");
    return 0;
}
