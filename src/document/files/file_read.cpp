// Reading a file whole or its first part, for the editor and the encoding rewrite.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "file_replace.h"
#include "retrying_io.h"

namespace folvek {

bool readFilePrefix(const std::string& path, std::size_t limit, std::string& bytes,
                    std::size_t& totalSize) {
    bytes.clear();
    totalSize = 0;
    // O_NONBLOCK: a FIFO in the document's place must not hang the program.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return false;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const int why = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
        ::close(fd);
        errno = why;
        return false;
    }
    totalSize = static_cast<std::size_t>(st.st_size);
    const bool ok = readToEnd(fd, bytes, limit);
    const int why = errno;
    ::close(fd);
    errno = why;
    // The file may have grown since fstat; what was read is what counts below the limit.
    if (bytes.size() > totalSize) totalSize = bytes.size();
    return ok;
}

bool readWholeFile(const std::string& path, std::string& bytes) {
    std::size_t total = 0;
    return readFilePrefix(path, static_cast<std::size_t>(-1), bytes, total);
}

}  // namespace folvek
