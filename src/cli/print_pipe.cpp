// Reading the job and naming it to lp.
#include "print_pipe.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>

namespace folvek {

namespace {

bool writeAll(int fd, const char* p, std::size_t n) {
    while (n > 0) {
        const ssize_t w = ::write(fd, p, n);
        if (w < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += w;
        n -= static_cast<std::size_t>(w);
    }
    return true;
}

}  // namespace

bool copyToFile(int fd, const std::string& path, std::uint64_t* bytes, std::string* error) {
    *bytes = 0;
    const int out = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (out < 0) {
        *error = path + ": " + std::strerror(errno);
        return false;
    }
    constexpr std::size_t kBlock = 1 << 20;
    const std::unique_ptr<char[]> buf(new char[kBlock]);
    bool ok = true;
    for (;;) {
        const ssize_t got = ::read(fd, buf.get(), kBlock);
        if (got < 0) {
            if (errno == EINTR) continue;
            *error = std::string("standard input: ") + std::strerror(errno);
            ok = false;
            break;
        }
        if (got == 0) break;
        if (!writeAll(out, buf.get(), static_cast<std::size_t>(got))) {
            *error = path + ": " + std::strerror(errno);
            ok = false;
            break;
        }
        *bytes += static_cast<std::uint64_t>(got);
    }
    if (::close(out) != 0 && ok) {
        *error = path + ": " + std::strerror(errno);
        ok = false;
    }
    return ok;
}

std::vector<std::string> lpPipeCommand(const std::string& queue, const std::string& title,
                                       const std::string& media, bool landscape,
                                       const std::string& file) {
    std::vector<std::string> argv{"lp"};
    if (!queue.empty()) argv.insert(argv.end(), {"-d", queue});
    argv.insert(argv.end(), {"-t", title, "-o", "media=" + media});
    if (landscape) argv.insert(argv.end(), {"-o", "landscape"});
    argv.insert(argv.end(), {"--", file});
    return argv;
}

}  // namespace folvek
