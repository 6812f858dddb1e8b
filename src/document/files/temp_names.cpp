// Temporary-file names and the clean-up of leftovers at start-up.
#include "temp_names.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "file_replace.h"

namespace folvek {

namespace {

constexpr const char kMarker[] = ".folvek-";
constexpr std::size_t kMarkerSize = sizeof kMarker - 1;
constexpr std::size_t kRandom = 6;

}  // namespace

std::string tempPattern(const std::string& dir, const std::string& name) {
    std::string p = dir;
    if (p.empty() || p.back() != '/') p += '/';
    if (!name.empty()) p += "." + name;
    return p + kMarker + "XXXXXX";
}

bool isTempName(const std::string& name) {
    if (name.size() < kMarkerSize + kRandom || name[0] != '.') return false;
    const std::size_t at = name.size() - kRandom - kMarkerSize;
    return name.compare(at, kMarkerSize, kMarker) == 0;
}

std::string directoryOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string baseNameOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

int removeLeftoverTemps(const std::string& dir) {
    DIR* d = ::opendir(dir.c_str());
    if (!d) return 0;
    int removed = 0;
    const int dfd = ::dirfd(d);
    while (const dirent* e = ::readdir(d)) {
        const std::string name = e->d_name;
        if (!isTempName(name)) continue;
        const int fd = ::openat(dfd, name.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
        if (fd < 0) continue;
        struct stat st {};
        // A file still locked is being written by another running instance.
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid() &&
            ::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::unlinkat(dfd, name.c_str(), 0) == 0)
            ++removed;
        ::close(fd);
    }
    ::closedir(d);
    return removed;
}

}  // namespace folvek
