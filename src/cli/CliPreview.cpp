// SPDX-License-Identifier: GPL-3.0-or-later
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "cli/CliCommands.h"
#include "platform/Error.h"
#include "preview/PngFile.h"
#include "preview/Preview.h"

namespace tavrin::cli {
namespace {

namespace fs = std::filesystem;

struct PreviewArgs {
    std::string file;
    std::string out;
    bool svg = false;
    int width = 800;
};

bool EndsWith(const std::string& text, const std::string& end) {
    if (text.size() < end.size())
        return false;
    return std::equal(end.rbegin(), end.rend(), text.rbegin(), [](char lower, char c) {
        return std::tolower(static_cast<unsigned char>(c)) == lower;
    });
}

PreviewArgs ParsePreviewArgs(const Args& args) {
    PreviewArgs parsed;
    std::vector<std::string> files;
    for (std::size_t at = 0; at < args.size(); ++at) {
        const std::string& arg = args[at];
        const auto value = [&](const std::string& option) {
            if (arg.size() > option.size())  // --width=N
                return arg.substr(option.size() + 1);
            if (++at == args.size())
                throw UsageError(option + " needs a value");
            return args[at];
        };
        if (arg == "-o" || arg == "--output" || arg.rfind("--output=", 0) == 0) {
            parsed.out = value(arg.substr(0, arg.find('=')));
        } else if (arg == "--width" || arg.rfind("--width=", 0) == 0) {
            const std::string text = value("--width");
            const std::optional<int> width = WholeNumberIn(text, 16, 20000);
            if (!width)
                throw UsageError("--width takes a number of pixels from 16 to 20000, not '" + text +
                                 "'");
            parsed.width = *width;
        } else if (arg.size() > 1 && arg[0] == '-') {
            throw UsageError("preview takes no option '" + arg + "'");
        } else {
            files.push_back(arg);
        }
    }
    if (files.size() != 1)
        throw UsageError(files.empty() ? "preview needs a file" : "preview takes one file");
    parsed.file = files.front();
    if (parsed.out.empty())
        throw UsageError("preview needs -o OUT.png or -o OUT.svg");
    parsed.svg = EndsWith(parsed.out, ".svg");
    if (!parsed.svg && !EndsWith(parsed.out, ".png"))
        throw UsageError("preview writes .png or .svg files, not '" + parsed.out + "'");
    return parsed;
}

// The SVG picture goes to a temporary file beside the output and is renamed over it once written
// whole, so that the output is never half a picture; the temporary file goes when it is not kept.
// (A PNG picture is written whole by WritePng.)
class SvgBeside {
public:
    explicit SvgBeside(const std::string& target) : target_(fs::u8path(target)) {
        temporary_ = target_;
        temporary_ += ".partial";
        out_.open(temporary_, std::ios::binary | std::ios::trunc);
        if (!out_)
            throw Error(FormatMessage("Cannot write file %s", target));
    }
    ~SvgBeside() {
        if (!kept_) {
            out_.close();
            std::error_code error;
            fs::remove(temporary_, error);
        }
    }
    SvgBeside(const SvgBeside&) = delete;
    SvgBeside& operator=(const SvgBeside&) = delete;

    std::ostream& Stream() { return out_; }

    void Keep() {
        out_.close();
        std::error_code error;
        if (out_.fail())
            throw Error(FormatMessage("Cannot write file %s", target_.string()));
        // A picture written over an older one keeps the older one's permissions.
        const fs::file_status existing = fs::status(target_, error);
        if (!error && fs::exists(existing))
            fs::permissions(temporary_, existing.permissions(), error);
        fs::rename(temporary_, target_, error);
        if (error)
            throw Error(FormatMessage("Cannot write file %s", target_.string()));
        kept_ = true;
    }

private:
    fs::path target_;
    fs::path temporary_;
    std::ofstream out_;
    bool kept_ = false;
};

}  // namespace

int RunPreview(const Args& args) {
    const PreviewArgs parsed = ParsePreviewArgs(args);
    PreviewRequest request;
    request.width = parsed.width;
    Preview preview;
    std::optional<SvgBeside> svg;
    if (parsed.svg) {
        svg.emplace(parsed.out);
        preview = WritePreviewSvg(parsed.file, request, svg->Stream());
    } else {
        preview = RenderPreview(parsed.file, request);
        if (preview.drawn)
            WritePng(preview.image, parsed.out);  // its errors say "Cannot write file OUT"
    }
    if (!preview.drawn) {
        std::cerr << parsed.file << ": no preview: " << preview.why << '\n';
        return kExitRefused;
    }
    if (svg)
        svg->Keep();
    // DescribePreview says when the time limit cut the drawing short.
    std::cout << parsed.file << ": " << DescribePreview(preview) << ", " << preview.image.width
              << " x " << preview.image.height << " pixels -> " << parsed.out << '\n';
    return kExitOk;
}

}  // namespace tavrin::cli
