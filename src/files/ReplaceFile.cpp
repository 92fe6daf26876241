#include "files/ReplaceFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

namespace kestrel {

namespace {

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

// Creates a temporary file of a name no other file has; its name goes into tempPath.
// Returns the descriptor, or -1 with errno set.
int CreateTemporaryFile(const std::string& folder, mode_t mode, std::string& tempPath) {
    static std::atomic<unsigned> counter = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempPath = folder + "/.kestrel-" + std::to_string(::getpid()) + "-" +
                   std::to_string(counter++) + ".tmp";
        const int fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    errno = EEXIST;
    return -1;
}

int WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return 0;
}

}  // namespace

int ReplaceFileContents(const std::string& path, std::string_view bytes) {
    if (path.find('\0') != std::string::npos) return EINVAL;

    // What stands at the path now. The new file takes over an existing file's permissions;
    // a new name gets the usual ones (0666 less the umask).
    mode_t mode = 0666;
    struct stat existing {};
    if (::stat(path.c_str(), &existing) == 0) {
        if (S_ISDIR(existing.st_mode)) return EISDIR;
        if (::access(path.c_str(), W_OK) != 0) return errno;
        mode = existing.st_mode & 07777;
    } else if (errno != ENOENT) {
        return errno;
    }

    std::string tempPath;
    const int fd = CreateTemporaryFile(FolderOf(path), mode, tempPath);
    if (fd < 0) return errno;
    int error = WriteAll(fd, bytes);
    if (error == 0 && S_ISREG(existing.st_mode) && ::fchmod(fd, mode) != 0) error = errno;
    if (error == 0 && ::fsync(fd) != 0) error = errno;
    if (::close(fd) != 0 && error == 0) error = errno;
    if (error == 0 && ::rename(tempPath.c_str(), path.c_str()) != 0) error = errno;
    if (error != 0) ::unlink(tempPath.c_str());
    return error;
}

}  // namespace kestrel
