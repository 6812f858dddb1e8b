// The one atomic file writer: settings files and the history go through it.
#include "file_replace.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace folvek {

namespace {

ssize_t systemWrite(int fd, const void* data, std::size_t n) {
    return ::write(fd, data, n);
}
int systemRename(const char* from, const char* to) {
    return std::rename(from, to);
}

FileSystemCalls& calls() {
    static FileSystemCalls c = defaultFileSystemCalls();
    return c;
}

}  // namespace

FileSystemCalls defaultFileSystemCalls() {
    return {::mkstemp, systemWrite, ::fsync, systemRename};
}

FileSystemCalls& fileSystemCalls() {
    return calls();
}

bool replaceFile(const std::string& path, const std::string& bytes, mode_t mode) {
    const FileSystemCalls& fs = calls();
    std::string temp = path + ".XXXXXX";
    const int fd = fs.makeTemp(temp.data());
    if (fd < 0) return false;
    bool ok = ::fchmod(fd, mode) == 0;
    const char* p = bytes.data();
    std::size_t left = bytes.size();
    while (ok && left) {
        const ssize_t n = fs.write(fd, p, left);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = ENOSPC;
            ok = false;
            break;
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    // A full disk may only show when the data reaches it.
    ok = ok && fs.sync(fd) == 0;
    const int saved = errno;
    ok = (::close(fd) == 0) && ok;
    ok = ok && fs.rename(temp.c_str(), path.c_str()) == 0;
    if (!ok) {
        const int why = errno ? errno : saved;
        ::unlink(temp.c_str());
        errno = why;
    }
    return ok;
}

}  // namespace folvek
