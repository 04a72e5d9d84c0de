#include "platform/AtomicFileWrite.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <system_error>
#include <vector>

namespace tavrin {

namespace fs = std::filesystem;

namespace {

[[noreturn]] void ThrowErrno(const char* what) {
    throw std::system_error(errno, std::generic_category(), what);
}

mode_t PermissionsForNewFile() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

fs::path ResolveLinks(const fs::path& file) {
    std::error_code error;
    if (!fs::is_symlink(file, error))
        return file;
    fs::path target = fs::weakly_canonical(file, error);
    return error ? file : target;
}

void WriteAll(int fd, std::string_view contents) {
    while (!contents.empty()) {
        const ssize_t written = ::write(fd, contents.data(), contents.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            ThrowErrno("write");
        }
        contents.remove_prefix(static_cast<std::size_t>(written));
    }
}

void SyncFolder(const fs::path& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);  // the rename has happened; a folder that cannot be synced changes nothing
    ::close(fd);
}

}  // namespace

void WriteFileAtomically(const fs::path& file, std::string_view contents) {
    const fs::path target = ResolveLinks(file);
    fs::path folder = target.parent_path();
    if (folder.empty())
        folder = ".";

    std::string pattern = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0)
        ThrowErrno("mkstemp");
    const std::string temporary(name.data());

    try {
        struct stat existing {};
        const mode_t mode = ::stat(target.c_str(), &existing) == 0 ? (existing.st_mode & 07777)
                                                                   : PermissionsForNewFile();
        if (::fchmod(fd, mode) != 0)
            ThrowErrno("fchmod");
        WriteAll(fd, contents);
        if (::fsync(fd) != 0)
            ThrowErrno("fsync");
    } catch (...) {
        ::close(fd);
        ::unlink(temporary.c_str());
        throw;
    }
    if (::close(fd) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        throw std::system_error(error, std::generic_category(), "close");
    }
    if (::rename(temporary.c_str(), target.c_str()) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        throw std::system_error(error, std::generic_category(), "rename");
    }
    SyncFolder(folder);
}

}  // namespace tavrin
