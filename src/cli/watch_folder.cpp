// The watched folder: inotify wakes the loop, a listing every two seconds catches what it
// missed, and each complete file is laid out by a folvek-print of its own (a crash on one
// file never stops the watch). Names are handled as bytes through the folder's descriptor and
// the job reads the file on its standard input, so no name is ever decoded, re-encoded or
// taken for an option, and a symbolic link is never followed.
#include "watch_folder.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/inotify.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <functional>
#include <memory>
#include <set>

#include "printable_job.h"
#include "retrying_io.h"
#include "run_program.h"
#include "watch_files.h"
#include "watch_job.h"
#include "watch_names.h"
#include "watch_settle.h"
#include "watch_writers.h"

namespace folvek {

namespace {

constexpr std::int64_t kRescanMs = 2000;
constexpr std::int64_t kWriterRetryMs = 250;
// A file being printed is renamed to this prefix and its name, out of the way of a program that
// opens the name again: what it writes then is a new file, a job of its own.
constexpr const char* kTakenPrefix = ".folvek-taken-";

volatile sig_atomic_t gStop = 0;
int gWakeFd = -1;

void onStopSignal(int) {
    gStop = 1;
    const char c = 1;
    if (gWakeFd >= 0) (void)!::write(gWakeFd, &c, 1);
}

void say(const std::string& line) {
    std::fprintf(stderr, "folvek-print: %s\n", line.c_str());
}

std::int64_t nowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

std::string errnoText() {
    return std::strerror(errno);
}

// A printed file on its way to done/: its descriptor, the bytes that were printed.
struct Printed {
    std::string name, taken, line;
    Fd file, snapshot;
    std::uint64_t handled = 0;  // bytes printed so far
};

class FolderWatch {
  public:
    explicit FolderWatch(const WatchOptions& o) : opt_(o), tracker_(o.settleMs, o.maxWaitMs) {}

    int run() {
        dir_.reset(::open(opt_.dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (dir_.get() < 0) return fail("cannot watch " + opt_.dir + ": " + errnoText());
        ::fstat(dir_.get(), &dirStat_);
        std::string holder;
        lock_.reset(lockWatchedFolder(dir_.get(), &holder));
        if (lock_.get() == -2) {
            say(opt_.dir + " is watched already by " + holder +
                ": a second watcher would print every file twice; stopped");
            return 1;
        }
        if (lock_.get() < 0) return fail("cannot lock " + opt_.dir + ": " + holder);
        putBackTaken();
        if (!opt_.deleteDone && !openSubfolder("done", &done_)) return 1;
        if (!openSubfolder("failed", &failed_)) return 1;
        if (!opt_.pdfDir.empty()) {
            std::error_code ec;
            std::filesystem::create_directories(opt_.pdfDir, ec);
            out_.reset(::open(opt_.pdfDir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
            if (out_.get() < 0) return fail("cannot write to " + opt_.pdfDir + ": " + errnoText());
            struct stat st;
            ::fstat(out_.get(), &st);
            // The PDFs would be printed again as new files, for ever.
            if (st.st_dev == dirStat_.st_dev && st.st_ino == dirStat_.st_ino) {
                say("--pdf-dir must not be the watched folder itself");
                return 2;
            }
        }
        watchEvents();
        if (!catchSignals()) return fail("cannot set up the stop signals: " + errnoText());

        std::string target = opt_.pdfDir.empty()
                                 ? (opt_.printer.empty() ? std::string("the default printer")
                                                         : "printer " + opt_.printer)
                                 : "PDF files in " + opt_.pdfDir;
        say("watching " + opt_.dir + ": files are printed to " + target + " once they are " +
            std::to_string(opt_.settleMs) + " ms unchanged");
        std::int64_t lastScan = -kRescanMs;
        for (;;) {
            const std::int64_t now = nowMs();
            if (!folderStillThere()) {
                say("the folder " + opt_.dir + " has disappeared: stopped watching");
                return 1;
            }
            fileClosedOnes();
            tracker_.observe(listing(), now);
            lastScan = now;
            for (const ReadyFile& f : tracker_.takeReady(now)) {
                if (gStop) break;
                handle(f);
            }
            if (gStop) {
                fileClosedOnes();
                say("stopped");
                return 0;
            }
            const std::int64_t due = tracker_.msUntilNext(nowMs());
            std::int64_t wait = printed_.empty() ? kRescanMs : kWriterRetryMs;
            if (due >= 0 && due < wait) wait = due + 1;
            waitForEvents(wait);
            if (gStop) {
                say("stopped");
                return 0;
            }
            // A writer that changes the file all the time would otherwise keep the loop busy.
            const std::int64_t since = nowMs() - lastScan;
            if (since < 20) waitForEvents(20 - since, /*signalsOnly=*/true);
        }
    }

  private:
    int fail(const std::string& text) {
        say(text);
        return 1;
    }

    // Files that were being printed when a watch before this one was killed wait again.
    void putBackTaken() {
        const int fd = ::openat(dir_.get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        DIR* d = fd < 0 ? nullptr : ::fdopendir(fd);
        if (!d) {
            if (fd >= 0) ::close(fd);
            return;
        }
        std::vector<std::string> taken;
        while (const dirent* e = ::readdir(d))
            if (std::strncmp(e->d_name, kTakenPrefix, std::strlen(kTakenPrefix)) == 0)
                taken.emplace_back(e->d_name);
        ::closedir(d);
        for (const std::string& t : taken) {
            const std::string name = t.substr(std::strlen(kTakenPrefix));
            if (name.empty()) continue;
            say(printableName(name) +
                ": was being printed when the last watch stopped; it will be printed again");
            putBack(t, name);
        }
    }

    bool openSubfolder(const char* name, Fd* fd) {
        if (::mkdirat(dir_.get(), name, 0755) != 0 && errno != EEXIST) {
            say("cannot make " + opt_.dir + "/" + name + ": " + errnoText());
            return false;
        }
        fd->reset(::openat(dir_.get(), name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (fd->get() < 0) {
            say(opt_.dir + "/" + name + " is not a folder that can be used: " + errnoText());
            return false;
        }
        return true;
    }

    void watchEvents() {
        inotify_.reset(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC));
        if (inotify_.get() < 0 ||
            ::inotify_add_watch(inotify_.get(), opt_.dir.c_str(),
                                IN_CREATE | IN_MODIFY | IN_CLOSE_WRITE | IN_MOVED_TO |
                                    IN_MOVED_FROM | IN_DELETE | IN_ATTRIB | IN_DELETE_SELF |
                                    IN_MOVE_SELF | IN_ONLYDIR) < 0) {
            say("warning: no inotify (" + errnoText() + "): the folder is listed every " +
                std::to_string(kRescanMs / 1000) + " s instead");
            inotify_.reset();
        }
    }

    bool catchSignals() {
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) return false;
        wakeRead_.reset(fds[0]);
        wakeWrite_.reset(fds[1]);
        gWakeFd = fds[1];
        struct sigaction sa {};
        sa.sa_handler = onStopSignal;
        sigemptyset(&sa.sa_mask);
        ::sigaction(SIGTERM, &sa, nullptr);
        ::sigaction(SIGINT, &sa, nullptr);
        ::signal(SIGPIPE, SIG_IGN);
        return true;
    }

    void waitForEvents(std::int64_t ms, bool signalsOnly = false) {
        pollfd fds[2] = {{wakeRead_.get(), POLLIN, 0}, {inotify_.get(), POLLIN, 0}};
        const int n = signalsOnly || inotify_.get() < 0 ? 1 : 2;
        if (::poll(fds, n, static_cast<int>(ms)) <= 0) return;
        char buf[4096] __attribute__((aligned(__alignof__(inotify_event))));
        if (n == 2 && (fds[1].revents & POLLIN))
            while (::read(inotify_.get(), buf, sizeof buf) > 0) {
            }
    }

    // Removed, or renamed away and another folder put in its place.
    bool folderStillThere() const {
        struct stat now, open;
        if (::stat(opt_.dir.c_str(), &now) != 0) return false;
        if (::fstat(dir_.get(), &open) != 0 || open.st_nlink == 0) return false;
        return now.st_dev == dirStat_.st_dev && now.st_ino == dirStat_.st_ino;
    }

    std::vector<SeenFile> listing() {
        std::vector<SeenFile> files;
        const int fd = ::openat(dir_.get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0) return files;
        DIR* d = ::fdopendir(fd);
        if (!d) {
            ::close(fd);
            return files;
        }
        std::set<std::string> odd;
        while (const dirent* e = ::readdir(d)) {
            const std::string name = e->d_name;
            if (name.empty() || name[0] == '.') continue;  // hidden files, ours among them
            struct stat st;
            if (::fstatat(dir_.get(), e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
            if (S_ISDIR(st.st_mode)) continue;
            if (!S_ISREG(st.st_mode)) {
                odd.insert(name);
                if (!reportedOdd_.count(name))
                    say(printableName(name) +
                        (S_ISLNK(st.st_mode) ? ": a symbolic link, left alone (never followed)"
                                             : ": not a regular file, left alone"));
                continue;
            }
            files.push_back(
                {name,
                 {static_cast<std::uint64_t>(st.st_size),
                  static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec,
                  static_cast<std::uint64_t>(st.st_ino)}});
        }
        ::closedir(d);
        reportedOdd_ = std::move(odd);
        return files;
    }

    // Takes a settled file: no program may hold it open for writing; it is renamed out of the
    // way and checked to be the file that settled; its bytes as they are then are the job.
    void handle(const ReadyFile& f) {
        const std::string shown = printableName(f.name);
        const auto writers = openWriters(dirStat_.st_dev, static_cast<ino_t>(f.state.inode));
        std::string note;
        if (!writers.empty()) {
            if (!f.longestWaitOver) {
                if (heldOpen_.insert(f.name).second)
                    say(shown + ": still open for writing by " + describeWriters(writers) +
                        "; waiting until it is closed");
                tracker_.holdBack(f, nowMs(), kWriterRetryMs);
                return;
            }
            note = " (warning: " + describeWriters(writers) + " still held it open after " +
                   std::to_string(opt_.maxWaitMs / 1000) + " s; printed as it was)";
        } else if (f.overdue) {
            note = " (warning: it was still growing after " +
                   std::to_string(opt_.maxWaitMs / 1000) + " s; printed as it was)";
        }
        heldOpen_.erase(f.name);
        const std::string taken = kTakenPrefix + f.name;
        if (::renameat2(dir_.get(), f.name.c_str(), dir_.get(), taken.c_str(), RENAME_NOREPLACE) !=
            0) {
            if (errno == ENOENT) return;  // gone meanwhile
            if (errno == ENAMETOOLONG) return handleInPlace(f, note);
            say(shown + ": cannot be taken: " + errnoText());
            return;
        }
        Fd file(::openat(dir_.get(), taken.c_str(),
                         O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
        struct stat st {};
        if (file.get() < 0 || ::fstat(file.get(), &st) != 0 || !S_ISREG(st.st_mode) ||
            static_cast<std::uint64_t>(st.st_ino) != f.state.inode ||
            static_cast<std::uint64_t>(st.st_size) != f.state.size) {
            // Replaced or written since it settled: it waits for its own turn.
            putBack(taken, f.name);
            return;
        }
        printTaken(f.name, taken, file.get(), static_cast<std::uint64_t>(st.st_size), note);
    }

    // A name too long for the taken prefix is printed where it is; a later change to it is
    // still found by the descriptor.
    void handleInPlace(const ReadyFile& f, const std::string& note) {
        Fd file(::openat(dir_.get(), f.name.c_str(),
                         O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
        struct stat st {};
        if (file.get() < 0 || ::fstat(file.get(), &st) != 0 || !S_ISREG(st.st_mode)) return;
        printTaken(f.name, f.name, file.get(), static_cast<std::uint64_t>(st.st_size), note);
    }

    void putBack(const std::string& taken, const std::string& name) {
        std::string placed, error;
        if (!moveNoReplace(
                dir_.get(), taken, dir_.get(), [&](int n) { return numberedName(name, n); },
                &placed, &error))
            say(printableName(name) + ": could not be put back: " + error);
    }

    // Prints the first `size` bytes of the taken file, then files it in done/ (or deletes it)
    // and makes a new job of whatever was written to it meanwhile.
    void printTaken(const std::string& name, const std::string& taken, int file, std::uint64_t size,
                    const std::string& note) {
        const std::string shown = printableName(name);
        Fd snapshot(::memfd_create("folvek-job", MFD_CLOEXEC));
        if (snapshot.get() < 0 || !copyRange(file, 0, size, snapshot.get(), 0)) {
            if (taken != name) putBack(taken, name);
            say(shown + ": cannot be read: " + errnoText());
            return;
        }
        if (!opt_.force) {
            std::vector<unsigned char> head(std::min<std::uint64_t>(size, kJobSampleBytes));
            const ssize_t got = preadSome(snapshot.get(), head.data(), head.size(), 0);
            const PrintableVerdict v = judgePrintJob(head.data(), got > 0 ? std::size_t(got) : 0);
            if (!v.printable()) {
                refuse(taken, name, "not a print job: it is " + v.what + " (--force prints it)",
                       {});
                return;
            }
        }
        const JobResult job = runJob(name, snapshot.get());
        if (job.stopped) {
            if (taken != name) putBack(taken, name);
            return;
        }
        if (!job.ok) {
            refuse(taken, name, job.reason, job.output);
            return;
        }
        auto item = std::make_unique<Printed>();
        item->name = name;
        item->taken = taken;
        item->file.reset(::dup(file));
        item->snapshot.reset(snapshot.release());
        item->handled = size;
        item->line = shown + ": " + job.reason + note;
        const auto writers = openWriters(dirStat_.st_dev, static_cast<ino_t>(f_inode(file)));
        if (!writers.empty() && !gStop) {
            // Taken when the longest wait ran out: filed once the program lets it go, and
            // what it writes meanwhile becomes a job of its own then.
            say(item->line + "; " + describeWriters(writers) +
                " still holds it open: it is filed once closed");
            item->line = shown + ": closed by the program";
            printed_.push_back(std::move(item));
            return;
        }
        fileAway(*item);
    }

    static std::uint64_t f_inode(int fd) {
        struct stat st {};
        return ::fstat(fd, &st) == 0 ? static_cast<std::uint64_t>(st.st_ino) : 0;
    }

    // Printed files that a program still holds open: filed when it has closed them.
    void fileClosedOnes() {
        for (auto it = printed_.begin(); it != printed_.end();) {
            if (!gStop &&
                !openWriters(dirStat_.st_dev, static_cast<ino_t>(f_inode((*it)->file.get())))
                     .empty()) {
                ++it;
                continue;
            }
            fileAway(**it);
            it = printed_.erase(it);
        }
    }

    // To done/ (or deleted), with whatever was written after the printed bytes made a job of
    // its own.
    void fileAway(Printed& p) {
        std::string line = p.line;
        const int file = p.file.get(), snapshot = p.snapshot.get();
        line += leftovers(p.name, file, snapshot, &p.handled);
        std::string placed, error;
        if (opt_.deleteDone) {
            if (::unlinkat(dir_.get(), p.taken.c_str(), 0) == 0)
                line += ", deleted";
            else
                line += ", but it could not be deleted: " + errnoText();
        } else if (moveNoReplace(
                       dir_.get(), p.taken, done_.get(),
                       [&](int n) { return numberedName(p.name, n); }, &placed, &error)) {
            line += ", moved to done/" + printableName(placed);
        } else {
            line += ", but it could not be moved to done/: " + error;
        }
        // A program that still held it open may have written once more before the move.
        line += leftovers(p.name, file, snapshot, &p.handled);
        say(line);
    }

    // What was written to the file after its first `*handled` bytes were printed becomes a new
    // file in the folder, printed as a job of its own: the rest when the file only grew, the
    // whole file when what was printed changed. Returns the log's words for it.
    std::string leftovers(const std::string& name, int file, int snapshot, std::uint64_t* handled) {
        struct stat st {};
        if (::fstat(file, &st) != 0) return {};
        const auto now = static_cast<std::uint64_t>(st.st_size);
        if (now == *handled && samePrefix(file, snapshot, now)) return {};
        const bool grew = now > *handled && samePrefix(file, snapshot, *handled);
        const std::uint64_t from = grew ? *handled : 0;
        std::string placed, error;
        const bool made = writeNewJob(
            file, from, now, dir_.get(), [&](int n) { return numberedName(name, n + 1); }, &placed,
            &error);
        const std::string what =
            grew ? "; " + std::to_string(now - from) + " bytes written after it was taken"
                 : "; it was rewritten while it was printed: the whole file";
        if (ftruncate(snapshot, 0) == 0) copyRange(file, 0, now, snapshot, 0);
        *handled = now;
        if (!made) return what + " could not be kept for printing (" + error + ")";
        return what + " will be printed as its own job, " + printableName(placed);
    }

    JobResult runJob(const std::string& name, int input) {
        return runWatchJob(opt_, out_.get(), ++jobCount_, name, input, gStop != 0);
    }

    // To failed/, with NAME.log beside it saying why.
    void refuse(const std::string& from, const std::string& name, const std::string& reason,
                const std::string& output) {
        std::string placed, error;
        std::string line = printableName(name) + ": failed: " + reason;
        if (!moveNoReplace(
                dir_.get(), from, failed_.get(), [&](int n) { return numberedName(name, n); },
                &placed, &error, ".log")) {
            say(line + " (and it could not be moved to failed/: " + error + ")");
            return;
        }
        say(line + "; moved to failed/" + printableName(placed));
        const std::time_t t = std::time(nullptr);
        char when[64];
        std::strftime(when, sizeof when, "%Y-%m-%d %H:%M:%S %z", std::localtime(&t));
        std::string log =
            "file: " + printableName(name) + "\ntime: " + when + "\nreason: " + reason + "\n";
        if (!output.empty()) log += "\nfolvek-print said:\n" + output;
        Fd fd(::openat(failed_.get(), (placed + ".log").c_str(),
                       O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0644));
        if (fd.get() < 0 || !writeAll(fd.get(), log.data(), log.size()))
            say(printableName(placed) + ".log could not be written: " + errnoText());
    }

    WatchOptions opt_;
    SettleTracker tracker_;
    Fd dir_, done_, failed_, out_, inotify_, wakeRead_, wakeWrite_;
    struct stat dirStat_ {};
    std::set<std::string> reportedOdd_;
    std::set<std::string> heldOpen_;  // said once that a writer holds it
    std::vector<std::unique_ptr<Printed>> printed_;
    Fd lock_;
    int jobCount_ = 0;
};

}  // namespace

int watchFolder(const WatchOptions& options) {
    return FolderWatch(options).run();
}

}  // namespace folvek
