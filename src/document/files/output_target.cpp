// The output-target rules: what a path names, and how a stream target is opened.
#include "output_target.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace folvek {

namespace {

// The descriptor a name stands for: "-", /dev/stdout, /dev/stderr, /dev/fd/N, /proc/self/fd/N.
// These are written through the descriptor we already hold; opening them again would fail for
// a socket and would truncate a file the shell opened for appending.
int descriptorNamed(const std::string& path) {
    if (path == "-" || path == "/dev/stdout") return STDOUT_FILENO;
    if (path == "/dev/stderr") return STDERR_FILENO;
    for (const char* prefix : {"/dev/fd/", "/proc/self/fd/"}) {
        const std::size_t n = std::strlen(prefix);
        if (path.compare(0, n, prefix) != 0 || path.size() == n || path.size() > n + 6) continue;
        int fd = 0;
        for (std::size_t i = n; i < path.size(); ++i) {
            if (path[i] < '0' || path[i] > '9') return -1;
            fd = fd * 10 + (path[i] - '0');
        }
        return fd;
    }
    return -1;
}

SaveStatus fromMode(const struct stat& st, OutputTarget& t, int& error) {
    if (S_ISDIR(st.st_mode)) {
        error = EISDIR;
        return SaveStatus::Directory;
    }
    if (S_ISCHR(st.st_mode) || S_ISFIFO(st.st_mode) || S_ISSOCK(st.st_mode)) {
        t.kind = OutputKind::Stream;
        return SaveStatus::Ok;
    }
    if (!S_ISREG(st.st_mode)) {  // a block device: a disk is never a report's output
        error = EINVAL;
        return SaveStatus::NotRegular;
    }
    t.kind = OutputKind::RegularFile;
    // Root may write anything, but a file nobody may write is one the user meant to keep.
    if (::access(t.path.c_str(), W_OK) != 0 || (st.st_mode & 0222) == 0) {
        error = EACCES;
        return SaveStatus::ReadOnly;
    }
    return SaveStatus::Ok;
}

}  // namespace

SaveStatus resolveOutputTarget(const std::string& path, OutputTarget& t, int& error) {
    t = OutputTarget{};
    t.path = path;
    error = 0;
    if (path.empty()) {
        error = ENOENT;
        return SaveStatus::CreateFailed;
    }
    if (const int fd = descriptorNamed(path); fd >= 0) {
        if (::fstat(fd, &t.st) != 0) {
            error = errno;
            return SaveStatus::CreateFailed;
        }
        t.kind = OutputKind::Stream;
        t.fd = fd;
        return SaveStatus::Ok;
    }
    struct stat lst {};
    if (::lstat(path.c_str(), &lst) != 0) {
        if (errno != ENOENT) {
            error = errno;
            return SaveStatus::CreateFailed;
        }
        return SaveStatus::Ok;  // a new file
    }
    if (!S_ISLNK(lst.st_mode)) {
        t.st = lst;
        return fromMode(t.st, t, error);
    }
    if (::stat(path.c_str(), &t.st) != 0) {
        error = errno;
        return SaveStatus::NotRegular;  // a dangling link: creating through it is no save
    }
    if (!S_ISREG(t.st.st_mode)) return fromMode(t.st, t, error);  // written through the link
    char* real = ::realpath(path.c_str(), nullptr);
    if (!real) {
        error = errno;
        return SaveStatus::NotRegular;
    }
    t.path = real;
    std::free(real);
    if (t.st.st_uid != ::geteuid()) {
        error = EPERM;
        return SaveStatus::ForeignLink;
    }
    return fromMode(t.st, t, error);
}

int openOutputStream(const OutputTarget& t) {
    if (t.fd >= 0) return ::fcntl(t.fd, F_DUPFD_CLOEXEC, 3);
    if (S_ISSOCK(t.st.st_mode)) {
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        if (t.path.size() >= sizeof addr.sun_path) {
            errno = ENAMETOOLONG;
            return -1;
        }
        std::memcpy(addr.sun_path, t.path.c_str(), t.path.size() + 1);
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd < 0) return -1;
        if (::connect(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0) {
            const int why = errno;
            ::close(fd);
            errno = why;
            return -1;
        }
        return fd;
    }
    // Never O_CREAT or O_TRUNC: the node is there and stays what it is.
    const int fd = ::open(t.path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return -1;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || S_ISREG(st.st_mode) || S_ISDIR(st.st_mode) ||
        S_ISBLK(st.st_mode)) {
        ::close(fd);  // swapped for something else since it was looked at
        errno = EINVAL;
        return -1;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

}  // namespace folvek
