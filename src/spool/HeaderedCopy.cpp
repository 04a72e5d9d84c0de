#include "spool/HeaderedCopy.h"

#include "platform/Error.h"
#include "platform/FileData.h"
#include "spool/TempFile.h"

namespace tavrin {

namespace {

[[noreturn]] void RaiseStreamError(FileDataFailure failure) {
    throw Error(failure == FileDataFailure::Read ? "Stream read error" : "Stream write error");
}

}  // namespace

void WriteHeaderedCopy(const std::string& sourcePath, const std::string& header,
                       const SpoolOptions& options) {
    const std::string tempPath = TempFileName(options.TempFilesPath());
    TempFileCreation temp = CreateTempFile(tempPath, IdentityOfPath(sourcePath));
    if (temp.error != 0) {
        throw Error(FormatMessage("Cannot create file %s", tempPath));
    }
    if (const FileDataResult written = WriteFully(temp.file, header.data(), header.size());
        written.failed()) {
        RaiseStreamError(written.failure);
    }

    const SourceFile source = OpenSourceFile(sourcePath);
    if (source.error != 0) {
        if (temp.file.Close() != 0) {
            RaiseStreamError(FileDataFailure::Write);
        }
        throw Error(FormatMessage("Cannot open file %s", sourcePath));
    }
    if (const FileDataResult copied = CopyFileData(source.file, temp.file, std::nullopt);
        copied.failed()) {
        RaiseStreamError(copied.failure);
    }
    if (temp.file.Close() != 0) {
        RaiseStreamError(FileDataFailure::Write);
    }
}

}  // namespace tavrin
