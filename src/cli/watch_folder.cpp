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
#include <set>

#include "run_program.h"
#include "watch_names.h"
#include "watch_settle.h"

namespace folvek {

namespace {

constexpr std::int64_t kRescanMs = 2000;
constexpr std::size_t kSniffBytes = 64 * 1024;
constexpr double kMaxNonText = 0.30;
constexpr int kJobTimeoutMs = 10 * 60 * 1000;

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

class Fd {
  public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    ~Fd() { reset(); }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    void reset(int fd = -1) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = fd;
    }
    int get() const { return fd_; }

  private:
    int fd_;
};

// Moves `from` to the first free name that `nameFor(n)` gives, never replacing a file: the
// kernel refuses an existing target atomically, or, where the file system cannot, a hard link
// does.
bool moveNoReplace(int fromDir, const std::string& from, int toDir,
                   const std::function<std::string(int)>& nameFor, std::string* placed,
                   std::string* error, const char* alsoFreeSuffix = nullptr) {
    for (int n = 0; n < 10000; ++n) {
        const std::string target = nameFor(n);
        if (alsoFreeSuffix &&
            ::faccessat(toDir, (target + alsoFreeSuffix).c_str(), F_OK, AT_SYMLINK_NOFOLLOW) == 0)
            continue;
        if (::renameat2(fromDir, from.c_str(), toDir, target.c_str(), RENAME_NOREPLACE) == 0) {
            *placed = target;
            return true;
        }
        if (errno == EEXIST) continue;
        if (errno != EINVAL && errno != ENOSYS) {
            *error = errnoText();
            return false;
        }
        if (::linkat(fromDir, from.c_str(), toDir, target.c_str(), 0) != 0) {
            if (errno == EEXIST) continue;
            *error = errnoText();
            return false;
        }
        ::unlinkat(fromDir, from.c_str(), 0);
        *placed = target;
        return true;
    }
    *error = "no free name";
    return false;
}

struct JobResult {
    bool ok = false;
    bool stopped = false;  // killed by the stop signal: the file stays for the next start
    std::string reason;
    std::string output;  // what the job wrote on standard error
};

class FolderWatch {
  public:
    explicit FolderWatch(const WatchOptions& o) : opt_(o), tracker_(o.settleMs, o.maxWaitMs) {}

    int run() {
        dir_.reset(::open(opt_.dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (dir_.get() < 0) return fail("cannot watch " + opt_.dir + ": " + errnoText());
        ::fstat(dir_.get(), &dirStat_);
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
            tracker_.observe(listing(), now);
            lastScan = now;
            for (const ReadyFile& f : tracker_.takeReady(now)) {
                if (gStop) break;
                handle(f);
            }
            if (gStop) {
                say("stopped");
                return 0;
            }
            const std::int64_t due = tracker_.msUntilNext(nowMs());
            std::int64_t wait = kRescanMs;
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

    void handle(const ReadyFile& f) {
        const std::string shown = printableName(f.name);
        Fd file(::openat(dir_.get(), f.name.c_str(),
                         O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
        if (file.get() < 0) {
            if (errno == ENOENT || errno == ELOOP) return;  // gone, or a link put in its place
            refuse(f.name, "cannot be read: " + errnoText(), {});
            return;
        }
        struct stat st;
        if (::fstat(file.get(), &st) != 0 || !S_ISREG(st.st_mode)) return;

        std::vector<char> head(kSniffBytes);
        const ssize_t got = ::pread(file.get(), head.data(), head.size(), 0);
        if (got < 0) {
            refuse(f.name, "cannot be read: " + errnoText(), {});
            return;
        }
        if (const char* kind = binaryFormat(head.data(), static_cast<std::size_t>(got))) {
            refuse(f.name, std::string("not a text file: ") + kind, {});
            return;
        }
        const double share = nonTextShare(head.data(), static_cast<std::size_t>(got));
        if (share > kMaxNonText) {
            refuse(f.name,
                   "not a text file: " + std::to_string(static_cast<int>(share * 100 + 0.5)) +
                       "% of its first " + std::to_string(got) +
                       " bytes are NUL or control codes that no report holds",
                   {});
            return;
        }

        const JobResult job = runJob(f.name, file.get());
        if (job.stopped) return;
        if (!job.ok) {
            refuse(f.name, job.reason, job.output);
            return;
        }
        std::string line = shown + ": " + job.reason;
        if (f.overdue)
            line += " (warning: it was still growing after " +
                    std::to_string(opt_.maxWaitMs / 1000) + " s; printed as it was)";
        std::string placed, error;
        if (opt_.deleteDone) {
            if (::unlinkat(dir_.get(), f.name.c_str(), 0) == 0)
                line += ", deleted";
            else
                line += ", but it could not be deleted: " + errnoText();
        } else if (moveNoReplace(
                       dir_.get(), f.name, done_.get(),
                       [&](int n) { return numberedName(f.name, n); }, &placed, &error)) {
            line += ", moved to done/" + printableName(placed);
        } else {
            line += ", but it could not be moved to done/: " + error;
        }
        say(line);
    }

    // Lays the file out in a folvek-print of its own, the file on its standard input.
    JobResult runJob(const std::string& name, int input) {
        JobResult r;
        std::vector<std::string> args{opt_.program};
        std::string partial;
        if (!opt_.pdfDir.empty()) {
            partial = ".folvek-watch-" + std::to_string(::getpid()) + "-" +
                      std::to_string(++jobCount_) + ".pdf";
            args.insert(args.end(), {"-o", opt_.pdfDir + "/" + partial});
        } else {
            args.push_back("--lp");
            if (!opt_.printer.empty()) args.insert(args.end(), {"--printer", opt_.printer});
            args.insert(args.end(), {"--title", printableName(name)});
        }
        args.insert(args.end(), opt_.jobArgs.begin(), opt_.jobArgs.end());
        args.push_back("-");

        Fd errors(::memfd_create("folvek-job-errors", MFD_CLOEXEC));
        if (errors.get() < 0) {
            r.reason = "cannot start the job: " + errnoText();
            return r;
        }
        Fd quiet(::open("/dev/null", O_WRONLY | O_CLOEXEC));
        const ProgramRun run =
            runProgram(args, {}, kJobTimeoutMs, {input, quiet.get(), errors.get()});
        if (!run.started) {
            r.reason = "cannot start " + opt_.program;
            return r;
        }
        r.output = readAll(errors.get());
        const int code = run.exitCode;
        if (code == 0 || code == 3) {
            r.ok = true;
            r.reason = opt_.pdfDir.empty() ? "printed" : "";
            if (!opt_.pdfDir.empty()) {
                std::string placed, error;
                if (!moveNoReplace(
                        out_.get(), partial, out_.get(), [&](int n) { return pdfNameFor(name, n); },
                        &placed, &error)) {
                    ::unlinkat(out_.get(), partial.c_str(), 0);
                    r.ok = false;
                    r.reason = "no PDF file could be written: " + error;
                    return r;
                }
                r.reason = "printed to " + opt_.pdfDir + "/" + printableName(placed);
            } else if (!opt_.printer.empty()) {
                r.reason += " on " + opt_.printer;
            }
            if (code == 3) r.reason += " (with errors: " + firstLine(r.output) + ")";
            return r;
        }
        if (!partial.empty()) ::unlinkat(out_.get(), partial.c_str(), 0);
        if (gStop && !run.timedOut && run.signal) {
            r.stopped = true;
            return r;
        }
        if (run.timedOut)
            r.reason = "the job took longer than " + std::to_string(kJobTimeoutMs / 60000) +
                       " minutes and was stopped";
        else if (run.signal)
            r.reason = "the job died of signal " + std::to_string(run.signal);
        else
            r.reason = firstLine(r.output).empty()
                           ? "the job failed (exit status " + std::to_string(code) + ")"
                           : firstLine(r.output);
        return r;
    }

    static std::string readAll(int fd) {
        std::string text;
        char buf[8192];
        ssize_t n;
        while (text.size() < (1 << 20) &&
               (n = ::pread(fd, buf, sizeof buf, static_cast<off_t>(text.size()))) > 0)
            text.append(buf, static_cast<std::size_t>(n));
        return text;
    }

    static std::string firstLine(const std::string& text) {
        std::string line = text.substr(0, text.find('\n'));
        const std::string prefix = "folvek-print: ";
        if (line.rfind(prefix, 0) == 0) line.erase(0, prefix.size());
        return line;
    }

    // To failed/, with NAME.log beside it saying why.
    void refuse(const std::string& name, const std::string& reason, const std::string& output) {
        std::string placed, error;
        std::string line = printableName(name) + ": failed: " + reason;
        if (!moveNoReplace(
                dir_.get(), name, failed_.get(), [&](int n) { return numberedName(name, n); },
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
        if (fd.get() < 0 || ::write(fd.get(), log.data(), log.size()) < 0)
            say(printableName(placed) + ".log could not be written: " + errnoText());
    }

    WatchOptions opt_;
    SettleTracker tracker_;
    Fd dir_, done_, failed_, out_, inotify_, wakeRead_, wakeWrite_;
    struct stat dirStat_ {};
    std::set<std::string> reportedOdd_;
    int jobCount_ = 0;
};

}  // namespace

int watchFolder(const WatchOptions& options) {
    return FolderWatch(options).run();
}

}  // namespace folvek
