// SPDX-License-Identifier: GPL-3.0-or-later
#include <cstdio>
#include <iostream>
#include <string>

#include "cli/CliCommands.h"
#include "platform/Error.h"
#include "printers/PrintFileFacts.h"

namespace tavrin::cli {
namespace {

std::string Json(const std::string& text) {
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            quoted += '\\';
            quoted += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            quoted += escaped;
        } else {
            quoted += c;
        }
    }
    return quoted + '"';
}

std::string Json(const std::optional<Millimetres>& size) {
    if (!size)
        return "null";
    char text[64];
    std::snprintf(text, sizeof text, "[%.2f,%.2f]", size->width, size->height);
    return text;
}

std::string JsonBool(bool value) {
    return value ? "true" : "false";
}

std::string JsonLine(const std::string& file, const PrintFileFacts& facts) {
    const PrintLanguage language = facts.language.language;
    std::string line =
        "{\"file\":" + Json(file) + ",\"language\":" +
        (language == PrintLanguage::Unknown ? "null" : Json(LanguageName(language))) +
        ",\"pjl\":" + JsonBool(facts.language.pjl) +
        ",\"pjlLanguage\":" + Json(facts.language.pjlLanguage) +
        ",\"bytes\":" + std::to_string(facts.size);
    switch (language) {
        case PrintLanguage::HpGl2:
        case PrintLanguage::HpGl:
            line += ",\"plotMillimetres\":" + Json(facts.plotSize) +
                    ",\"rotation\":" + std::to_string(facts.rotation) +
                    ",\"pageEnds\":" + std::to_string(facts.pageEnds) +
                    ",\"pageEndsExact\":" + JsonBool(facts.wholeFileRead) +
                    ",\"quality\":" + JsonBool(facts.quality) +
                    ",\"replot\":" + JsonBool(facts.replot);
            break;
        case PrintLanguage::PostScript:
        case PrintLanguage::Pdf:
            line += ",\"boundingBox\":" + Json(facts.boundingBox) +
                    ",\"documentMedia\":" + Json(facts.documentMedia) +
                    ",\"firstPageMillimetres\":" + Json(facts.firstPage) +
                    ",\"pages\":" + (facts.pages ? std::to_string(*facts.pages) : "null");
            break;
        case PrintLanguage::Pcl:
        case PrintLanguage::PclWithHpGl2:
            line += ",\"pageSize\":" + Json(facts.pageSize);
            break;
        case PrintLanguage::Unknown:
            break;
    }
    return line + "}";
}

}  // namespace

int RunInspect(const Args& args) {
    bool json = false;
    Args files;
    for (const std::string& arg : args) {
        if (arg == "--json")
            json = true;
        else if (arg.size() > 1 && arg[0] == '-')
            throw UsageError("inspect takes no option '" + arg + "'");
        else
            files.push_back(arg);
    }
    if (files.empty())
        throw UsageError("inspect needs at least one file");
    int exitCode = kExitOk;
    for (const std::string& file : files) {
        try {
            const PrintFileFacts facts = InspectPrintFile(file);
            std::cout << (json ? JsonLine(file, facts) : file + ": " + DescribeFacts(facts))
                      << '\n';
        } catch (const Error& e) {
            // The other files are still inspected; the run ends as failed.
            std::cerr << e.what() << '\n';
            exitCode = kExitError;
        }
    }
    return exitCode;
}

}  // namespace tavrin::cli
