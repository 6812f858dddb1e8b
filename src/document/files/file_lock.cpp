// The directory lock around read-merge-write.
#include "file_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>

#include "temp_names.h"

namespace folvek {

FileLock::FileLock(const std::string& filePath, int waitMs) {
    const int fd = ::open(directoryOf(filePath).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    const timespec pause{0, 10 * 1000 * 1000};
    for (int waited = 0;; waited += 10) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            fd_ = fd;
            return;
        }
        if ((errno != EWOULDBLOCK && errno != EINTR) || waited >= waitMs) break;
        ::nanosleep(&pause, nullptr);
    }
    ::close(fd);
}

FileLock::~FileLock() {
    if (fd_ >= 0) ::close(fd_);  // closing releases the lock
}

}  // namespace folvek
