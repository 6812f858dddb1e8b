// Open files of other processes, and the watched folder's lock.
#include "watch_writers.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace folvek {

namespace {

std::string readSmall(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "re");
    if (!f) return {};
    char buf[512];
    const std::size_t n = std::fread(buf, 1, sizeof buf, f);
    std::fclose(f);
    return std::string(buf, n);
}

// The open mode of descriptor `fd` of `pid`, from the "flags:" line of its fdinfo (octal).
bool openForWriting(const std::string& pidDir, const char* fd) {
    const std::string info = readSmall(pidDir + "/fdinfo/" + fd);
    const auto at = info.find("flags:");
    if (at == std::string::npos) return true;  // cannot tell: count it as a writer
    const long flags = std::strtol(info.c_str() + at + 6, nullptr, 8);
    return (flags & O_ACCMODE) != O_RDONLY;
}

}  // namespace

std::vector<FileWriter> openWriters(dev_t device, ino_t inode) {
    std::vector<FileWriter> found;
    DIR* proc = ::opendir("/proc");
    if (!proc) return found;
    const pid_t self = ::getpid();
    while (const dirent* p = ::readdir(proc)) {
        char* end = nullptr;
        const long pid = std::strtol(p->d_name, &end, 10);
        if (pid <= 0 || *end != '\0' || pid == self) continue;
        const std::string pidDir = std::string("/proc/") + p->d_name;
        DIR* fds = ::opendir((pidDir + "/fd").c_str());
        if (!fds) continue;  // gone, or another user's
        bool writes = false;
        while (const dirent* e = ::readdir(fds)) {
            if (e->d_name[0] == '.') continue;
            struct stat st;
            if (::stat((pidDir + "/fd/" + e->d_name).c_str(), &st) != 0) continue;
            if (st.st_dev != device || st.st_ino != inode) continue;
            if (openForWriting(pidDir, e->d_name)) {
                writes = true;
                break;
            }
        }
        ::closedir(fds);
        if (!writes) continue;
        std::string comm = readSmall(pidDir + "/comm");
        while (!comm.empty() && (comm.back() == '\n' || comm.back() == '\0')) comm.pop_back();
        found.push_back({static_cast<pid_t>(pid), comm});
    }
    ::closedir(proc);
    return found;
}

std::string describeWriters(const std::vector<FileWriter>& writers) {
    std::string text = writers.size() == 1 ? "process " : "processes ";
    for (std::size_t i = 0; i < writers.size(); ++i) {
        if (i) text += ", ";
        text += std::to_string(writers[i].pid);
        if (!writers[i].command.empty()) text += " (" + writers[i].command + ")";
    }
    return text;
}

int lockWatchedFolder(int dirFd, std::string* holder) {
    int fd = ::openat(dirFd, ".folvek-watch.lock", O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0644);
    const bool file = fd >= 0;
    if (!file) fd = ::openat(dirFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        *holder = std::strerror(errno);
        return -1;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int err = errno;
        std::string pid = file ? readSmall("/proc/self/fd/" + std::to_string(fd)) : std::string();
        while (!pid.empty() && (pid.back() == '\n' || pid.back() == '\0')) pid.pop_back();
        ::close(fd);
        if (err != EWOULDBLOCK) {
            *holder = std::strerror(err);
            return -1;
        }
        *holder = pid.empty() ? std::string("another folvek-print") : "process " + pid;
        return -2;
    }
    if (file) {
        const std::string pid = std::to_string(::getpid()) + "\n";
        if (::ftruncate(fd, 0) == 0) (void)!::pwrite(fd, pid.data(), pid.size(), 0);
    }
    return fd;
}

}  // namespace folvek
