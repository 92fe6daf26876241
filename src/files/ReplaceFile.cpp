#include "files/ReplaceFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <vector>

#include "files/SystemErrorText.h"

namespace kestrel {

namespace {

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

// The file the path names: a symbolic link is followed, link after link, to the file at
// its end (which need not exist yet). Returns 0 or an errno.
int FollowLinks(std::string path, std::string& target) {
    constexpr int kMostLinks = 40;  // as the system itself follows
    for (int hop = 0; hop < kMostLinks; ++hop) {
        struct stat info {};
        if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
            target = path;
            return 0;
        }
        std::vector<char> link(4096);
        const ssize_t n = ::readlink(path.c_str(), link.data(), link.size());
        if (n < 0) return errno;
        if (static_cast<std::size_t>(n) == link.size()) return ENAMETOOLONG;
        const std::string to(link.data(), static_cast<std::size_t>(n));
        path = to.starts_with('/') ? to : FolderOf(path) + "/" + to;
    }
    return ELOOP;
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

// A file's new bytes, complete in a temporary file beside it.
struct Written {
    std::string target;  // the file to replace, links followed
    std::string temp;
};

// Writes the bytes into a temporary file beside the file the path names. Returns 0 or the
// errno of the step that failed, and then leaves no temporary file.
int WriteBeside(const std::string& path, std::string_view bytes, Written& written) {
    if (path.find('\0') != std::string::npos) return EINVAL;
    if (const int e = FollowLinks(path, written.target); e != 0) return e;

    // What stands there now. The new file takes over an existing file's permissions; a
    // new name gets the usual ones (0666 less the umask).
    mode_t mode = 0666;
    struct stat existing {};
    if (::stat(written.target.c_str(), &existing) == 0) {
        // A named pipe or a device is never replaced by a file: writing "into" it must
        // not turn it into something else.
        if (S_ISDIR(existing.st_mode)) return EISDIR;
        if (!S_ISREG(existing.st_mode)) return kNotRegularFile;
        if (::access(written.target.c_str(), W_OK) != 0) return errno;
        mode = existing.st_mode & 07777;
    } else if (errno != ENOENT) {
        return errno;
    }

    const int fd = CreateTemporaryFile(FolderOf(written.target), mode, written.temp);
    if (fd < 0) return errno;
    int error = WriteAll(fd, bytes);
    if (error == 0 && S_ISREG(existing.st_mode) && ::fchmod(fd, mode) != 0) error = errno;
    if (error == 0 && ::fsync(fd) != 0) error = errno;
    if (::close(fd) != 0 && error == 0) error = errno;
    if (error != 0) ::unlink(written.temp.c_str());
    return error;
}

}  // namespace

void IgnoreFileSizeSignal() {
    std::signal(SIGXFSZ, SIG_IGN);
}

std::optional<ReplaceFailure> ReplaceFiles(std::span<const FileContents> files) {
    std::vector<Written> written(files.size());
    std::optional<ReplaceFailure> failure;
    std::size_t ready = 0;  // temporary files complete
    for (; ready < files.size(); ++ready) {
        if (const int e = WriteBeside(files[ready].path, files[ready].bytes, written[ready])) {
            failure = ReplaceFailure{ready, e, 0};
            break;
        }
    }
    std::size_t renamed = 0;
    for (; !failure && renamed < files.size(); ++renamed) {
        if (::rename(written[renamed].temp.c_str(), written[renamed].target.c_str()) != 0) {
            failure = ReplaceFailure{renamed, errno, renamed};
            break;
        }
    }
    for (std::size_t k = renamed; k < ready; ++k) ::unlink(written[k].temp.c_str());
    return failure;
}

int ReplaceFileContents(const std::string& path, std::string_view bytes) {
    const FileContents file[] = {{path, bytes}};
    const std::optional<ReplaceFailure> failure = ReplaceFiles(file);
    return failure ? failure->systemError : 0;
}

}  // namespace kestrel
