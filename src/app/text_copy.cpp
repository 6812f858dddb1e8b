// Copying a text file in text mode.
#include "text_copy.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>

namespace folvek {

namespace {

bool readAll(const std::string& path, std::string& out) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        ::close(fd);
        return false;
    }
    char buf[65536];
    for (;;) {
        ssize_t n = ::read(fd, buf, sizeof buf);
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            ::close(fd);
            return false;
        }
        out.append(buf, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return true;
}

// The file a name finally stands for, so that a link keeps pointing at the new copy.
std::string resolvedTarget(const std::string& target) {
    char buf[PATH_MAX];
    if (::realpath(target.c_str(), buf)) return buf;
    return target;  // a new file: its directory must exist, which the open below checks
}

}  // namespace

CopyResult copyTextFile(const std::string& source, const std::string& target) {
    std::string raw;
    if (!readAll(source, raw)) return CopyResult::SourceFailed;

    std::string text;
    text.reserve(raw.size() + raw.size() / 32);
    for (char c : raw) {
        if (c == 0x1a) break;
        if (c == '\r') continue;
        if (c == '\n') text.push_back('\r');
        text.push_back(c);
    }

    // The whole source is in memory, so writing beside the target and renaming over it is safe
    // even when the target is the source itself.
    const std::string real = resolvedTarget(target);
    std::string tmp = real + ".tmpXXXXXX";
    int fd = ::mkstemp(tmp.data());
    if (fd < 0) return CopyResult::TargetFailed;
    struct stat old {};
    mode_t mode = 0;
    if (::stat(real.c_str(), &old) == 0) {
        mode = old.st_mode & 07777;
    } else {
        mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    bool ok = true;
    std::size_t done = 0;
    while (ok && done < text.size()) {
        ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0)
            ok = false;
        else
            done += static_cast<std::size_t>(n);
    }
    if (ok) ::fchmod(fd, mode);
    if (::close(fd) != 0) ok = false;
    if (ok && std::rename(tmp.c_str(), real.c_str()) != 0) ok = false;
    if (!ok) {
        std::remove(tmp.c_str());
        return CopyResult::TargetFailed;
    }
    return CopyResult::Ok;
}

}  // namespace folvek
