// Temporary-file names, their creation, and the clean-up of leftovers at start-up.
#include "temp_names.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "file_replace.h"
#include "temp_cleanup.h"

namespace folvek {

namespace {

constexpr const char kMarker[] = ".folvek-";
constexpr std::size_t kMarkerSize = sizeof kMarker - 1;
constexpr std::size_t kRandom = 6;

bool isAlnum(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

std::string randomPart() {
    static const char kChars[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    unsigned char bytes[kRandom] = {};
    if (::getrandom(bytes, sizeof bytes, 0) != static_cast<ssize_t>(sizeof bytes)) {
        static unsigned counter = 0;
        const unsigned seed = static_cast<unsigned>(::getpid()) * 2654435761u + ++counter;
        for (std::size_t i = 0; i < kRandom; ++i)
            bytes[i] = static_cast<unsigned char>(seed >> (i * 5));
    }
    std::string s;
    for (const unsigned char b : bytes) s += kChars[b % (sizeof kChars - 1)];
    return s;
}

// The maker of a leftover is gone when no process has its pid (a pid in use again by some other
// process keeps the file until a later start: never wrong, only late).
bool makerGone(pid_t pid) {
    return ::kill(pid, 0) != 0 && errno == ESRCH;
}

}  // namespace

std::string tempName(const std::string& dir, const std::string& name, pid_t pid,
                     const std::string& random) {
    std::string p = dir;
    if (p.empty() || p.back() != '/') p += '/';
    if (!name.empty()) p += "." + name;
    return p + kMarker + std::to_string(pid) + "-" + random;
}

bool isTempName(const std::string& name, pid_t* pid) {
    if (name.size() < 1 + kMarkerSize + 2 + kRandom || name[0] != '.') return false;
    const std::size_t dash = name.size() - kRandom - 1;
    if (name[dash] != '-') return false;
    for (std::size_t i = dash + 1; i < name.size(); ++i)
        if (!isAlnum(name[i])) return false;
    std::size_t digits = dash;
    while (digits > 0 && name[digits - 1] >= '0' && name[digits - 1] <= '9') --digits;
    if (digits == dash || dash - digits > 9 || digits < kMarkerSize) return false;
    if (name.compare(digits - kMarkerSize, kMarkerSize, kMarker) != 0) return false;
    if (pid) *pid = static_cast<pid_t>(std::stol(name.substr(digits, dash - digits)));
    return true;
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

bool createOwnedTemp(const std::string& dir, const std::string& target, OwnedTemp& temp) {
    temp = OwnedTemp{};
    std::string name = target;
    for (int attempt = 0; attempt < 8; ++attempt) {
        temp.path = tempName(dir, name, ::getpid(), randomPart());
        // Registered first: a signal at any moment from here on removes the file, and before
        // the file exists its removal finds nothing.
        temp.slot = temp_cleanup::add(temp.path.c_str());
        temp.fd = fileSystemCalls().makeTemp(temp.path.data());
        if (temp.fd >= 0) {
            ::flock(temp.fd, LOCK_EX);
            return true;
        }
        const int why = errno;
        temp_cleanup::drop(temp.slot);
        temp.slot = -1;
        errno = why;
        if (why == ENAMETOOLONG && !name.empty()) {
            name.clear();
            continue;
        }
        if (why != EEXIST) break;
    }
    temp.path.clear();
    return false;
}

bool createOwnedTempDir(const std::string& parent, const std::string& stem, OwnedTemp& temp) {
    temp = OwnedTemp{};
    temp.folder = true;
    for (int attempt = 0; attempt < 8; ++attempt) {
        temp.path = tempName(parent, stem, ::getpid(), randomPart());
        temp.slot = temp_cleanup::add(temp.path.c_str(), true);
        if (::mkdir(temp.path.c_str(), 0700) == 0) {
            temp.fd = ::open(temp.path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOFOLLOW);
            if (temp.fd >= 0) ::flock(temp.fd, LOCK_EX);
            return true;
        }
        const int why = errno;
        temp_cleanup::drop(temp.slot);
        temp.slot = -1;
        errno = why;
        if (why != EEXIST) break;
    }
    temp.path.clear();
    return false;
}

void removeOwnedTemp(OwnedTemp& temp) {
    if (temp.fd >= 0) ::close(temp.fd);
    if (!temp.path.empty() && !temp.folder) ::unlink(temp.path.c_str());
    if (!temp.path.empty() && temp.folder) {
        if (DIR* d = ::opendir(temp.path.c_str())) {
            while (const dirent* e = ::readdir(d))
                if (e->d_name[0] != '.') ::unlinkat(::dirfd(d), e->d_name, 0);
            ::closedir(d);
        }
        ::rmdir(temp.path.c_str());
    }
    temp_cleanup::drop(temp.slot);
    temp = OwnedTemp{};
}

void releaseOwnedTemp(OwnedTemp& temp) {
    if (temp.fd >= 0) ::close(temp.fd);
    temp_cleanup::drop(temp.slot);
    temp = OwnedTemp{};
}

int removeLeftoverTemps(const std::string& dir) {
    DIR* d = ::opendir(dir.c_str());
    if (!d) return 0;
    int removed = 0;
    const int dfd = ::dirfd(d);
    while (const dirent* e = ::readdir(d)) {
        const std::string name = e->d_name;
        pid_t maker = 0;
        if (!isTempName(name, &maker) || !makerGone(maker)) continue;
        const int fd = ::openat(dfd, name.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
        if (fd < 0) continue;
        struct stat st {};
        // A file still locked is being written by a running instance whatever its name says.
        const bool ours = ::fstat(fd, &st) == 0 && st.st_uid == ::geteuid() &&
                          (S_ISREG(st.st_mode) || S_ISDIR(st.st_mode)) &&
                          ::flock(fd, LOCK_EX | LOCK_NB) == 0;
        if (ours && S_ISDIR(st.st_mode)) {
            OwnedTemp folder;  // a job's folder: its own files and itself
            folder.path = dir + "/" + name;
            folder.folder = true;
            removeOwnedTemp(folder);
            removed += ::faccessat(dfd, name.c_str(), F_OK, AT_SYMLINK_NOFOLLOW) != 0;
        } else if (ours && ::unlinkat(dfd, name.c_str(), 0) == 0) {
            ++removed;
        }
        ::close(fd);
    }
    ::closedir(d);
    return removed;
}

}  // namespace folvek
