// Reads and writes that survive signals and short counts.
#include "retrying_io.h"

#include <unistd.h>

#include <cerrno>
#include <memory>

namespace folvek {

ssize_t readSome(int fd, void* into, std::size_t n) {
    for (;;) {
        const ssize_t got = ::read(fd, into, n);
        if (got >= 0 || errno != EINTR) return got;
    }
}

ssize_t preadSome(int fd, void* into, std::size_t n, off_t at) {
    for (;;) {
        const ssize_t got = ::pread(fd, into, n, at);
        if (got >= 0 || errno != EINTR) return got;
    }
}

bool readToEnd(int fd, std::string& out, std::size_t limit) {
    char buf[65536];
    for (std::size_t read = 0; read < limit;) {
        const std::size_t want = limit - read < sizeof buf ? limit - read : sizeof buf;
        const ssize_t got = readSome(fd, buf, want);
        if (got < 0) return false;
        if (got == 0) break;
        out.append(buf, static_cast<std::size_t>(got));
        read += static_cast<std::size_t>(got);
    }
    return true;
}

bool writeAll(int fd, const void* data, std::size_t n, WriteCall write) {
    if (!write) write = ::write;
    const char* p = static_cast<const char*>(data);
    while (n) {
        const ssize_t w = write(fd, p, n);
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) {
            if (w == 0) errno = ENOSPC;
            return false;
        }
        p += w;
        n -= static_cast<std::size_t>(w);
    }
    return true;
}

bool pwriteAll(int fd, const void* data, std::size_t n, off_t at) {
    const char* p = static_cast<const char*>(data);
    while (n) {
        const ssize_t w = ::pwrite(fd, p, n, at);
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) {
            if (w == 0) errno = ENOSPC;
            return false;
        }
        p += w;
        at += w;
        n -= static_cast<std::size_t>(w);
    }
    return true;
}

CopyStatus copyToEnd(int in, int out, std::uint64_t* copied) {
    constexpr std::size_t kBlock = 1 << 20;
    const std::unique_ptr<char[]> buf(new char[kBlock]);
    if (copied) *copied = 0;
    for (;;) {
        const ssize_t got = readSome(in, buf.get(), kBlock);
        if (got < 0) return CopyStatus::ReadFailed;
        if (got == 0) return CopyStatus::Ok;
        if (!writeAll(out, buf.get(), static_cast<std::size_t>(got)))
            return CopyStatus::WriteFailed;
        if (copied) *copied += static_cast<std::uint64_t>(got);
    }
}

}  // namespace folvek
