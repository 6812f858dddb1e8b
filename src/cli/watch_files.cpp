// Moves, snapshots and new jobs of the watched folder.
#include "watch_files.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "retrying_io.h"

namespace folvek {

void Fd::reset(int fd) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = fd;
}

bool moveNoReplace(int fromDir, const std::string& from, int toDir,
                   const std::function<std::string(int)>& nameFor, std::string* placed,
                   std::string* error, const char* alsoFreeSuffix) {
    for (int n = 0; n < 10000; ++n) {
        const std::string target = nameFor(n);
        if (alsoFreeSuffix &&
            ::faccessat(toDir, (target + alsoFreeSuffix).c_str(), F_OK, AT_SYMLINK_NOFOLLOW) == 0)
            continue;
        if (::renameat2(fromDir, from.c_str(), toDir, target.c_str(), RENAME_NOREPLACE) == 0) {
            *placed = target;
            return true;
        }
        if (errno == EEXIST) continue;
        if (errno != EINVAL && errno != ENOSYS) {
            *error = std::strerror(errno);
            return false;
        }
        if (::linkat(fromDir, from.c_str(), toDir, target.c_str(), 0) != 0) {
            if (errno == EEXIST) continue;
            *error = std::strerror(errno);
            return false;
        }
        ::unlinkat(fromDir, from.c_str(), 0);
        *placed = target;
        return true;
    }
    *error = "no free name";
    return false;
}

bool copyRange(int in, std::uint64_t from, std::uint64_t length, int out, std::uint64_t outOffset) {
    std::vector<char> buf(1 << 20);
    while (length > 0) {
        const std::size_t want =
            length < buf.size() ? static_cast<std::size_t>(length) : buf.size();
        const ssize_t got = preadSome(in, buf.data(), want, static_cast<off_t>(from));
        if (got <= 0) return false;
        if (!pwriteAll(out, buf.data(), static_cast<std::size_t>(got),
                       static_cast<off_t>(outOffset)))
            return false;
        outOffset += static_cast<std::uint64_t>(got);
        from += static_cast<std::uint64_t>(got);
        length -= static_cast<std::uint64_t>(got);
    }
    return true;
}

bool samePrefix(int a, int b, std::uint64_t length) {
    std::vector<char> x(1 << 16), y(1 << 16);
    for (std::uint64_t at = 0; at < length;) {
        const std::size_t want =
            length - at < x.size() ? static_cast<std::size_t>(length - at) : x.size();
        const ssize_t n = ::pread(a, x.data(), want, static_cast<off_t>(at));
        const ssize_t m = ::pread(b, y.data(), want, static_cast<off_t>(at));
        if (n <= 0 || n != m || std::memcmp(x.data(), y.data(), static_cast<std::size_t>(n)) != 0)
            return false;
        at += static_cast<std::uint64_t>(n);
    }
    return true;
}

bool writeNewJob(int in, std::uint64_t from, std::uint64_t end, int dir,
                 const std::function<std::string(int)>& nameFor, std::string* placed,
                 std::string* error) {
    const std::string temp = ".folvek-rest-" + std::to_string(::getpid());
    const int out =
        ::openat(dir, temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (out < 0) {
        *error = std::strerror(errno);
        return false;
    }
    const bool copied = copyRange(in, from, end - from, out, 0);
    const int saved = errno;
    if (::close(out) != 0 || !copied) {
        *error = std::strerror(copied ? errno : saved);
        ::unlinkat(dir, temp.c_str(), 0);
        return false;
    }
    if (moveNoReplace(dir, temp, dir, nameFor, placed, error)) return true;
    ::unlinkat(dir, temp.c_str(), 0);
    return false;
}

}  // namespace folvek
