// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary bytes to the detection of a print file's language, in memory and from a file
// read piece by piece past its NUL padding: both must agree, and a PJL language comes only with a
// PJL header. The same bytes go to the inspection of what the file says about itself, whole and
// cut into a head and a tail: the language is the detection's, and HP-GL/2 data begins inside
// the file.
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string_view>

#include "FuzzSupport.h"
#include "printers/PrintFileFacts.h"
#include "printers/PrintLanguage.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using tavrin::fuzz::Check;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const tavrin::FileLanguage language = tavrin::DetectPrintLanguage(bytes);
    Check(language.pjl || language.pjlLanguage.empty(), "a PJL language without a PJL header");

    const std::filesystem::path file = tavrin::fuzz::TempFile();
    std::ofstream(file, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(size));
    Check(tavrin::DetectFileLanguage(file.string()) == language, "the file reads otherwise");

    const tavrin::PrintFileFacts whole = tavrin::InspectPrintFile(file.string());
    Check(whole.language.language == language.language, "inspection names another language");
    Check(whole.language.hpglStart <= size, "HP-GL/2 data begins past the end");
    Check(whole.size == size && whole.wholeFileRead, "a small file is read whole");
    Check(tavrin::DescribeFacts(whole).find(std::to_string(size) + " bytes") != std::string::npos,
          "the description leaves out the size");
    const std::size_t cut = size / 2;
    tavrin::InspectPrintData(bytes.substr(0, cut), bytes.substr(cut), size);
    return 0;
}
