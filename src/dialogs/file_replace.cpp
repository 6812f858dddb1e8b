// Whole-file reading and the temporary-file-and-rename replacement of a document.
#include "file_replace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>

namespace folvek {

namespace {

// The file a symbolic link names, so the rename replaces the file and not the link.
std::string resolvedTarget(const std::string& path) {
    char buf[PATH_MAX];
    if (::realpath(path.c_str(), buf)) return buf;
    return path;  // a new file: replace the path as given
}

bool writeAll(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

std::function<bool(const std::string&)>& replaceFileWriteHook() {
    static std::function<bool(const std::string&)> hook;
    return hook;
}

bool readWholeFile(const std::string& path, std::string& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    bytes.clear();
    char buf[65536];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) bytes.append(buf, n);
    const bool ok = !std::ferror(f);
    std::fclose(f);
    return ok;
}

ReplaceResult replaceFileContents(const std::string& path, const std::string& bytes) {
    const std::string target = resolvedTarget(path);
    std::string tmp = target + ".tmpXXXXXX";
    const int fd = ::mkstemp(tmp.data());
    if (fd < 0) return ReplaceResult::CreateFailed;

    bool ok = writeAll(fd, bytes);
    // An existing document keeps its mode; a new one gets what creating it would have given.
    struct stat st {};
    mode_t mode;
    if (::stat(target.c_str(), &st) == 0) {
        mode = st.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    if (ok && ::fchmod(fd, mode) != 0) ok = false;
    if (ok && ::fsync(fd) != 0) ok = false;
    if (ok && replaceFileWriteHook() && !replaceFileWriteHook()(tmp)) ok = false;
    if (::close(fd) != 0) ok = false;
    if (ok && std::rename(tmp.c_str(), target.c_str()) != 0) ok = false;
    if (!ok) {
        std::remove(tmp.c_str());
        return ReplaceResult::WriteFailed;
    }
    return ReplaceResult::Ok;
}

}  // namespace folvek
