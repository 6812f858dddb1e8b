// Unnamed files, their naming, and the descriptors a batch of them may hold.
#include "unnamed_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <string>

namespace folvek {

namespace {
// Left for the rest of the program (its windows, fonts, pipes) whatever a batch takes.
constexpr std::size_t kMargin = 256;

std::size_t openDescriptors() {
    std::size_t n = 0;
    if (DIR* d = ::opendir("/proc/self/fd")) {
        while (::readdir(d)) ++n;
        ::closedir(d);
    }
    return n;
}
}  // namespace

int openUnnamed(int dirFd) {
    return ::openat(dirFd, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
}

int nameUnnamed(int fd, int dirFd, const char* name) {
    // Naming through the descriptor itself is the cheaper way, but older kernels allow it only
    // with a privilege (ENOENT without it); through /proc any owner may. The first refusal
    // settles the way for the rest of the run.
    static std::atomic<bool> throughProc = false;
    if (!throughProc.load(std::memory_order_relaxed)) {
        if (::linkat(fd, "", dirFd, name, AT_EMPTY_PATH) == 0) return 0;
        if (errno != ENOENT && errno != EPERM) return -1;
        throughProc = true;
    }
    return nameUnnamedThroughProc(fd, dirFd, name);
}

int nameUnnamedThroughProc(int fd, int dirFd, const char* name) {
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    return ::linkat(AT_FDCWD, self.c_str(), dirFd, name, AT_SYMLINK_FOLLOW);
}

std::size_t descriptorsToSpare(std::size_t wanted) {
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0) return 0;
    const std::size_t used = openDescriptors() + kMargin;
    if (limit.rlim_cur != RLIM_INFINITY && limit.rlim_cur < used + wanted &&
        limit.rlim_cur < limit.rlim_max) {
        // Raising the soft limit is what it is for; this program waits with poll, never select.
        rlimit raised = limit;
        raised.rlim_cur = std::min<rlim_t>(limit.rlim_max, used + wanted);
        if (::setrlimit(RLIMIT_NOFILE, &raised) == 0) limit = raised;
    }
    const std::size_t spare = limit.rlim_cur == RLIM_INFINITY ? wanted
                              : limit.rlim_cur > used
                                  ? std::min<std::size_t>(limit.rlim_cur - used, wanted)
                                  : 0;
    // The descriptor table grows by doubling, and each growth in a process with threads waits
    // for every core to pass a quiescent point (some milliseconds): grown once, here, to hold
    // them all, rather than five times while the writers wait.
    if (spare > 0)
        if (const int top =
                ::fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, static_cast<int>(used - kMargin + spare));
            top >= 0)
            ::close(top);
    return spare;
}

}  // namespace folvek
