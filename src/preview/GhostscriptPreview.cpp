// SPDX-License-Identifier: GPL-3.0-or-later
#include "preview/GhostscriptPreview.h"

#include <stdlib.h>

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <string_view>
#include <system_error>
#include <vector>

#include "platform/ChildProcess.h"
#include "platform/Error.h"
#include "preview/PngFile.h"

namespace tavrin {
namespace {

namespace fs = std::filesystem;

constexpr double kLetterWidthPoints = 612;

// -dLastPage=1 alone keeps Ghostscript interpreting the pages after the first to the file's end,
// drawing nothing; this stops it when the second page is shown. EndPage is given the number of
// pages shown before this one.
constexpr const char* kStopAtSecondPage =
    "<< /EndPage { exch 1 ge { quit } if 2 ne } >> setpagedevice";

// A folder of our own for Ghostscript's picture, removed with what is in it.
class PrivateFolder {
public:
    PrivateFolder() {
        std::error_code error;
        fs::path base = fs::temp_directory_path(error);
        if (error)
            base = "/tmp";
        std::string name = (base / "tavrin-preview-XXXXXX").string();
        if (::mkdtemp(name.data()) == nullptr)
            throw Error(FormatMessage("Cannot create file %s", name));
        path_ = name;
    }
    ~PrivateFolder() {
        std::error_code error;
        fs::remove_all(path_, error);
    }
    PrivateFolder(const PrivateFolder&) = delete;
    PrivateFolder& operator=(const PrivateFolder&) = delete;

    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

// Written the same whatever the locale, as Ghostscript reads it.
std::string Decimal(double value, int decimals) {
    char text[64];
    const auto end =
        std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals).ptr;
    std::string written(text, end);
    if (written.find('.') != std::string::npos) {
        written.erase(written.find_last_not_of('0') + 1);
        if (written.back() == '.')
            written.pop_back();
    }
    return written;
}

// Ghostscript takes a '%' in the output file's name as the start of a page number's format.
std::string OutputFileName(const fs::path& file) {
    std::string name;
    for (char c : file.string()) {
        name += c;
        if (c == '%')
            name += '%';
    }
    return name;
}

// The line of Ghostscript's error output that says what went wrong: the first naming an error,
// else the first that says anything.
std::string Reason(const ProgramRun& run) {
    std::string_view text = run.errorOutput;
    std::string_view first;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        std::string_view line = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        line.remove_prefix(std::min(line.find_first_not_of(" \t*"), line.size()));
        line = line.substr(0, line.find_last_not_of(" \t\r") + 1);
        if (line.find("Error") != std::string_view::npos)
            return std::string(line);
        if (first.empty())
            first = line;
    }
    if (!first.empty())
        return std::string(first);
    if (run.exitCode != 0)
        return "it stopped with exit code " + std::to_string(run.exitCode);
    return "the file shows no page";
}

}  // namespace

RasterImage RenderWithGhostscript(const std::string& path, const GhostscriptRequest& request) {
    const int width = std::max(1, request.width);
    const double pagePoints =
        request.pageWidthPoints > 0 ? request.pageWidthPoints : kLetterWidthPoints;
    std::error_code error;
    fs::path file = fs::absolute(path, error);
    if (error)
        file = path;

    const PrivateFolder folder;
    const fs::path picture = folder.path() / "page.png";
    std::vector<std::string> argv = {request.program,
                                     "-q",
                                     "-dSAFER",
                                     "-dBATCH",
                                     "-dNOPAUSE",
                                     "-dNOINTERPOLATE",
                                     "-dFirstPage=1",
                                     "-dLastPage=1",
                                     "-sDEVICE=png16m",
                                     "-dTextAlphaBits=4",
                                     "-dGraphicsAlphaBits=4",
                                     "-sstdout=%stderr",  // its error messages, else on stdout
                                     "-r" + Decimal(width * 72.0 / pagePoints, 4)};
    if (request.encapsulated)
        argv.push_back("-dEPSCrop");
    // -f before the name, so that a name starting with '-' or '@' is read as a file's.
    argv.insert(argv.end(), {"-o", OutputFileName(picture)});
    if (request.readsPostScript)
        argv.insert(argv.end(), {"-c", kStopAtSecondPage});
    argv.push_back("-f" + file.string());

    const ProgramRun run = RunProgram(argv, request.timeLimit);
    if (!run.started)
        throw Error(kGhostscriptMissing);
    if (run.timedOut)
        throw Error("Ghostscript took longer than " +
                    Decimal(static_cast<double>(request.timeLimit.count()) / 1000, 1) +
                    " s over the first page of " + path);
    if (run.exitCode != 0 || !fs::is_regular_file(picture, error))
        throw Error("Ghostscript could not read " + path + ": " + Reason(run));
    RasterImage image;
    try {
        image = ReadPng(picture.string());
    } catch (const Error&) {
        throw Error("Ghostscript could not read " + path +
                    ": the picture it made of the first page is too large or damaged");
    }
    return image.width == width ? image : ScaledToWidth(image, width);
}

}  // namespace tavrin
