// The slots and the handler. A slot's state is set only after its path is complete, and the
// handler reads nothing else, so a signal between the two finds the slot empty.
#include "temp_cleanup.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <iterator>

namespace folvek::temp_cleanup {

namespace {

enum State : int { kFree, kTaken, kFile, kFolder };

struct Slot {
    std::atomic<int> state{kFree};
    char path[4096];
};
Slot gSlots[16];

void emptyFolder(const char* path) {
    const int dir = ::open(path, O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOFOLLOW);
    if (dir < 0) return;
    alignas(8) char buf[4096];
    for (;;) {
        const ssize_t n = ::getdents64(dir, buf, sizeof buf);
        if (n <= 0) break;
        for (ssize_t at = 0; at < n;) {
            const auto* e = reinterpret_cast<const struct dirent64*>(buf + at);
            const char* name = e->d_name;
            if (!(name[0] == '.' && (!name[1] || (name[1] == '.' && !name[2]))))
                ::unlinkat(dir, name, 0);
            at += e->d_reclen;
        }
    }
    ::close(dir);
}

void onSignal(int sig) {
    const int saved = errno;
    removeAll();
    errno = saved;
    std::signal(sig, SIG_DFL);
    std::raise(sig);
}

}  // namespace

int add(const char* path, bool folder) {
    const std::size_t n = std::strlen(path);
    for (int i = 0; i < int(std::size(gSlots)); ++i) {
        Slot& s = gSlots[i];
        int expected = kFree;
        if (n >= sizeof s.path) return -1;
        if (!s.state.compare_exchange_strong(expected, kTaken)) continue;
        std::memcpy(s.path, path, n + 1);
        s.state.store(folder ? kFolder : kFile);
        return i;
    }
    return -1;
}

void drop(int slot) {
    if (slot >= 0 && slot < int(std::size(gSlots))) gSlots[slot].state.store(kFree);
}

void removeAll() {
    for (Slot& s : gSlots) {
        const int state = s.state.load();
        if (state == kFile) {
            ::unlink(s.path);
        } else if (state == kFolder) {
            emptyFolder(s.path);
            ::rmdir(s.path);
        } else {
            continue;
        }
        s.state.store(kFree);
    }
}

void installHandlers() {
    struct sigaction sa {};
    sa.sa_handler = onSignal;
    // A second signal waits until the first one's removals are done.
    sigemptyset(&sa.sa_mask);
    for (const int sig : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&sa.sa_mask, sig);
    for (const int sig : {SIGINT, SIGTERM, SIGHUP}) ::sigaction(sig, &sa, nullptr);
}

}  // namespace folvek::temp_cleanup
