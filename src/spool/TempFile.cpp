#include "spool/TempFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/Error.h"

namespace tavrin {

namespace {

constexpr mode_t kOwnerOnly = S_IRUSR | S_IWUSR;

[[noreturn]] void RefuseTempFile(const std::string& tempPath) {
    throw Error(FormatMessage("Cannot create file %s", tempPath));
}

}  // namespace

std::string TempFileName(const std::string& tempFilesPath) {
    std::string name = tempFilesPath;
    if (name.empty() || name.back() != '/') {
        name += '/';
    }
    return name + "temp.$$$";
}

std::optional<FileIdentity> IdentityOfPath(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return std::nullopt;
    }
    return FileIdentity{info.st_dev, info.st_ino};
}

TempFileCreation CreateTempFile(const std::string& tempPath, std::optional<FileIdentity> source) {
    TempFileCreation created;
    // Not truncated on open: what is at the name is checked first. O_NONBLOCK keeps a planted
    // named pipe from stalling the open; it has no effect on a plain file.
    created.fd = UniqueFd(::open(
        tempPath.c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK, kOwnerOnly));
    if (!created.fd.valid()) {
        // ELOOP: the name is a symbolic link. ENXIO: it is a pipe that no one reads.
        if (errno == ELOOP || errno == ENXIO) {
            RefuseTempFile(tempPath);
        }
        created.error = errno;
        return created;
    }
    struct stat info {};
    if (::fstat(created.fd.get(), &info) != 0) {
        created.error = errno;
        created.fd = UniqueFd();
        return created;
    }
    const bool isSource = source && source->device == info.st_dev && source->inode == info.st_ino;
    if (!S_ISREG(info.st_mode) || info.st_nlink > 1 || isSource) {
        RefuseTempFile(tempPath);
    }
    // A file left from an earlier run, or made by someone else, may be readable by others.
    if ((info.st_mode & 07777) != kOwnerOnly && ::fchmod(created.fd.get(), kOwnerOnly) != 0) {
        RefuseTempFile(tempPath);
    }
    if (::ftruncate(created.fd.get(), 0) != 0) {
        created.error = errno;
        created.fd = UniqueFd();
    }
    return created;
}

}  // namespace tavrin
