// SPDX-License-Identifier: GPL-3.0-or-later
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "cli/CliCommands.h"
#include "platform/Error.h"
#include "preview/PngFile.h"
#include "preview/Preview.h"

namespace tavrin::cli {
namespace {

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

// A temporary file beside the output, renamed over it once written whole, so that the output
// is never a half-written picture; removed when the picture is not kept.
class OutputBeside {
public:
    explicit OutputBeside(const std::string& target) : target_(target) {
        const std::size_t slash = target.rfind('/');
        const std::string folder = slash == std::string::npos ? "" : target.substr(0, slash + 1);
        std::string name = folder + "." + target.substr(folder.size()) + ".XXXXXX";
        const int fd = ::mkostemp(name.data(), O_CLOEXEC);
        if (fd < 0)
            throw Error(FormatMessage("Cannot write file %s", target));
        ::close(fd);
        temporary_ = name;
    }
    ~OutputBeside() {
        if (!temporary_.empty())
            ::unlink(temporary_.c_str());
    }
    OutputBeside(const OutputBeside&) = delete;
    OutputBeside& operator=(const OutputBeside&) = delete;

    const std::string& path() const { return temporary_; }

    void Keep() {
        // mkostemp made the file for its owner only; a picture gets the usual permissions, or
        // those of the file it replaces.
        struct stat existing {};
        mode_t mode = 0;
        if (::stat(target_.c_str(), &existing) == 0) {
            mode = existing.st_mode & 07777;
        } else {
            const mode_t mask = ::umask(0);
            ::umask(mask);
            mode = 0666 & ~mask;
        }
        const int fd = ::open(temporary_.c_str(), O_RDONLY | O_CLOEXEC);
        const bool synced = fd >= 0 && ::fchmod(fd, mode) == 0 && ::fsync(fd) == 0;
        if (fd >= 0)
            ::close(fd);
        if (!synced || ::rename(temporary_.c_str(), target_.c_str()) != 0)
            throw Error(FormatMessage("Cannot write file %s", target_));
        temporary_.clear();
    }

private:
    std::string target_;
    std::string temporary_;
};

}  // namespace

int RunPreview(const Args& args) {
    const PreviewArgs parsed = ParsePreviewArgs(args);
    PreviewRequest request;
    request.width = parsed.width;
    OutputBeside output(parsed.out);
    Preview preview;
    if (parsed.svg) {
        std::ofstream svg(output.path(), std::ios::binary | std::ios::trunc);
        preview = WritePreviewSvg(parsed.file, request, svg);
        svg.close();
        if (preview.drawn && !svg)
            throw Error(FormatMessage("Cannot write file %s", parsed.out));
    } else {
        preview = RenderPreview(parsed.file, request);
        if (preview.drawn) {
            try {
                WritePng(preview.image, output.path());
            } catch (const Error&) {
                throw Error(FormatMessage("Cannot write file %s", parsed.out));
            }
        }
    }
    if (!preview.drawn) {
        std::cerr << parsed.file << ": no preview: " << preview.why << '\n';
        return kExitRefused;
    }
    output.Keep();
    // DescribePreview says when the time limit cut the drawing short.
    std::cout << parsed.file << ": " << DescribePreview(preview) << ", " << preview.image.width
              << " x " << preview.image.height << " pixels -> " << parsed.out << '\n';
    return kExitOk;
}

}  // namespace tavrin::cli
