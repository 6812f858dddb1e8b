// Reading the job and naming it to lp.
#include "print_pipe.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "retrying_io.h"

namespace folvek {

bool copyToFile(int fd, const std::string& path, std::uint64_t* bytes, std::string* error) {
    *bytes = 0;
    const int out = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (out < 0) {
        *error = path + ": " + std::strerror(errno);
        return false;
    }
    const CopyStatus copied = copyToEnd(fd, out, bytes);
    bool ok = copied == CopyStatus::Ok;
    if (copied == CopyStatus::ReadFailed)
        *error = std::string("standard input: ") + std::strerror(errno);
    if (copied == CopyStatus::WriteFailed) *error = path + ": " + std::strerror(errno);
    if (::close(out) != 0 && ok) {
        *error = path + ": " + std::strerror(errno);
        ok = false;
    }
    return ok;
}

std::vector<std::string> lpPipeCommand(const std::string& queue, const std::string& title,
                                       const std::string& media, bool landscape,
                                       const std::string& file) {
    std::vector<std::string> argv{"lp"};
    if (!queue.empty()) argv.insert(argv.end(), {"-d", queue});
    argv.insert(argv.end(), {"-t", title, "-o", "media=" + media});
    if (landscape) argv.insert(argv.end(), {"-o", "landscape"});
    argv.insert(argv.end(), {"--", file});
    return argv;
}

}  // namespace folvek
