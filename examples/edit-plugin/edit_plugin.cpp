// Example external editor library for Folvek (edit.so).
//
// The document is a DOS (866) or Windows (1251) file; today's editors expect UTF-8. So the
// library converts the document into a UTF-8 copy in $TMPDIR, opens the copy in $VISUAL, else
// $EDITOR, else Debian's sensible-editor, and waits for the editor to end. The editor runs in
// a new terminal ($TERMINAL, else x-terminal-emulator, else xterm), or in the current one when
// there is no display. xdg-open is not used: it returns before the user has finished, so the
// library could not tell whether the file changed.
//
// The copy counts as changed when its modification time, size or content hash differ from
// what was written. A changed copy is converted back and replaces the document through a
// temporary file and a rename; a text with characters the code page cannot hold is not written
// back (the document stays as it was, and the UTF-8 copy is kept for the user).
#include <fcntl.h>
#include <iconv.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

bool readFile(const std::string& path, std::string& out) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    out.clear();
    char buf[65536];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) out.append(buf, n);
    const bool ok = !std::ferror(f);
    std::fclose(f);
    return ok;
}

bool writeAll(int fd, const std::string& bytes) {
    for (std::size_t done = 0; done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// Writes beside the target and renames over it, keeping the target's permission bits.
bool replaceFile(const std::string& path, const std::string& bytes) {
    std::string tmp = path + ".tmpXXXXXX";
    const int fd = ::mkstemp(tmp.data());
    if (fd < 0) return false;
    struct stat st {};
    bool ok = writeAll(fd, bytes);
    if (ok && ::stat(path.c_str(), &st) == 0) ok = ::fchmod(fd, st.st_mode & 07777) == 0;
    if (ok) ok = ::fsync(fd) == 0;
    if (::close(fd) != 0) ok = false;
    if (ok) ok = std::rename(tmp.c_str(), path.c_str()) == 0;
    if (!ok) std::remove(tmp.c_str());
    return ok;
}

// False when some byte sequence has no counterpart in the other code page.
bool convert(const std::string& in, const char* from, const char* to, std::string& out) {
    iconv_t cd = ::iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return false;
    out.assign(in.size() * 4 + 16, '\0');
    char* src = const_cast<char*>(in.data());
    std::size_t srcLeft = in.size();
    char* dst = out.data();
    std::size_t dstLeft = out.size();
    const bool ok = ::iconv(cd, &src, &srcLeft, &dst, &dstLeft) != static_cast<std::size_t>(-1);
    ::iconv_close(cd);
    out.resize(out.size() - dstLeft);
    return ok;
}

struct Fingerprint {
    timespec mtime{};
    off_t size = -1;
    std::uint64_t hash = 0;
    bool operator==(const Fingerprint& o) const {
        return mtime.tv_sec == o.mtime.tv_sec && mtime.tv_nsec == o.mtime.tv_nsec &&
               size == o.size && hash == o.hash;
    }
};

Fingerprint fingerprint(const std::string& path) {
    Fingerprint fp;
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return fp;
    fp.mtime = st.st_mtim;
    fp.size = st.st_size;
    std::string bytes;
    readFile(path, bytes);
    fp.hash = 1469598103934665603ull;  // FNV-1a
    for (unsigned char c : bytes) fp.hash = (fp.hash ^ c) * 1099511628211ull;
    return fp;
}

const char* envOr(const char* name, const char* fallback) {
    const char* v = std::getenv(name);
    return v && *v ? v : fallback;
}

bool onPath(const char* program) {
    if (std::strchr(program, '/')) return ::access(program, X_OK) == 0;
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "/usr/bin:/bin";
    for (std::size_t start = 0; start <= dirs.size();) {
        std::size_t end = dirs.find(':', start);
        if (end == std::string::npos) end = dirs.size();
        const std::string candidate = dirs.substr(start, end - start) + "/" + program;
        if (::access(candidate.c_str(), X_OK) == 0) return true;
        start = end + 1;
    }
    return false;
}

// The editor variable is a shell command by convention ("code --wait"); the file is passed as
// a separate argument, never pasted into the command.
int runEditor(const std::string& file) {
    const std::string script =
        std::string(envOr("VISUAL", envOr("EDITOR", "sensible-editor"))) + " \"$1\"";
    const bool display = std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY");
    const char* terminal =
        envOr("TERMINAL", onPath("x-terminal-emulator") ? "x-terminal-emulator" : "xterm");
    const pid_t pid = ::fork();
    if (pid < 0) return -1;
    if (pid == 0) {
        if (display)
            ::execlp(terminal, terminal, "-e", "sh", "-c", script.c_str(), "sh", file.c_str(),
                     static_cast<char*>(nullptr));
        else
            ::execlp("sh", "sh", "-c", script.c_str(), "sh", file.c_str(),
                     static_cast<char*>(nullptr));
        ::_exit(127);
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int editDocument(const char* path, int isDos) {
    if (!path || !*path) return 0;
    const char* codePage = isDos ? "CP866" : "CP1251";
    std::string original, utf8;
    if (!readFile(path, original) || !convert(original, codePage, "UTF-8", utf8)) {
        std::fprintf(stderr, "edit.so: cannot read %s\n", path);
        return 0;
    }
    std::string copy = std::string(envOr("TMPDIR", "/tmp")) + "/folvek-edit-XXXXXX.txt";
    const int fd = ::mkstemps(copy.data(), 4);
    if (fd < 0) return 0;
    const bool written = writeAll(fd, utf8);
    ::close(fd);
    if (!written) {
        std::remove(copy.c_str());
        return 0;
    }
    const Fingerprint before = fingerprint(copy);
    const int status = runEditor(copy);
    if (status == 127 || status < 0)
        std::fprintf(stderr, "edit.so: the editor could not be started\n");

    int changed = 0;
    std::string edited, back;
    if (!(fingerprint(copy) == before) && readFile(copy, edited) && edited != utf8) {
        if (!convert(edited, "UTF-8", codePage, back)) {
            std::fprintf(stderr, "edit.so: the text does not fit code page %s; kept in %s\n",
                         codePage, copy.c_str());
            return 0;
        }
        changed = replaceFile(path, back) ? 1 : 0;
        if (!changed) {
            std::fprintf(stderr, "edit.so: cannot write %s; the text is kept in %s\n", path,
                         copy.c_str());
            return 0;
        }
    }
    std::remove(copy.c_str());
    return changed;
}

}  // namespace

extern "C" __attribute__((visibility("default"))) int editFile2(void*, const char* path,
                                                                const char*, int isDos) {
    return editDocument(path, isDos);
}

extern "C" __attribute__((visibility("default"))) int editFile(void*, const char* path,
                                                               const char*) {
    return editDocument(path, 0);
}
