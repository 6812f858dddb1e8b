// Buffered writing of the PDF into its temporary file; the file system calls go through the
// shared table so that tests can make the disk full.
#include "pdf_output.h"
#include "system_reason.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "file_replace.h"
#include "temp_cleanup.h"

namespace folvek {

namespace {
constexpr std::size_t kBufferSize = 1 << 20;

mode_t newFileMode(const std::string& target) {
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0) return st.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}
}  // namespace

PdfOutput::~PdfOutput() {
    discard();
}

bool PdfOutput::open(const std::string& target) {
    discard();
    error_.clear();
    offset_ = 0;
    used_ = 0;
    target_ = target;
    temp_ = target + ".XXXXXX";
    fd_ = fileSystemCalls().makeTemp(temp_.data());
    if (fd_ < 0) {
        temp_.clear();
        fail("cannot create a file beside " + target, errno);
        return false;
    }
    ::fchmod(fd_, newFileMode(target));
    cleanupSlot_ = temp_cleanup::add(temp_.c_str());
    buffer_.resize(kBufferSize);
    return true;
}

void PdfOutput::fail(const std::string& what, int err) {
    if (!error_.empty()) return;
    error_ = err ? what + ": " + systemReason(err) : what;
}

void PdfOutput::flush() {
    const char* p = buffer_.data();
    std::size_t left = used_;
    used_ = 0;
    while (left && fd_ >= 0 && error_.empty()) {
        const ssize_t n = fileSystemCalls().write(fd_, p, left);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            fail("cannot write " + target_, n == 0 ? ENOSPC : errno);
            return;
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
}

void PdfOutput::write(const void* data, std::size_t n) {
    offset_ += n;
    if (fd_ < 0 || !error_.empty()) return;
    const char* p = static_cast<const char*>(data);
    if (used_ + n > buffer_.size()) {
        flush();
        if (n >= buffer_.size()) {
            // Large blocks go straight to the file.
            std::size_t left = n;
            while (left && error_.empty()) {
                const ssize_t w = fileSystemCalls().write(fd_, p, left);
                if (w < 0 && errno == EINTR) continue;
                if (w <= 0) {
                    fail("cannot write " + target_, w == 0 ? ENOSPC : errno);
                    return;
                }
                p += w;
                left -= static_cast<std::size_t>(w);
            }
            return;
        }
    }
    std::memcpy(buffer_.data() + used_, p, n);
    used_ += n;
}

bool PdfOutput::commit() {
    if (fd_ < 0) {
        if (error_.empty()) fail("no file open", 0);
        return false;
    }
    flush();
    // A full disk may only show when the data reaches it.
    if (error_.empty() && fileSystemCalls().sync(fd_) != 0) fail("cannot write " + target_, errno);
    if (::close(fd_) != 0 && error_.empty()) fail("cannot write " + target_, errno);
    fd_ = -1;
    if (error_.empty() && fileSystemCalls().rename(temp_.c_str(), target_.c_str()) != 0)
        fail("cannot replace " + target_, errno);
    if (!error_.empty()) {
        ::unlink(temp_.c_str());
        temp_.clear();
        temp_cleanup::drop(cleanupSlot_);
        cleanupSlot_ = -1;
        return false;
    }
    // Dropped only now: a kill before the rename must still remove the file, one after it
    // finds the name gone.
    temp_cleanup::drop(cleanupSlot_);
    cleanupSlot_ = -1;
    temp_.clear();
    buffer_ = {};
    return true;
}

void PdfOutput::discard() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!temp_.empty()) ::unlink(temp_.c_str());
    temp_.clear();
    temp_cleanup::drop(cleanupSlot_);
    cleanupSlot_ = -1;
    buffer_ = {};
    used_ = 0;
}

}  // namespace folvek
