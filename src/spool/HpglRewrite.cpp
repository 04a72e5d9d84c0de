#include "spool/HpglRewrite.h"

#include <algorithm>
#include <cerrno>
#include <string>
#include <vector>

#include "platform/Error.h"
#include "platform/FileData.h"
#include "printers/PrintLanguage.h"
#include "spool/HpglBlockEditor.h"
#include "spool/TempFile.h"

namespace tavrin {

namespace {

// Blocks are read and written in groups of this many; each is still examined on its own.
constexpr std::size_t kBlocksPerRead = 64;

[[noreturn]] void RaiseInOutError(int error) {
    switch (error) {
        case ENOENT:
            throw Error("File not found");
        case EACCES:
        case EPERM:
        case EISDIR:
            throw Error("File access denied");
        default:
            throw Error(FormatMessage("I/O error %d", std::to_string(error)));
    }
}

void CheckData(const FileDataResult& result) {
    if (result.failed()) {
        RaiseInOutError(result.error);
    }
}

// "RP", the count, ";;;", cut to five bytes: "RP2;;", "RP12;", "RP123".
std::string ReplotText(int replotCount) {
    return ("RP" + std::to_string(replotCount) + ";;;").substr(0, 5);
}

}  // namespace

HpglRewrite RewriteHpglFile(const std::string& sourcePath, int replotCount,
                            const SpoolOptions& options) {
    const bool removeQuality = options.RemoveQL();
    const bool smartReplots = options.SmartReplots();

    SourceFile source = OpenSourceFile(sourcePath);
    if (source.error != 0) {
        RaiseInOutError(source.error);
    }
    TempFileCreation temp = CreateTempFile(TempFileName(options.TempFilesPath()), source.identity);
    if (temp.error != 0) {
        RaiseInOutError(temp.error);
    }

    // Drivers wrap the plot in padding and a job header: the head window is counted from where
    // the HP-GL/2 data begins.
    const std::int64_t dataStart =
        removeQuality ? static_cast<std::int64_t>(DetectFileLanguage(sourcePath).hpglStart) : 0;
    HpglBlockEditor editor({.removeQuality = removeQuality,
                            .seekPage = smartReplots,
                            .fromStart = options.FromStart(),
                            .fromEnd = options.FromEnd(),
                            .fileSize = source.size,
                            .dataStart = dataStart});
    const bool wantsReplot = smartReplots && replotCount > 0;
    const std::string replotText = ReplotText(replotCount);
    HpglRewrite outcome;

    const FileHandle& in = source.file;
    const FileHandle& out = temp.file;
    std::vector<char> buffer(HpglBlockEditor::kBlockSize * kBlocksPerRead);
    std::int64_t offset = 0;
    for (;;) {
        const std::optional<std::int64_t> next = editor.NextExamined(offset);
        if (next != offset) {
            // Nothing can change before the next examined block: copy up to it as it is.
            const std::optional<std::int64_t> limit =
                next ? std::optional<std::int64_t>(*next - offset) : std::nullopt;
            const FileDataResult copied = CopyFileData(in, out, limit);
            CheckData(copied);
            offset += copied.bytes;
            if (!limit || copied.bytes < *limit) {
                break;  // end of the file
            }
            continue;
        }
        std::size_t blocks = 1;
        while (blocks < kBlocksPerRead &&
               editor.Examines(offset +
                               static_cast<std::int64_t>(blocks * HpglBlockEditor::kBlockSize))) {
            ++blocks;
        }
        const FileDataResult read =
            ReadFully(in, buffer.data(), blocks * HpglBlockEditor::kBlockSize);
        CheckData(read);
        if (read.bytes == 0) {
            break;
        }
        const auto length = static_cast<std::size_t>(read.bytes);
        std::size_t written = 0;
        for (std::size_t start = 0; start < length; start += HpglBlockEditor::kBlockSize) {
            const std::size_t blockLength = std::min(HpglBlockEditor::kBlockSize, length - start);
            const std::optional<std::size_t> pageEnd =
                editor.Examine(std::span<char>(buffer.data() + start, blockLength),
                               offset + static_cast<std::int64_t>(start));
            if (pageEnd && wantsReplot) {
                const std::size_t insertion = start + *pageEnd;
                CheckData(WriteFully(out, buffer.data() + written, insertion - written));
                CheckData(WriteFully(out, replotText.data(), replotText.size()));
                written = insertion;
                outcome.replotPlaced = true;
            }
        }
        CheckData(WriteFully(out, buffer.data() + written, length - written));
        offset += read.bytes;
    }

    if (const int closeError = temp.file.Close(); closeError != 0) {
        RaiseInOutError(closeError);
    }
    return outcome;
}

}  // namespace tavrin
